// Playing rounds through the handlers, and one round through real mouse events.
#include "tests/app/form1_fixture.h"

#include "core/palette.h"
#include "core/score_format.h"
#include "core/selection.h"

#include <QAction>
#include <QComboBox>
#include <QTest>

#include <set>

using namespace vortigo;
using namespace vortigo::test;

namespace {

// The cells of every word in list order, each cell once, with the index of
// the lowest-numbered word it belongs to.
std::vector<std::pair<Cell, int>> wordCells(const GameState& s)
{
    std::vector<std::pair<Cell, int>> out;
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i <= s.LastWordIndex; ++i)
        for (int k = 1; k <= static_cast<int>(s.WordList(i).size()); ++k) {
            const Cell c = letterCell(s, i, k);
            if (seen.insert({c.col, c.row}).second)
                out.push_back({c, i});
        }
    return out;
}

}  // namespace

TEST_F(Form1Test, ARoundIsWonByClickingEveryLetterAndTheNextOneFollows)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    ASSERT_EQ(s.RoundStatus, -1);
    EXPECT_EQ(s.GridCols, 7);
    EXPECT_EQ(s.GridRows, 6);
    EXPECT_EQ(s.LastWordIndex, 3);
    EXPECT_EQ(f.Label7->text(), "2");
    EXPECT_EQ(f.Label8->text(), "1");
    EXPECT_TRUE(f.Timer1->isActive());
    for (int i = 0; i < 20; ++i) {
        QLabel* l = f.Label1[static_cast<std::size_t>(i)];
        if (i <= 3) {
            EXPECT_TRUE(l->isVisibleTo(&f));
            EXPECT_EQ(l->text().toStdString(), s.WordList(i));
            EXPECT_EQ(s.WordList(i).size(), i < 2 ? 5u : 6u);
            EXPECT_EQ(back(l), qc(kWhite));
        } else {
            EXPECT_FALSE(l->isVisibleTo(&f));
            EXPECT_EQ(l->text(), "");
        }
    }
    std::set<std::string> distinct;
    for (int i = 0; i <= 3; ++i)
        distinct.insert(s.WordList(i));
    EXPECT_EQ(distinct.size(), 4u);

    // Elapsed stays at 3 x round: no tick is delivered here.
    const auto cells = wordCells(s);
    i32 expected = 0;
    for (const auto& [cell, word] : cells)
        expected += word == s.LastWordIndex ? 100 : 50;  // Pibo: the last word's letters score double
    for (int i = 0; i <= 3; ++i)
        expected += (42 - 3) * static_cast<i32>(s.WordList(i).size());

    platform.sounds.clear();
    for (std::size_t n = 0; n + 1 < cells.size(); ++n)
        clickCell(cells[n].first);
    EXPECT_EQ(s.Round, 1);
    for (int i = 0; i <= 3; ++i) {
        if (f.wordFound(i)) {
            EXPECT_EQ(back(f.Label1[static_cast<std::size_t>(i)]), qc(kBlue));
        }
    }
    platform.messages.clear();
    clickCell(cells.back().first);

    ASSERT_GE(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Complimenti! Preparati per la manche numero 2");
    EXPECT_EQ(platform.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(platform.sounds.back(), "VINCI.WAV");
    EXPECT_EQ(s.Score, expected);
    EXPECT_EQ(f.Label3->text().toStdString(), formatScore(expected, "."));
    EXPECT_EQ(s.Round, 2);
    EXPECT_EQ(s.GridCols, 8);
    EXPECT_EQ(s.LastWordIndex, 5);
    EXPECT_EQ(back(f.Label1[0]), qc(kWhite));
}

TEST_F(Form1Test, ClickingALetterPaintsItAndAgainTogglesWithoutScoringTwice)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    const auto cells = wordCells(s);
    const Cell c = cells.front().first;
    clickCell(c);
    EXPECT_EQ(s.CellMark(c.col, c.row), 2);
    EXPECT_EQ(s.Score, 50);
    const QPoint p = centre(c);
    const QImage& img = f.surface().image();
    EXPECT_EQ(img.pixelColor(p.x() - s.CellSize / 2 + 3, p.y()), qc(kRed));
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
    EXPECT_EQ(f.Label7->text(), "1");
    EXPECT_EQ(s.Score, -1000);
    EXPECT_EQ(f.Label3->text(), "-1.000");
    EXPECT_EQ(platform.sounds.back(), "explode2.WAV");

    platform.messages.clear();
    int scoreAtGameOver = 1;
    std::string label7AtGameOver;
    platform.whileMessageOpen = [&](const std::string& text) {
        if (text.rfind("Hai commesso un'altro errore!", 0) == 0) {
            scoreAtGameOver = s.Score;
            label7AtGameOver = f.Label7->text().toStdString();
        }
    };
    clickCell(fillerCell());
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, "Hai commesso un'altro errore! mi dispiace, la partita è finita.");
    EXPECT_EQ(platform.messages[1].text, "Vuoi fare un'altra partitina?");
    EXPECT_EQ(platform.messages[1].buttons, Buttons::OkCancel);
    EXPECT_EQ(scoreAtGameOver, -1000);
    EXPECT_EQ(label7AtGameOver, "0");
    // OK: a new game at round 1 with a clean score; no high-score window for a negative score.
    EXPECT_EQ(s.Round, 1);
    EXPECT_EQ(s.Score, 0);
    EXPECT_EQ(f.Label7->text(), "2");
    EXPECT_FALSE(platform.ended);
}

TEST_F(Form1Test, CancelAfterTheLastErrorEndsTheProgramAfterTheScoreIsOffered)
{
    Form1& f = open();
    closeModalWindows();
    startGame();
    GameState& s = f.state();
    s.Score = 5000;  // as if earlier rounds had gone well
    clickCell(fillerCell());
    platform.answers = {Answer::Cancel};
    clickCell(fillerCell());
    EXPECT_EQ(platform.lastMessage(), "Vuoi fare un'altra partitina?");
    EXPECT_TRUE(platform.ended);
    EXPECT_TRUE(f.ended());
    EXPECT_EQ(s.RecordNewScore, kTrue);
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
    const std::string first = s.WordList(0);
    const QImage grid = f.surface().image();
    const i16 elapsed = s.ElapsedSeconds;
    platform.answers = {Answer::Cancel};
    startGame();
    EXPECT_EQ(platform.lastMessage(), "Desideri veramente iniziare una nuova partita?");
    EXPECT_EQ(s.Score, 50);
    EXPECT_EQ(s.WordList(0), first);
    EXPECT_EQ(s.ElapsedSeconds, elapsed);
    EXPECT_EQ(s.RoundStatus, -1);
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

TEST_F(Form1Test, CountdownShowsMinutesThenSecondsAndBlinksInTheLastTwenty)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    platform.messages.clear();
    f.Timer1_Timer();  // Pibo from the menu's design state, but no bonus yet: 42 - 4 = 38 left
    EXPECT_EQ(f.Label2->text(), "Sec.38");
    s.LevelTimeBonus = 60;
    struct Case {
        int left;
        const char* caption;
        int text, back;
    };
    const QColor untouched = back(f.Label2);
    for (const Case& c : {Case{60, "Min.1 - Sec.0", -1, -1}, Case{59, "Sec.59", -1, -1}, Case{20, "Sec.20", -1, -1},
                          Case{19, "Sec.19", kBlue, kYellow}, Case{18, "Sec.18", kYellow, kBlue}}) {
        s.ElapsedSeconds = static_cast<i16>(42 + 60 - c.left - 1);
        f.Timer1_Timer();
        EXPECT_EQ(f.Label2->text(), c.caption);
        if (c.back < 0) {
            EXPECT_EQ(back(f.Label2), untouched);
        } else {
            EXPECT_EQ(back(f.Label2), qc(c.back));
            EXPECT_EQ(f.Label2->palette().color(QPalette::WindowText), qc(c.text));
        }
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Form1Test, TimeOutAsksOnceEvenWhileTicksKeepComing)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    s.ElapsedSeconds = static_cast<i16>(42 + 0 - 1);  // next tick leaves 0
    platform.messages.clear();
    int ticksDuringMessage = 0;
    platform.whileMessageOpen = [&](const std::string&) {
        // The timer goes on while the box is open: real ticks and a direct dispatch.
        f.Timer1->setInterval(5);
        QTest::qWait(40);
        f.dispatch([&] { ++ticksDuringMessage; f.Timer1_Timer(); });
        f.dispatch([&] { f.MenuNuovo_Click(); });
        QPoint p = centre({1, 1});
        QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, p);
        f.Timer1->setInterval(1000);
    };
    f.dispatch([&] { f.Timer1_Timer(); });
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Mi dispiace il tempo è scaduto. Vuoi fare un'altra partita?");
    EXPECT_EQ(platform.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(ticksDuringMessage, 0);
    EXPECT_EQ(f.Label2->text(), "Sec.0");
    EXPECT_EQ(back(f.Label2), qc(kBlue));
    // OK: one new game.
    EXPECT_EQ(s.Round, 1);
    EXPECT_EQ(s.RoundStatus, -1);
    EXPECT_EQ(s.ElapsedSeconds, 3);

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
    EXPECT_EQ(s.LevelTimeBonus, 45);
    EXPECT_EQ(readFile(folder / "vortigo.INI").substr(0, 17), "Livello=Esperto\r\n");
    EXPECT_EQ(s.Score, 0);
    EXPECT_EQ(s.Round, 1);
    EXPECT_EQ(s.RecordNewScore, kTrue);
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

TEST_F(Form1Test, ADictionaryTooSmallForARoundIsReportedOnceAndPlayStops)
{
    writeDictionary(folder / "SLESSICO.1", {{5, {"AAAAA"}}, {6, {"BBBBBB", "CCCCCC"}}});
    Form1& f = open();
    platform.messages.clear();
    startGame();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].text.find("5 lettere"), std::string::npos);
    EXPECT_EQ(f.state().RoundStatus, 0);
    EXPECT_FALSE(f.Timer1->isActive());
    // A click now is ignored, silently.
    platform.sounds.clear();
    f.Form_MouseDown(1, 0, 100, 100);
    EXPECT_TRUE(platform.sounds.empty());
}

TEST_F(Form1Test, ADictionaryThatVanishesMidGameIsReportedOnce)
{
    Form1& f = open();
    std::filesystem::remove(folder / "SLESSICO.1");
    platform.messages.clear();
    startGame();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Errore 0002: Non trovato file di vocabolario SLESSICO.1");
    EXPECT_EQ(f.state().RoundStatus, 0);
}

TEST_F(Form1Test, ExitWithNoPointsEndsWithoutTheHighScoreWindow)
{
    Form1& f = open();
    closeModalWindows();
    f.dispatch([&] { f.menuEsci_Click(); });
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(modalWindowsSeen, 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "vortigo.HIS"));
}

TEST_F(Form1Test, SoundSwitchPlaysOnlyWhenTurnedOnAndIsSaved)
{
    Form1& f = open();
    f.MenuSuono_Click();
    EXPECT_FALSE(f.MenuSuono->isChecked());
    EXPECT_TRUE(platform.sounds.empty());
    EXPECT_EQ(readFile(folder / "vortigo.INI").substr(readFile(folder / "vortigo.INI").size() - 10), "Suono=NO\r\n");
    f.MenuSuono_Click();
    EXPECT_EQ(platform.sounds, (std::vector<std::string>{"SOUND2.wav"}));
    ASSERT_EQ(platform.pauses.size(), 1u);
    EXPECT_NEAR(platform.pauses[0], 0.5, 1e-6);
}

TEST_F(Form1Test, EndToEndF2AndRealClicksWinRoundOne)
{
    Form1& f = open();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_F2);
    GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    for (const auto& [cell, word] : wordCells(s)) {
        if (s.Round != 1)
            break;
        QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(cell));
    }
    EXPECT_EQ(s.Round, 2);
    EXPECT_EQ(platform.messages.back().text, "Complimenti! Preparati per la manche numero 2");
    EXPECT_GT(s.Score, 0);
}
