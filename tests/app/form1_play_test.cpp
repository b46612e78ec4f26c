// SPDX-License-Identifier: GPL-3.0-or-later
// Playing rounds through the handlers, and one round through real mouse events.
#include "tests/app/form1_fixture.h"

#include "core/palette.h"
#include "core/score_format.h"
#include "core/selection.h"

#include <QAction>
#include <QComboBox>
#include <QTest>

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, EndToEndF2AndRealClicksOnEveryLetterWinRoundOneAndTheNextOneFollows)
{
    Form1& f = open();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_F2);
    GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    ASSERT_EQ(s.LastWordIndex, 3);
    EXPECT_EQ(std::tuple(s.RoundStatus, f.Label7->text(), f.Label8->text()), std::tuple(-1, QString("2"), QString("1")));
    EXPECT_TRUE(f.Timer1->isActive());
    for (int i = 0; i < 20; ++i) {
        QLabel* l = f.Label1[static_cast<std::size_t>(i)];
        EXPECT_EQ(l->isVisibleTo(&f), i <= 3);
        EXPECT_EQ(l->text().toStdString(), i <= 3 ? s.WordList(i) : "") << i;
    }
    EXPECT_EQ((std::set{s.WordList(0), s.WordList(1), s.WordList(2), s.WordList(3)}.size()), 4u);

    const auto cells = wordCells(s);
    const i32 expected = roundOneWinningScore();
    for (int i = 0; i <= 3; ++i)
        EXPECT_EQ(s.WordList(i).size(), i < 2 ? 5u : 6u);

    for (std::size_t n = 0; n + 1 < cells.size(); ++n)
        QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(cells[n].first));
    EXPECT_EQ(s.Round, 1);
    for (int i = 0; i <= 3; ++i)
        EXPECT_EQ(back(f.Label1[static_cast<std::size_t>(i)]), qc(f.wordFound(i) ? kBlue : kWhite)) << i;
    // A found word's letters are yellow, unless an unfound word through the cell painted it again.
    const QImage& img = f.surface().image();
    int yellowCells = 0;
    for (const auto& [cell, word] : cells) {
        bool onUnfound = false;
        for (int i = 0; i <= 3; ++i)
            for (int k = 1; k <= static_cast<int>(s.WordList(i).size()); ++k)
                onUnfound = onUnfound || (!f.wordFound(i) && letterCell(s, i, k) == cell);
        if (onUnfound)
            continue;
        const QPoint corner = centre(cell) - QPoint(s.CellSize / 2, s.CellSize / 2);
        EXPECT_EQ(img.pixelColor(corner + QPoint(3, 3)), qc(kYellow)) << cell.col << ", " << cell.row;
        ++yellowCells;
    }
    EXPECT_GE(yellowCells, 5);
    platform.messages.clear();
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(cells.back().first));

    expectRoundOneWon(expected);
    EXPECT_EQ(back(f.Label1[0]), qc(kWhite));
}

TEST_F(Form1Test, ClickingALetterPaintsItAndAgainTogglesWithoutScoringTwice)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    const Cell c = wordCells(s).front().first;
    clickCell(c);
    EXPECT_EQ(s.CellMark(c.col, c.row), 2);
    EXPECT_EQ(s.Score, 50);
    const QPoint p = centre(c);
    const QImage& img = f.surface().image();
    EXPECT_EQ(img.pixelColor(p.x() - s.CellSize / 2 + 3, p.y()), qc(kRed));
    // The paint stays inside the cell's black outline, which is 1 pixel in from the cell's edge.
    const int left = s.MarginX + (c.col - 1) * s.CellSize;
    EXPECT_EQ(std::pair(img.pixelColor(left + 1, p.y()), img.pixelColor(left + 2, p.y())), std::pair(qc(kBlack), qc(kRed)));
    EXPECT_EQ(std::pair(img.pixelColor(left + s.CellSize - 1, p.y()), img.pixelColor(left + s.CellSize - 2, p.y())),
              std::pair(qc(kBlack), qc(kRed)));
    clickCell(c);
    EXPECT_EQ(s.Score, 50);
    EXPECT_EQ(img.pixelColor(p.x() - s.CellSize / 2 + 3, p.y()), qc(kWhite));

    // Beside the grid, or with the right button: only the thud.
    platform.sounds.clear();
    f.Form_MouseDown(1, 0, s.MarginX + s.CellSize * s.GridCols + 1, p.y());
    f.Form_MouseDown(2, 0, p.x(), p.y());
    EXPECT_EQ(platform.sounds, (std::vector<std::string>{"COLLAPSE.WAV", "COLLAPSE.WAV"}));
    EXPECT_EQ(s.Score, 50);
    EXPECT_EQ(f.Label7->text(), "2");
}

TEST_F(Form1Test, TwoErrorsEndTheGameAndTheSecondCostsNothing)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    clickCell(fillerCell());
    EXPECT_EQ(platform.lastMessage(), "Hai commesso un errore! Ne puoi commettere ancora 1");
    EXPECT_EQ(std::tuple(s.Score, f.Label7->text()), std::tuple(-1000, QString("1")));
    EXPECT_EQ(platform.sounds.back(), "explode2.WAV");

    platform.messages.clear();
    std::pair<i32, QString> atGameOver;
    platform.whileMessageOpen = [&](const std::string& text) {
        if (text.starts_with("Hai commesso un'altro errore!"))
            atGameOver = {s.Score, f.Label7->text()};
    };
    clickCell(fillerCell());
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "Hai commesso un'altro errore! mi dispiace, la partita è finita.");
    EXPECT_EQ(platform.messages[1].text, "Vuoi fare un'altra partitina?");
    EXPECT_EQ(atGameOver, std::pair(-1000, QString("0")));
    // OK: a new game at round 1 with a clean score; no high-score window for a negative score.
    EXPECT_EQ(std::tuple(s.Round, s.Score, f.Label7->text()), std::tuple(1, 0, QString("2")));
    EXPECT_FALSE(platform.ended);
}

TEST_F(Form1Test, CancelAfterTheLastErrorEndsTheProgramAfterTheScoreIsOffered)
{
    Form1& f = open();
    closeModalWindows();
    startGame();
    GameState& s = f.state();
    s.Score = 5000;  // as if earlier rounds had gone well
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(fillerCell()));
    EXPECT_EQ(f.Label3->text(), "4.000");
    platform.answers = {Answer::Cancel};
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(fillerCell()));
    EXPECT_EQ(platform.lastMessage(), "Vuoi fare un'altra partitina?");
    EXPECT_TRUE(platform.ended && f.ended());
    // The first error cost 1000 points, the last one nothing: 4000 is what the table keeps.
    EXPECT_EQ(modalWindowsSeen, 1);
    EXPECT_TRUE(readFile(folder / "vortigo.HIS").starts_with("Brivo, 4000 \r\n"));
    // Nothing after the end reaches the handlers.
    const auto before = platform.messages.size();
    clickCell(fillerCell());
    f.dispatch([&] { f.Timer1_Timer(); });
    EXPECT_EQ(platform.messages.size(), before);
}

TEST_F(Form1Test, ANewGameRequestAnsweredCancelChangesNothing)
{
    Form1& f = open();
    closeModalWindows();
    startGame();
    GameState& s = f.state();
    clickCell(wordCells(s).front().first);
    const auto before = std::tuple(s.Score, s.WordList(0), s.ElapsedSeconds, s.RoundStatus);
    const QImage grid = f.surface().image();
    platform.answers = {Answer::Cancel};
    startGame();
    EXPECT_EQ(platform.lastMessage(), "Desideri veramente iniziare una nuova partita?");
    EXPECT_EQ(std::tuple(s.Score, s.WordList(0), s.ElapsedSeconds, s.RoundStatus), before);
    EXPECT_TRUE(f.surface().image() == grid);
    // OK offers the 50 points to the table, then starts over.
    startGame();
    EXPECT_EQ(modalWindowsSeen, 1);
    EXPECT_TRUE(mainDisabledWhileModal);
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(s.Score, 0);
    EXPECT_EQ(s.Round, 1);
    EXPECT_NE(readFile(folder / "vortigo.HIS").find("Brivo, 50 \r\n"), std::string::npos);
}

TEST_F(Form1Test, CountdownLabelTakesTheGridTheBonusAndTheBlinkIntoAccount)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    platform.messages.clear();
    const QColor untouched = back(f.Label2);
    f.Timer1_Timer();  // Pibo from the menu's design state, but no bonus yet: 42 - 4 = 38 left
    EXPECT_EQ(f.Label2->text(), "Sec.38");
    EXPECT_EQ(back(f.Label2), untouched);
    s.LevelTimeBonus = 60;
    s.ElapsedSeconds = 42 + 60 - 19 - 1;
    f.Timer1_Timer();
    EXPECT_EQ(f.Label2->text(), "Sec.19");
    EXPECT_EQ(std::pair(fore(f.Label2), back(f.Label2)), std::pair(qc(kBlue), qc(kYellow)));
    f.Timer1_Timer();
    EXPECT_EQ(std::pair(fore(f.Label2), back(f.Label2)), std::pair(qc(kYellow), qc(kBlue)));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Form1Test, TimeOutAsksOnceEvenWhileTicksKeepComing)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    s.ElapsedSeconds = static_cast<i16>(42 + 0 - 1);  // next tick leaves 0
    s.Score = 700;
    closeModalWindows();
    platform.messages.clear();
    int ticksDuringMessage = 0;
    platform.whileMessageOpen = [&](const std::string&) {
        // The timer goes on while the box is open: real ticks and a direct dispatch.
        f.Timer1->setInterval(5);
        QTest::qWait(40);
        f.dispatch([&] { ++ticksDuringMessage; f.Timer1_Timer(); });
        f.dispatch([&] { f.MenuNuovo_Click(); });
        QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre({1, 1}));
        f.Timer1->setInterval(1000);
    };
    f.dispatch([&] { f.Timer1_Timer(); });
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Mi dispiace il tempo è scaduto. Vuoi fare un'altra partita?");
    EXPECT_EQ(ticksDuringMessage, 0);
    // OK: the 700 points go to the table, then one new game.
    EXPECT_EQ(modalWindowsSeen, 1);
    EXPECT_TRUE(readFile(folder / "vortigo.HIS").starts_with("Brivo, 700 \r\n"));
    EXPECT_EQ(std::tuple(s.Round, s.RoundStatus, s.ElapsedSeconds, s.Score), std::tuple(1, -1, 3, 0));

    platform.whileMessageOpen = nullptr;
    s.ElapsedSeconds = 41;
    platform.answers = {Answer::Cancel};
    f.dispatch([&] { f.Timer1_Timer(); });
    EXPECT_TRUE(platform.ended);
}

TEST_F(Form1Test, ChangingLevelRestartsTheGameAndIsSaved)
{
    Form1& f = open();
    closeModalWindows();
    GameState& s = f.state();
    // First run: Pibo is checked but has no bonus yet; choosing it counts as a change.
    f.dispatch([&] { f.Menulev_Click(1); });
    EXPECT_EQ(s.LevelTimeBonus, 60);
    EXPECT_EQ(platform.lastMessage(), "Si inizia ora una nuova partita con il livello selezionato.");
    EXPECT_EQ(readFile(folder / "vortigo.INI"), "Livello=Principiante\r\nGiocatore1=Brivo\r\nSuono=SI\r\n");
    EXPECT_EQ(s.Round, 1);

    s.Score = 1200;
    platform.messages.clear();
    f.dispatch([&] { f.Menulev_Click(3); });
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Menulev[static_cast<std::size_t>(i)]->isChecked(), i == 3);
    EXPECT_TRUE(readFile(folder / "vortigo.INI").starts_with("Livello=Esperto\r\n"));
    EXPECT_EQ(std::tuple(s.LevelTimeBonus, s.Score, s.Round, s.RecordNewScore), std::tuple(45, 0, 1, kTrue));
    EXPECT_TRUE(readFile(folder / "vortigo.HIS").starts_with("Brivo, 1200 \r\n"));
    // At Esperto the last word hides behind as many "?" as it has letters.
    EXPECT_EQ(f.Label1[3]->text().toStdString(), std::string(s.WordList(3).size(), '?'));
    EXPECT_EQ(f.Label1[2]->text().toStdString(), s.WordList(2));

    // The same level again: nothing at all.
    platform.messages.clear();
    const auto written = std::filesystem::last_write_time(folder / "vortigo.INI");
    f.dispatch([&] { f.Menulev_Click(3); });
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(std::filesystem::last_write_time(folder / "vortigo.INI"), written);
}

TEST_F(Form1Test, ChangingDictionaryDrawsFromTheNewFileOrEndsWhenItIsMissing)
{
    Form1& f = open();
    GameState& s = f.state();
    f.Combo1->setCurrentIndex(0);
    f.dispatch([&] { f.Combo1_Click(); });
    EXPECT_EQ(s.Round, 0);  // Italiano again: nothing happens

    f.Combo1->setCurrentIndex(1);
    f.dispatch([&] { f.Combo1_Click(); });
    EXPECT_EQ(s.DictionaryIndex, 2);
    EXPECT_EQ(platform.lastMessage(), "Si inizia ora una nuova partita con il nuovo dizionario selezionato.");
    for (int i = 0; i <= s.LastWordIndex; ++i)
        EXPECT_EQ(s.WordList(i)[0], 'E');

    f.Combo1->setCurrentIndex(2);
    f.dispatch([&] { f.Combo1_Click(); });
    EXPECT_EQ(platform.lastMessage(), "Errore fatale! non trovato file di vocabolario: SLESSICO.3");
    EXPECT_TRUE(platform.ended);
}

TEST_F(Form1Test, ADictionaryThatVanishesOrIsTooSmallIsReportedOnceAndPlayStops)
{
    open();
    std::filesystem::remove(folder / "SLESSICO.1");
    for (const char* report : {"Errore 0002: Non trovato file di vocabolario SLESSICO.1", "5 lettere"}) {
        platform.messages.clear();
        startGame();
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_NE(platform.messages[0].text.find(report), std::string::npos);
        EXPECT_EQ(form->state().RoundStatus, 0);
        EXPECT_FALSE(form->Timer1->isActive());
        // A click now is ignored, silently.
        platform.sounds.clear();
        form->Form_MouseDown(1, 0, 100, 100);
        EXPECT_TRUE(platform.sounds.empty());
        writeDictionary(folder / "SLESSICO.1", {{5, {"AAAAA"}}, {6, {"BBBBBB", "CCCCCC"}}});
        open();
    }
}

TEST_F(Form1Test, ExitOffersOnlyAPositiveScoreToTheTable)
{
    closeModalWindows();
    for (const i32 score : {0, -300, 2500}) {
        Form1& f = open();
        f.state().Score = score;
        modalWindowsSeen = 0;
        platform.ended = false;
        f.dispatch([&] { f.menuEsci_Click(); });
        EXPECT_TRUE(platform.ended);
        EXPECT_EQ(modalWindowsSeen, score > 0 ? 1 : 0) << score;
        EXPECT_EQ(std::filesystem::exists(folder / "vortigo.HIS"), score > 0) << score;
    }
    EXPECT_TRUE(readFile(folder / "vortigo.HIS").starts_with("Brivo, 2500 \r\n"));
}
