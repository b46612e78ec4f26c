// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader reads, through Qt's accessibility interfaces, where
// the round played over the real bus (tests/screen_reader) does not look:
// the chooser's caption as its label, the link's press action, the time left
// with its value, a cell selected and then part of a found word, and the
// reader's focus following the ring from cell to cell. The bus test walks
// the tree, reads the strip, the word list and the table's letters, and
// hears the news.
#include "tests/app/form1_fixture.h"
#include "tests/support/window_texts.h"

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
    QAccessibleActionInterface* link =
        QAccessible::queryAccessibleInterface(control<QLabel>(f, "Label12"))->actionInterface();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->actionNames().value(0), QAccessibleActionInterface::pressAction());

    // Every tooltip, on its own control.
    std::map<std::string, std::string> tips = {{"Picture1", "Clicca per nuova partita ..."},
        {"Combo1", "Cambia il dizionario Ita/Eng/LATINO"}, {"Text1", "Immetti il tuo nome"},
        {"Command3d1", "Nuova partita ..."}, {"Label12", "Visita il sito dell'autore ..."}, {"Label8", "Manche in corso"},
        {"Label7", "Errori ammissibili"}, {"Label2", "Tempo rimasto"}, {"Label3", "Punti fatti"}};
    for (int i = 0; i < 20; ++i)
        tips["Label1_" + std::to_string(i)] = "Lista delle parole da trovare";
    // Every caption, and the menus in their order with their shortcuts, as the window opens.
    std::map<std::string, std::string> captions = {{"", "Vortigo"}, {"Frame3d1", "Parole da trovare"},
        {"Picture1", "Clicca qui per una nuova partita"}, {"Combo1", "Italiano / English / Latino"}, {"Text1", "Brivo"},
        {"Label11", "Dizionario:"}, {"Label9", "Manche:"}, {"Label4", "Tempo:"}, {"Label6", "Errori ammessi:"},
        {"Label5", "Punti:"}, {"Label10", "Giocatore:"}, {"Label8", "0"}, {"Label7", "0"}, {"Label3", "0"},
        {"Label12", "vortigo.example"},
        {"menu bar", "&File {&Nuova partita	F2 | &Tabella records ...	F8 | - | &Esci	Ctrl+F5}; "
                     "&Opzioni {&Livello di difficoltà {&Allenamento | &Pibo (Principiante)  | &Medio | &Esperto} | "
                     "&Suono	Ctrl+S}; "
                     "&? {&Aiuto	F1 | &Manda una E-Mail all'autore...	Ctrl+F9 | &Visita Home Page autore ...	Ctrl+F11 | - | "
                     "&Informazioni su Vortigo ...	F4}"}};
    for (int i = 0; i < 20; ++i)
        captions["Label1_" + std::to_string(i)] = "Label1";
    EXPECT_EQ(captionsOf(f), captions);
    // The strip's controls that keep their designed place, in twips (the others are fitted to their text).
    const std::map<std::string, std::string> places = placesOf(f);
    for (const auto& [name, place] : std::map<std::string, std::string>{
             {"Picture2", "0, 0, 10200, 735"}, {"Command3d1", "60, 30, 645, 585"}, {"Label2", "720, 330, 1680, 300"},
             {"Label3", "2430, 330, 1005, 300"}, {"Label5", "2730, 150, 465, 165"}, {"Label8", "4500, 330, 645, 300"},
             {"Label1_0", "90, 210, 1455, 285"}, {"Label1_19", "90, 5070, 1455, 285"}})
        EXPECT_EQ(places.at(name), place) << name;
    EXPECT_EQ(toolTipsOf(f), tips);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    f.dispatch([&] { f.Timer1_Timer(); });
    EXPECT_EQ(nameOf(control<QLabel>(f, "Label2")), "Tempo rimasto: Sec.38");

    // The grid: a table of 7 x 6 cells holding the letters.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(f.clientArea());
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(grid->tableInterface(), nullptr);
    EXPECT_EQ(std::tuple(grid->tableInterface()->rowCount(), grid->tableInterface()->columnCount()), std::tuple(6, 7));
    const Cell first = letterCell(s, 0, 1);
    QAccessibleInterface* cell = grid->tableInterface()->cellAt(first.row - 1, first.col - 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->text(QAccessible::Name), QString(QChar(s.WordList(0)[0])));
    EXPECT_EQ(std::tuple(cell->parent(), grid->child(grid->indexOfChild(cell))), std::tuple(grid, cell));
    // Where a magnifier or a reader's highlight goes: the letter's place on the screen, and back.
    EXPECT_EQ(cell->rect(), QRect(f.clientArea()->mapToGlobal(cellBox(first).topLeft()), cellBox(first).size()));
    EXPECT_EQ(grid->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    EXPECT_EQ(grid->text(QAccessible::Name), "Griglia delle lettere");
    EXPECT_EQ(std::tuple(grid->tableInterface()->rowDescription(first.row - 1), grid->tableInterface()->columnDescription(first.col - 1)),
              std::tuple(QStringLiteral("Riga %1").arg(first.row), QStringLiteral("Colonna %1").arg(first.col)));
    EXPECT_FALSE(cell->state().selected);
    // The focus ring's cell is the table's focused cell.
    ASSERT_TRUE(f.clientArea()->hasFocus());
    EXPECT_TRUE(grid->tableInterface()->cellAt(0, 0)->state().focused);

    // A letter picked by a real click is selected; once the whole word is found, it is said so.
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(first));
    EXPECT_TRUE(cell->state().selected);
    EXPECT_EQ(grid->tableInterface()->selectedCells(), QList<QAccessibleInterface*>{cell});
    EXPECT_EQ(cell->text(QAccessible::Description), "selezionata");
    for (std::size_t k = 2; k <= s.WordList(0).size(); ++k)
        QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(letterCell(s, 0, static_cast<int>(k))));
    ASSERT_TRUE(f.wordFound(0));
    EXPECT_FALSE(cell->state().selected);
    EXPECT_EQ(cell->text(QAccessible::Description), "parte di una parola trovata");

    // The ring moves the reader's focus from cell to cell.
    QTest::keyClick(f.clientArea(), Qt::Key_Home);
    QTest::keyClick(f.clientArea(), Qt::Key_Right);
    const int row = letterCell(s, 0, static_cast<int>(s.WordList(0).size())).row;  // the ring followed the last click
    QAccessibleInterface* ringCell = grid->tableInterface()->cellAt(row - 1, 1);
    EXPECT_EQ(grid->focusChild(), ringCell);
    EXPECT_TRUE(ringCell->state().focused);
    EXPECT_FALSE(grid->tableInterface()->cellAt(0, 0)->state().focused);
    // Once Tab takes the keys elsewhere, no cell of the grid is focused.
    QTest::keyClick(f.clientArea(), Qt::Key_Tab);
    ASSERT_FALSE(f.clientArea()->hasFocus());
    EXPECT_EQ(grid->focusChild(), nullptr);
    EXPECT_FALSE(ringCell->state().focused);
}
