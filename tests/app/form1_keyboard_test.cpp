// SPDX-License-Identifier: GPL-3.0-or-later
// Playing without a mouse: every key goes to whichever widget has the focus,
// as a real keyboard's keys do.
#include "tests/app/form1_fixture.h"

#include "app/grid_area.h"
#include "core/palette.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace vortigo;
using namespace vortigo::test;

namespace {

void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {})
{
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, k, modifiers);
}

GridArea* grid(Form1& f)
{
    return static_cast<GridArea*>(f.clientArea());
}

// Moves the ring to a cell with the arrows only.
void walkTo(Form1& f, Cell to)
{
    for (Cell at = grid(f)->focusCell(); at != to; at = grid(f)->focusCell()) {
        const Cell before = at;
        if (at.col != to.col)
            key(at.col < to.col ? Qt::Key_Right : Qt::Key_Left);
        else
            key(at.row < to.row ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_NE(grid(f)->focusCell(), before) << "the ring did not move";
    }
}

bool hasColour(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

}  // namespace

TEST_F(Form1Test, TheKeyboardAloneWinsRoundOneWithTheMessagesAndScoreOfTheMouse)
{
    Form1& f = open();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    ASSERT_TRUE(f.Command3d1->hasFocus());
    platform.messages.clear();  // the missing title picture

    // Back to the name box, which selects its text on the way in; the show-words name replaces it.
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    ASSERT_TRUE(f.Text1->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), "Zunda     ");
    ASSERT_EQ(f.Text1->text(), "Zunda     ");

    key(Qt::Key_F2);
    const GameState& s = f.state();
    ASSERT_EQ(std::tuple(s.Round, s.LastWordIndex), std::tuple(1, 3));
    ASSERT_TRUE(f.clientArea()->hasFocus());
    EXPECT_EQ(grid(f)->focusCell(), (Cell{1, 1}));

    const auto cells = wordCells(s);
    const i32 expected = roundOneWinningScore();
    for (const auto& [cell, word] : cells) {
        // What the player goes by: the word letters are green.
        const QRect box(s.MarginX + (cell.col - 1) * s.CellSize, s.MarginY + (cell.row - 1) * s.CellSize, s.CellSize,
                        s.CellSize);
        EXPECT_TRUE(hasColour(f.surface().image(), box, qc(kGreen))) << cell.col << ", " << cell.row;
    }

    for (std::size_t n = 0; n + 1 < cells.size(); ++n) {
        walkTo(f, cells[n].first);
        key(Qt::Key_Space);
    }
    EXPECT_EQ(s.Round, 1);
    EXPECT_TRUE(platform.messages.empty());
    walkTo(f, cells.back().first);
    key(Qt::Key_Space);

    expectRoundOneWon(expected);  // exactly as with the mouse
    // The next round starts with the ring at the top left again.
    EXPECT_TRUE(f.clientArea()->hasFocus());
    EXPECT_EQ(grid(f)->focusCell(), (Cell{1, 1}));
}

TEST_F(Form1Test, TabGoesRoundTheControlsTheRingStopsAtTheEdgesAndKeysActAsClicks)
{
    Form1& f = open();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    // The round trip of Tab, from the new-game button where the window opens.
    const std::vector<QWidget*> order = {f.clientArea(), f.Label12, f.Text1, f.Combo1, f.Command3d1};
    for (QWidget* next : order) {
        key(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
    // The home-page link opens from the keyboard, as a click on it does.
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), f.Label12);
    key(Qt::Key_Space);
    ASSERT_EQ(platform.commands.size(), 1u);
    f.Label12_Click();
    EXPECT_EQ(platform.commands[1].line, platform.commands[0].line);

    // Space on the new-game button starts a game; the grid takes the keys.
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), f.Command3d1);
    key(Qt::Key_Space);
    const GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    ASSERT_TRUE(f.clientArea()->hasFocus());

    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Up})
        key(k);
    EXPECT_EQ(grid(f)->focusCell(), (Cell{1, 1}));
    key(Qt::Key_End);
    key(Qt::Key_Right);
    EXPECT_EQ(grid(f)->focusCell(), (Cell{7, 1}));
    for (int n = 0; n < 9; ++n)
        key(Qt::Key_Down);
    EXPECT_EQ(grid(f)->focusCell(), (Cell{7, 6}));
    key(Qt::Key_Home);
    EXPECT_EQ(grid(f)->focusCell(), (Cell{1, 6}));

    // Space and Enter: the first press paints a letter red and scores, the second paints it white and does not.
    const Cell letter = letterCell(s, 0, 1);
    walkTo(f, letter);
    const QPoint inside(s.MarginX + (letter.col - 1) * s.CellSize + 3, s.MarginY + (letter.row - 1) * s.CellSize + 3);
    key(Qt::Key_Space);
    EXPECT_EQ(std::pair(s.Score, f.surface().image().pixelColor(inside)), std::pair(50, qc(kRed)));
    key(Qt::Key_Return);
    EXPECT_EQ(std::pair(s.Score, f.surface().image().pixelColor(inside)), std::pair(50, qc(kWhite)));

    // While the error message is open, a key on the grid is dropped like a click.
    walkTo(f, fillerCell());
    platform.messages.clear();
    platform.whileMessageOpen = [&](const std::string&) { QTest::keyClick(f.clientArea(), Qt::Key_Space); };
    key(Qt::Key_Space);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(f.Label7->text(), "1");
}
