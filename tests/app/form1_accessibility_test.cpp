// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads, through Qt's accessibility interfaces only:
// the controls' names, the status values with their captions, the grid as a
// table of letters, found words said in words, and the announcements.
#include "tests/app/form1_fixture.h"

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, ControlsHaveItalianNamesTheGridIsATableAndFoundWordsAreSaidAndAnnounced)
{
    Form1& f = openActive();
    EXPECT_EQ(nameOf(f.Text1), "Giocatore:");
    // The chooser is named by its caption through the "labelled by" relation; its own name is the choice.
    const auto labels = QAccessible::queryAccessibleInterface(f.Combo1)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Dizionario:");
    EXPECT_EQ(nameOf(f.Combo1), "Italiano");
    EXPECT_EQ(nameOf(f.Command3d1), "Nuova partita");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    f.dispatch([&] { f.Timer1_Timer(); });
    EXPECT_EQ(nameOf(f.Label2), "Tempo rimasto: Sec.38");
    EXPECT_EQ(nameOf(f.Label3), "Punti fatti: 0");
    EXPECT_EQ(nameOf(f.Label7), "Errori ammissibili: 2");
    EXPECT_EQ(nameOf(f.Label8), "Manche in corso: 1");
    EXPECT_EQ(nameOf(f.Label1[0]), QString::fromStdString(s.WordList(0) + ", da trovare"));

    // The grid: reached from the window, a table of 7 x 6 cells holding the letters.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&f);
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(f.clientArea());
    ASSERT_NE(grid, nullptr);
    EXPECT_GE(window->indexOfChild(grid), 0);
    EXPECT_EQ(std::tuple(grid->role(), grid->text(QAccessible::Name)), std::tuple(QAccessible::Table, QString("Griglia delle lettere")));
    EXPECT_EQ(grid->childCount(), 42);
    ASSERT_NE(grid->tableInterface(), nullptr);
    EXPECT_EQ(std::tuple(grid->tableInterface()->rowCount(), grid->tableInterface()->columnCount()), std::tuple(6, 7));
    const Cell first = letterCell(s, 0, 1);
    QAccessibleInterface* cell = grid->tableInterface()->cellAt(first.row - 1, first.col - 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->text(QAccessible::Name), QString(QChar(s.WordList(0)[0])));
    EXPECT_EQ(std::tuple(cell->parent(), grid->child(grid->indexOfChild(cell))), std::tuple(grid, cell));
    EXPECT_FALSE(cell->state().selected);
    // The focus ring's cell is the table's focused cell.
    ASSERT_TRUE(f.clientArea()->hasFocus());
    EXPECT_TRUE(grid->tableInterface()->cellAt(0, 0)->state().focused);

    // A letter picked by a real click is selected; the whole word found is said so, and announced.
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(first));
    EXPECT_TRUE(cell->state().selected);
    EXPECT_EQ(cell->text(QAccessible::Description), "selezionata");
    for (std::size_t k = 2; k <= s.WordList(0).size(); ++k)
        QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(letterCell(s, 0, static_cast<int>(k))));
    ASSERT_TRUE(f.wordFound(0));
    EXPECT_EQ(nameOf(f.Label1[0]), QString::fromStdString(s.WordList(0) + ", trovata"));
    EXPECT_FALSE(cell->state().selected);
    EXPECT_EQ(cell->text(QAccessible::Description), "parte di una parola trovata");
    // The grid says what just happened in it (announced to a screen reader as an alert).
    EXPECT_EQ(grid->text(QAccessible::Description), QString::fromStdString("Parola trovata: " + s.WordList(0)));

    // The ring moves the reader's focus from cell to cell.
    QTest::keyClick(f.clientArea(), Qt::Key_Home);
    QTest::keyClick(f.clientArea(), Qt::Key_Right);
    const int row = letterCell(s, 0, static_cast<int>(s.WordList(0).size())).row;  // the ring followed the last click
    QAccessibleInterface* ringCell = grid->tableInterface()->cellAt(row - 1, 1);
    EXPECT_EQ(grid->focusChild(), ringCell);
    EXPECT_TRUE(ringCell->state().focused);
    EXPECT_FALSE(grid->tableInterface()->cellAt(0, 0)->state().focused);
}
