// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads, through Qt's accessibility interfaces only:
// the tree from the window down, the controls' names and roles, the status
// values with their captions, the grid as a table of letters, found words
// said in words, and the announcements. (The same over the real bus, with
// the events, is tests/screen_reader.)
#include "tests/app/form1_fixture.h"

#include <functional>
#include <map>

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, ControlsAreNamedForAScreenReader)
{
    Form1& f = openActive();
    // The chooser is named by its caption through the "labelled by" relation; its own name is the choice.
    const auto labels = QAccessible::queryAccessibleInterface(control<QComboBox>(f, "Combo1"))->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Dizionario:");
    EXPECT_EQ(nameOf(control<QComboBox>(f, "Combo1")), "Italiano");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    f.dispatch([&] { f.Timer1_Timer(); });

    // Walked down from the window, every control is found once, each child
    // knows its parent and its index there: the strip, the word list and the
    // grid stand side by side, and the grid's own children are its cells.
    // The status values are read with their captions.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&f);
    std::map<QObject*, QAccessibleInterface*> found;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(std::tuple(child->parent(), node->indexOfChild(child)), std::tuple(node, i))
                << child->text(QAccessible::Name).toStdString();
            if (child->object() != nullptr) {
                EXPECT_TRUE(found.emplace(child->object(), child).second);
            }
            walk(child);
        }
    };
    walk(window);
    const auto seen = [&](const char* name) {
        QObject* o = f.findChild<QObject*>(QString::fromLatin1(name));
        return found.count(o) ? std::tuple(found[o]->role(), found[o]->text(QAccessible::Name))
                              : std::tuple(QAccessible::NoRole, QString("(not in the tree)"));
    };
    EXPECT_EQ(seen("Label2"), std::tuple(QAccessible::StatusBar, QString("Tempo rimasto: Sec.38")));
    EXPECT_EQ(seen("Label3"), std::tuple(QAccessible::StatusBar, QString("Punti fatti: 0")));
    EXPECT_EQ(seen("Label7"), std::tuple(QAccessible::StatusBar, QString("Errori ammissibili: 2")));
    EXPECT_EQ(seen("Label8"), std::tuple(QAccessible::StatusBar, QString("Manche in corso: 1")));
    EXPECT_EQ(seen("Text1"), std::tuple(QAccessible::EditableText, QString("Giocatore:")));
    EXPECT_EQ(seen("Command3d1"), std::tuple(QAccessible::Button, QString("Nuova partita")));
    EXPECT_EQ(seen("Label12"), std::tuple(QAccessible::Link, control<QLabel>(f, "Label12")->text()));
    EXPECT_EQ(found[f.findChild<QObject*>("Label12")]->actionInterface()->actionNames().value(0), QAccessibleActionInterface::pressAction());
    // The list holds the round's four words, no more.
    EXPECT_EQ(seen("Frame3d1"), std::tuple(QAccessible::List, QString("Parole da trovare")));
    EXPECT_EQ(found[f.findChild<QObject*>("Frame3d1")]->childCount(), 4);
    EXPECT_EQ(seen("Label1_0"), std::tuple(QAccessible::ListItem, QString::fromStdString(s.WordList(0) + ", da trovare")));

    // The grid: a table of 7 x 6 cells holding the letters.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(f.clientArea());
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(found[static_cast<QObject*>(f.clientArea())], grid);
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
    EXPECT_EQ(nameOf(control<QLabel>(f, "Label1_0")), QString::fromStdString(s.WordList(0) + ", trovata"));
    EXPECT_FALSE(cell->state().selected);
    EXPECT_EQ(cell->text(QAccessible::Description), "parte di una parola trovata");
    // What just happened is the news of the window's notification, shown afresh.
    std::vector<QString> shown;
    for (QObject* o : f.findChildren<QObject*>("news"))
        if (QAccessibleInterface* news = QAccessible::queryAccessibleInterface(o); !news->state().invisible) {
            EXPECT_EQ(news->role(), QAccessible::Notification);
            shown.push_back(news->text(QAccessible::Name));
        }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].startsWith(QString::fromStdString("Parola trovata: " + s.WordList(0) + ", "))) << shown[0].toStdString();

    // The ring moves the reader's focus from cell to cell.
    QTest::keyClick(f.clientArea(), Qt::Key_Home);
    QTest::keyClick(f.clientArea(), Qt::Key_Right);
    const int row = letterCell(s, 0, static_cast<int>(s.WordList(0).size())).row;  // the ring followed the last click
    QAccessibleInterface* ringCell = grid->tableInterface()->cellAt(row - 1, 1);
    EXPECT_EQ(grid->focusChild(), ringCell);
    EXPECT_TRUE(ringCell->state().focused);
    EXPECT_FALSE(grid->tableInterface()->cellAt(0, 0)->state().focused);
}
