// SPDX-License-Identifier: GPL-3.0-or-later
// Playing without a mouse: every key goes to whichever widget has the focus,
// as a real keyboard's keys do, and a round won from the keyboard shows what
// the mouse would have shown.
#include "tests/app/form1_fixture.h"

#include <QKeyEvent>
#include <QLocale>

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, TheKeyboardAloneWinsARound)
{
    Form1& f = openActive();
    ASSERT_TRUE(control<QPushButton>(f, "Command3d1")->hasFocus());
    // The missing title picture is told, then play goes on without it.
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.lastMessage().find("vortigo.gif"), std::string::npos);
    platform.messages.clear();

    // Back to the name box, which selects its text on the way in; the show-words name replaces it.
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    ASSERT_TRUE(control<QLineEdit>(f, "Text1")->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), "Zunda     ");
    ASSERT_EQ(control<QLineEdit>(f, "Text1")->text(), "Zunda     ");
    // The round trip of Tab back to the new-game button; the title screen has no grid to stop on.
    for (QWidget* next : {static_cast<QWidget*>(control<QComboBox>(f, "Combo1")), static_cast<QWidget*>(control<QPushButton>(f, "Command3d1")),
                          static_cast<QWidget*>(control<QLabel>(f, "Label12")), static_cast<QWidget*>(control<QLineEdit>(f, "Text1")),
                          static_cast<QWidget*>(control<QComboBox>(f, "Combo1")), static_cast<QWidget*>(control<QPushButton>(f, "Command3d1"))}) {
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    // Enter on the new-game button starts a game, as Space or a click would; the grid takes the keys,
    // the ring at the top left.
    key(Qt::Key_Return);
    GameState& s = f.state();
    ASSERT_EQ(std::tuple(s.Round, s.LastWordIndex), std::tuple(1, 3));
    ASSERT_TRUE(f.clientArea()->hasFocus());
    EXPECT_EQ(ring(f), (Cell{1, 1}));
    // The ring shows only while the grid has the keys.
    const QPoint onRing(s.MarginX + 1, s.MarginY + s.CellSize / 2);
    const auto ringShown = [&] { return f.clientArea()->grab().toImage().pixelColor(onRing) == QColor(0, 0, 255); };
    EXPECT_TRUE(ringShown());
    key(Qt::Key_Tab);
    EXPECT_FALSE(f.clientArea()->hasFocus());
    EXPECT_FALSE(ringShown());
    key(Qt::Key_Backtab);
    ASSERT_TRUE(f.clientArea()->hasFocus());

    // Round 1 is 7 x 6: the ring stops at every edge.
    const std::pair<Qt::Key, Cell> moves[] = {{Qt::Key_Left, {1, 1}}, {Qt::Key_Up, {1, 1}}, {Qt::Key_End, {7, 1}},
        {Qt::Key_Right, {7, 1}}, {Qt::Key_Down, {7, 2}}, {Qt::Key_Home, {1, 2}}, {Qt::Key_End, {7, 2}}};
    for (const auto& [k, expected] : moves) {
        key(k);
        EXPECT_EQ(ring(f), expected) << k;
    }
    for (int n = 0; n < 9; ++n)
        key(Qt::Key_Down);
    EXPECT_EQ(ring(f), (Cell{7, 6}));

    // Round 1 won at Pibo with no tick in between (3 seconds stay used): every
    // letter once, the last word's at 100, and each word's bonus; less one error.
    const auto cells = wordCells(s);
    i32 expected = -1000;
    for (const auto& [cell, word] : cells)
        expected += word == s.LastWordIndex ? 100 : 50;
    for (int i = 0; i <= s.LastWordIndex; ++i)
        expected += (42 - 3) * static_cast<i32>(s.WordList(i).size());
    for (const auto& [cell, word] : cells) {  // what the player goes by: the word letters are green
        const QRect box = cellBox(cell);
        bool green = false;
        for (int y = box.top(); y <= box.bottom() && !green; ++y)
            for (int x = box.left(); x <= box.right() && !green; ++x)
                green = f.surface().image().pixelColor(x, y) == qc(kGreen);
        EXPECT_TRUE(green) << cell.col << ", " << cell.row;
    }

    // Space and Enter: the first press paints a letter red and scores, the
    // second paints it white and does not; a held key is one press.
    const Cell letter = cells.front().first;
    walkTo(f, letter);
    key(Qt::Key_Space);
    EXPECT_EQ(std::tuple(s.Score, paintOf(letter)), std::tuple(50, qc(kRed)));
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(f.clientArea(), &held);
    EXPECT_EQ(std::tuple(s.Score, paintOf(letter)), std::tuple(50, qc(kRed)));
    key(Qt::Key_Return);
    EXPECT_EQ(std::tuple(s.Score, paintOf(letter)), std::tuple(50, qc(kWhite)));

    // While the error message is open, a key on the grid is dropped like a click.
    walkTo(f, fillerCell());
    platform.whileMessageOpen = [&](const std::string&) { QTest::keyClick(f.clientArea(), Qt::Key_Space); };
    key(Qt::Key_Space);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(control<QLabel>(f, "Label7")->text(), "1");
    platform.whileMessageOpen = nullptr;

    // Every word letter; the first one again, which scores no more. Nothing is said before the last.
    platform.messages.clear();
    for (std::size_t n = 0; n + 1 < cells.size(); ++n) {
        walkTo(f, cells[n].first);
        key(Qt::Key_Space);
    }
    EXPECT_EQ(std::tuple(s.Round, platform.messages.size()), std::tuple(1, 0u));
    // Found words turn blue in the list, and their letters yellow in the grid.
    for (int i = 0; i <= 3; ++i) {
        EXPECT_EQ(back(control<QLabel>(f, QStringLiteral("Label1_%1").arg(i))), qc(f.wordFound(i) ? kBlue : kWhite)) << i;
        if (f.wordFound(i)) {
            EXPECT_EQ(paintOf(letterCell(s, i, 1)), qc(kYellow)) << i;
            EXPECT_TRUE(coloursIn(letterCell(s, i, 1)).contains(qc(kBlue).rgb())) << i;  // its letter in blue
        }
    }
    walkTo(f, cells.back().first);
    key(Qt::Key_Space);
    ASSERT_GE(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Complimenti! Preparati per la manche numero 2");
    EXPECT_EQ(platform.sounds.back(), "VINCI.WAV");
    // The caption groups thousands with the fake platform's ".", as Italian does.
    EXPECT_EQ(std::tuple(s.Score, control<QLabel>(f, "Label3")->text()), std::tuple(expected, QLocale(QLocale::Italian).toString(expected)));
    EXPECT_EQ(std::tuple(s.Round, s.LastWordIndex), std::tuple(2, 5));
    EXPECT_EQ(back(control<QLabel>(f, "Label1_0")), qc(kWhite));
    // The next round starts with the ring at the top left again.
    EXPECT_TRUE(f.clientArea()->hasFocus());
    EXPECT_EQ(ring(f), (Cell{1, 1}));
}
