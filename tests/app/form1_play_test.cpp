// SPDX-License-Identifier: GPL-3.0-or-later
// Playing rounds with real clicks: letters, errors, time-outs, new games,
// changes of level, and quitting.
#include "tests/app/form1_fixture.h"

#include <algorithm>

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, AClickedLetterTogglesAndScoresOnce)
{
    Form1& f = open();
    // Round the grid: white between games, grey while a round is played.
    EXPECT_EQ(f.surface().image().pixelColor(1, 1), qc(kWhite));
    startGame();
    GameState& s = f.state();
    const Cell c = wordCells(s).front().first;
    platform.sounds.clear();
    clickCell(c);
    EXPECT_EQ(std::tuple(s.CellMark(c.col, c.row), s.Score), std::tuple(2, 50));
    EXPECT_EQ(platform.sounds, std::vector<std::string>{"SND0002.WAV"});
    EXPECT_EQ(f.surface().image().pixelColor(1, 1), qc(kLightGrey));
    // The paint stays inside the cell's black outline, which is 1 pixel in from the cell's edge.
    const QImage& img = f.surface().image();
    const QRect box = cellBox(c);
    const int y = box.center().y();
    for (const auto& [outline, paint] : {std::pair{box.left() + 1, box.left() + 2}, {box.right(), box.right() - 1}})
        EXPECT_EQ(std::tuple(img.pixelColor(outline, y), img.pixelColor(paint, y)), std::tuple(qc(kBlack), qc(kRed)));
    // Its letter shows white on the red; clicked again, black on white.
    EXPECT_TRUE(coloursIn(c).contains(qc(kWhite).rgb()) && !coloursIn(c).contains(qc(kBlack).rgb()));
    clickCell(c);
    EXPECT_EQ(std::tuple(s.Score, paintOf(c)), std::tuple(50, qc(kWhite)));
    EXPECT_TRUE(coloursIn(c).contains(qc(kBlack).rgb()));

    // Beside the grid, or with the right button: only the thud.
    platform.sounds.clear();
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, QPoint(s.MarginX + s.CellSize * s.GridCols + 1, y));
    QTest::mouseClick(f.clientArea(), Qt::RightButton, {}, centre(c));
    EXPECT_EQ(platform.sounds, (std::vector<std::string>{"COLLAPSE.WAV", "COLLAPSE.WAV"}));
    EXPECT_EQ(std::tuple(s.Score, control<QLabel>(f, "Label7")->text()), std::tuple(50, QString("2")));

    // A new game asked for and cancelled changes nothing; confirmed, it offers the points to the table first.
    clickCell(c);
    const auto before = std::tuple(s.Score, s.WordList(0), s.ElapsedSeconds, s.RoundStatus);
    const QImage grid = f.surface().image();
    closeModalWindows();
    platform.answers = {Answer::Cancel};
    startGame();
    EXPECT_EQ(platform.lastMessage(), "Desideri veramente iniziare una nuova partita?");
    EXPECT_EQ(std::tuple(s.Score, s.WordList(0), s.ElapsedSeconds, s.RoundStatus), before);
    EXPECT_TRUE(f.surface().image() == grid);
    startGame();
    EXPECT_EQ(modalWindowsSeen, 1);
    EXPECT_TRUE(mainDisabledWhileModal && f.isEnabled());
    EXPECT_EQ(std::tuple(s.Score, s.Round), std::tuple(0, 1));
    EXPECT_TRUE(readBytes(folder / "vortigo.HIS").starts_with("Brivo, 50 \r\n"));
}

TEST_F(Form1Test, TheLastErrorEndsTheGame)
{
    closeModalWindows();
    for (const Answer answer : {Answer::Ok, Answer::Cancel}) {
        Form1& f = open();
        startGame();
        GameState& s = f.state();
        s.Score = 5000;  // as if earlier rounds had gone well
        platform.messages.clear();
        clickCell(fillerCell());
        EXPECT_EQ(platform.lastMessage(), "Hai commesso un errore! Ne puoi commettere ancora 1");
        EXPECT_EQ(std::tuple(control<QLabel>(f, "Label3")->text(), control<QLabel>(f, "Label7")->text()), std::tuple("4.000", QString("1")));
        EXPECT_EQ(platform.sounds.back(), "explode2.WAV");

        std::pair<i32, QString> atGameOver;
        int tablesBeforeTheQuestion = -1;
        platform.whileMessageOpen = [&](const std::string& text) {
            if (text.starts_with("Hai commesso un'altro errore!"))
                atGameOver = {s.Score, control<QLabel>(f, "Label7")->text()};
            if (text == "Vuoi fare un'altra partitina?")
                tablesBeforeTheQuestion = modalWindowsSeen;
        };
        platform.answers = {answer};
        modalWindowsSeen = 0;
        clickCell(fillerCell());
        ASSERT_EQ(platform.messages.size(), 3u);
        EXPECT_EQ(platform.messages[1].text, "Hai commesso un'altro errore! mi dispiace, la partita è finita.");
        EXPECT_NE(std::find(platform.sounds.begin(), platform.sounds.end(), "perdi.WAV"), platform.sounds.end());
        EXPECT_EQ(platform.messages[2].text, "Vuoi fare un'altra partitina?");
        EXPECT_EQ(atGameOver, std::pair(4000, QString("0")));
        // The first error cost 1000 points, the last one nothing: 4000 is what the
        // table keeps, shown once the player has answered the question.
        EXPECT_EQ(std::pair(tablesBeforeTheQuestion, modalWindowsSeen), std::pair(0, 1));
        EXPECT_TRUE(readBytes(folder / "vortigo.HIS").starts_with("Brivo, 4000 \r\n"));
        platform.whileMessageOpen = nullptr;
        if (answer == Answer::Ok) {  // a new game at round 1 with a clean score, said as 0
            EXPECT_EQ(std::tuple(s.Round, s.Score, control<QLabel>(f, "Label7")->text()), std::tuple(1, 0, QString("2")));
            EXPECT_EQ(nameOf(control<QLabel>(f, "Label3")), "Punti fatti: 0");
            EXPECT_FALSE(platform.ended);
            continue;
        }
        EXPECT_TRUE(platform.ended && f.ended());
        // Nothing after the end reaches the handlers.
        const auto before = platform.messages.size();
        clickCell(fillerCell());
        f.dispatch([&] { f.Timer1_Timer(); });
        EXPECT_EQ(platform.messages.size(), before);
    }
}

TEST_F(Form1Test, TimeOutAsksOnceWhileTicksGoOn)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    s.ElapsedSeconds = 42 - 19 - 1;  // Pibo from the menu's design state, but no bonus yet
    f.Timer1_Timer();
    EXPECT_EQ(std::tuple(control<QLabel>(f, "Label2")->text(), fore(control<QLabel>(f, "Label2")), back(control<QLabel>(f, "Label2"))), std::tuple("Sec.19", qc(kBlue), qc(kYellow)));
    f.Timer1_Timer();
    EXPECT_EQ(std::tuple(fore(control<QLabel>(f, "Label2")), back(control<QLabel>(f, "Label2"))), std::tuple(qc(kYellow), qc(kBlue)));

    s.ElapsedSeconds = static_cast<i16>(42 - 1);  // next tick leaves 0
    s.Score = 700;
    closeModalWindows();
    platform.messages.clear();
    int ticksDuringMessage = 0;
    platform.whileMessageOpen = [&](const std::string&) {
        // The timer goes on while the box is open: real ticks and a direct dispatch.
        control<QTimer>(f, "Timer1")->setInterval(5);
        QTest::qWait(40);
        f.dispatch([&] { ++ticksDuringMessage; f.Timer1_Timer(); });
        f.dispatch([&] { f.MenuNuovo_Click(); });
        clickCell({1, 1});
        control<QTimer>(f, "Timer1")->setInterval(1000);
    };
    f.dispatch([&] { f.Timer1_Timer(); });
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Mi dispiace il tempo è scaduto. Vuoi fare un'altra partita?");
    EXPECT_EQ(ticksDuringMessage, 0);
    // OK: the 700 points go to the table, then one new game.
    EXPECT_EQ(modalWindowsSeen, 1);
    EXPECT_TRUE(readBytes(folder / "vortigo.HIS").starts_with("Brivo, 700 \r\n"));
    EXPECT_EQ(std::tuple(s.Round, s.RoundStatus, s.ElapsedSeconds, s.Score), std::tuple(1, kRoundInPlay, 3, 0));
}

TEST_F(Form1Test, TheClockRunsUnderModalWindows)
{
    Form1& f = openActive();
    startGame();
    const GameState& s = f.state();
    EXPECT_EQ(control<QTimer>(f, "Timer1")->interval(), 1000);
    control<QTimer>(f, "Timer1")->setInterval(10);  // ten milliseconds a second, for the test
    platform.messages.clear();
    // With no window open, every tick is a second of the round, shown as it goes.
    const int started = s.ElapsedSeconds;
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.ElapsedSeconds >= started + 3; }, 10000));
    EXPECT_EQ(control<QLabel>(f, "Label2")->text(), "Sec." + QString::number(f.game().secondsLeftNow()));

    // F4 then F8 during the round: each window stays open for some seconds of
    // the round's clock; the second one until well past the time-out.
    int counted = 0;
    bool askedWhileOpen = false;
    QString shownAtTheEnd;
    QTimer::singleShot(0, [&] {
        QWidget* about = QApplication::activeModalWidget();
        ASSERT_NE(about, nullptr);
        const int before = s.ElapsedSeconds;
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.ElapsedSeconds >= before + 5; }, 10000));
        counted = s.ElapsedSeconds - before;
        QTest::keyClick(about, Qt::Key_Escape);
    });
    QTest::keyClick(&f, Qt::Key_F4);
    EXPECT_GE(counted, 5);
    EXPECT_TRUE(platform.messages.empty());

    f.activateWindow();  // as the player's click on the window does
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    platform.answers = {Answer::Cancel};
    QTimer::singleShot(0, [&] {
        QWidget* table = QApplication::activeModalWidget();
        ASSERT_NE(table, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.game().secondsLeftNow() < 1; }, 10000));
        QTest::qWait(100);  // ten more seconds of the round's clock
        askedWhileOpen = !platform.messages.empty();
        shownAtTheEnd = f.findChild<QLabel*>(QStringLiteral("Label2"))->text();
        QTest::keyClick(table, Qt::Key_Escape);
    });
    QTest::keyClick(&f, Qt::Key_F8);
    EXPECT_FALSE(askedWhileOpen);
    EXPECT_EQ(shownAtTheEnd, "Sec.0");
    // Once the table has closed, the question comes, once; Cancel ends the
    // program at once, with no new game.
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Mi dispiace il tempo è scaduto. Vuoi fare un'altra partita?");
    EXPECT_TRUE(platform.ended && f.ended());
    EXPECT_LT(f.game().secondsLeftNow(), 1);
}

TEST_F(Form1Test, ChangingLevelRestartsAndIsSaved)
{
    Form1& f = open();
    closeModalWindows();
    GameState& s = f.state();
    // First run: Pibo is checked but has no bonus yet, choosing it counts as a change; the sound is on, and shown on.
    EXPECT_EQ(std::tuple(control<QAction>(f, "Menulev_1")->isChecked(), s.LevelTimeBonus, control<QAction>(f, "MenuSuono")->isChecked()),
              std::tuple(true, 0, true));
    f.dispatch([&] { f.Menulev_Click(1); });
    EXPECT_EQ(s.LevelTimeBonus, 60);
    EXPECT_EQ(platform.lastMessage(), "Si inizia ora una nuova partita con il livello selezionato.");
    EXPECT_EQ(readBytes(folder / "vortigo.INI"), "Livello=Principiante\r\nGiocatore1=Brivo\r\nSuono=SI\r\n");
    EXPECT_EQ(s.Round, 1);

    // With points, the notice comes first, then the table.
    s.Score = 1200;
    int tablesBeforeTheNotice = -1;
    modalWindowsSeen = 0;
    platform.whileMessageOpen = [&](const std::string&) { tablesBeforeTheNotice = modalWindowsSeen; };
    f.dispatch([&] { f.Menulev_Click(3); });
    platform.whileMessageOpen = nullptr;
    EXPECT_EQ(std::pair(tablesBeforeTheNotice, modalWindowsSeen), std::pair(0, 1));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(control<QAction>(f, QStringLiteral("Menulev_%1").arg(i))->isChecked(), i == 3);
    EXPECT_TRUE(readBytes(folder / "vortigo.INI").starts_with("Livello=Esperto\r\n"));
    EXPECT_EQ(std::tuple(s.LevelTimeBonus, s.Score, s.Round, s.RecordNewScore), std::tuple(45, 0, 1, kTrue));
    EXPECT_TRUE(readBytes(folder / "vortigo.HIS").starts_with("Brivo, 1200 \r\n"));
    // At Esperto the last word hides behind as many "?" as it has letters, for a screen reader too.
    const std::size_t length = s.WordList(3).size();
    EXPECT_EQ(control<QLabel>(f, "Label1_3")->text().toStdString(), std::string(length, '?'));
    EXPECT_EQ(nameOf(control<QLabel>(f, "Label1_3")),
              QString("Parola nascosta di %1 lettere, da trovare").arg(length));
    EXPECT_EQ(control<QLabel>(f, "Label1_2")->text().toStdString(), s.WordList(2));

    // The same level again: nothing at all.
    platform.messages.clear();
    const auto written = std::filesystem::last_write_time(folder / "vortigo.INI");
    f.dispatch([&] { f.Menulev_Click(3); });
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(std::filesystem::last_write_time(folder / "vortigo.INI"), written);
}

TEST_F(Form1Test, QuittingOffersOnlyAPositiveScore)
{
    // (A positive score written at Ctrl+F5 is what the installed game's player shows.)
    closeModalWindows();
    for (const i32 score : {0, -300, 500}) {
        if (score == 500) {  // the table cannot be written
            std::filesystem::create_directory(folder / "vortigo.HIS");
        }
        platform.ended = false;
        Form1& f = openActive();
        f.state().Score = score;
        modalWindowsSeen = 0;
        platform.messages.clear();
        QTest::keyClick(&f, Qt::Key_F5, Qt::ControlModifier);
        EXPECT_TRUE(platform.ended);
        EXPECT_EQ(modalWindowsSeen, score > 0 ? 1 : 0) << score;
        EXPECT_EQ(std::filesystem::exists(folder / "vortigo.HIS"), score > 0) << score;
        EXPECT_EQ(platform.messages.size(), score == 500 ? 1u : 0u) << score;
    }
    // Said without "the game goes on": it is ending.
    EXPECT_NE(platform.lastMessage().find("vortigo.HIS"), std::string::npos);
    EXPECT_EQ(platform.lastMessage().find("continua"), std::string::npos);
}

