// SPDX-License-Identifier: GPL-3.0-or-later
// Where the keys go for a player without a mouse: back to the ring's cell
// after the high-score window, the About window and a real message box; to
// the grid after a new dictionary; and a held Space or Enter is one press even when
// the message box it opened has the keys by the time the repeats come. Then
// the real platform on its own: its box, pointers, clock and opener.
#include "tests/app/form1_fixture.h"

#include "app/hand_cursor.h"
#include "app/qt_platform.h"

#include <QDateTime>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QWindow>

#include <ctime>
#include <regex>

#include <sys/stat.h>

using namespace vortigo;
using namespace vortigo::test;

namespace {

class Form1Focus : public Form1Test {
protected:
    /// Runs what once the next modal window is open; returns when the modal
    /// loop that opened it has ended.
    void whenModalOpens(std::function<void(QWidget*)> what)
    {
        auto* timer = new QTimer(form.get());
        QObject::connect(timer, &QTimer::timeout, timer, [timer, what] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal->isVisible()) {
                timer->stop();
                what(modal);
                timer->deleteLater();
            }
        });
        timer->start(10);
    }
};

}  // namespace

TEST_F(Form1Focus, ReturnsToTheGridAfterEveryWindow)
{
    Form1& f = openActive();
    QLineEdit* name = f.findChild<QLineEdit*>("Text1");
    key(Qt::Key_F2);
    ASSERT_TRUE(f.clientArea()->hasFocus());
    const Cell letter = letterCell(f.state(), 0, 1);
    walkTo(f, letter);

    // F8 opens the real high-score window, F4 the About window; Esc closes
    // each. The main window was disabled meanwhile (the high-score window
    // does that) or inactive; the keys come back to the ring, not to the
    // name box, where Space would have typed into the player's name.
    for (Qt::Key opener : {Qt::Key_F8, Qt::Key_F4}) {
        bool opened = false;
        whenModalOpens([&](QWidget* modal) {
            opened = true;
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        key(opener);
        EXPECT_TRUE(opened) << opener;
        QApplication::processEvents();
        EXPECT_EQ(QApplication::focusWidget(), f.clientArea()) << opener;
        EXPECT_EQ(ring(f), letter);
        key(Qt::Key_Space);  // a letter played, not a blank typed into the name
        EXPECT_EQ(std::tuple(name->text(), paintOf(letter)), std::tuple(QString("Brivo"), qc(kRed))) << opener;
        key(Qt::Key_Space);  // played again, it turns white
    }

    // Another dictionary from the chooser starts a game in it, said as such,
    // after the table that records the points; the keys go to its grid.
    closeModalWindows();
    f.state().Score = 1200;
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), control<QComboBox>(f, "Combo1"));
    key(Qt::Key_Down);
    EXPECT_EQ(control<QComboBox>(f, "Combo1")->currentText(), "English");
    EXPECT_EQ(platform.lastMessage(), "Si inizia ora una nuova partita con il nuovo dizionario selezionato.");
    const GameState& s = f.state();
    EXPECT_EQ(std::tuple(s.DictionaryIndex, s.Round, s.Score, modalWindowsSeen), std::tuple(2, 1, 0, 1));
    EXPECT_TRUE(readBytes(folder / "vortigo.HIS").starts_with("Brivo, 1200 \r\n"));
    for (int i = 0; i <= s.LastWordIndex; ++i)
        EXPECT_EQ(s.WordList(i).front(), 'E') << s.WordList(i);
    // The window comes back to the front once the table has closed.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == f.clientArea(); }));
    EXPECT_EQ(ring(f), (Cell{1, 1}));
}

TEST_F(Form1Focus, AHeldSpaceIsOnePress)
{
    // The real platform: its message box is a real modal window.
    std::filesystem::copy_file(std::filesystem::path(VORTIGO_DATA_DIR) / "vortigo.gif", folder / "vortigo.gif");
    writeBytes(folder / "vortigo.INI", "Livello=Principiante\r\nGiocatore1=Brivo\r\nSuono=NO\r\n");
    QtPlatform real(folder, folder);
    form = std::make_unique<Form1>(real, folder);
    Form1& f = *form;
    real.setMainWindow(&f);
    f.show();
    ASSERT_TRUE(f.Form_Load());
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QWindow* window = f.windowHandle();
    QTest::keyClick(window, Qt::Key_F2);
    ASSERT_EQ(f.state().Round, 1);
    ASSERT_EQ(QApplication::focusWidget(), f.clientArea());
    const Cell filler = fillerCell();
    walkTo(f, filler);

    // Space held down on the filler: its first press opens the error
    // message; the repeats, with no release between, reach the box's window.
    bool stillOpenAfterRepeats = false;
    bool stillOpenAfterRelease = false;
    QString said;
    whenModalOpens([&](QWidget* modal) {
        const QPointer<QWidget> box = modal;
        said = static_cast<QMessageBox*>(modal)->text();
        QTest::qWait(400);  // a keyboard's delay before its first repeat
        for (int n = 0; n < 3; ++n)
            QTest::keyPress(QGuiApplication::focusWindow(), Qt::Key_Space);
        QApplication::processEvents();
        stillOpenAfterRepeats = box && box->isVisible();
        QTest::keyRelease(QGuiApplication::focusWindow(), Qt::Key_Space);
        QApplication::processEvents();
        stillOpenAfterRelease = box && box->isVisible();
        // Now the keypad's Enter answers it; held, its repeats reach the
        // grid once the box has gone, and must not pick the letter again.
        if (box)
            QTest::keyPress(box->windowHandle(), Qt::Key_Enter, Qt::KeypadModifier);
    });
    QTest::keyPress(window, Qt::Key_Space);
    // (Any window the repeats would open is told and answered, and so is the next.)
    QStringList opened;
    std::function<void(QWidget*)> answer = [&](QWidget* modal) {
        const auto* box = qobject_cast<QMessageBox*>(modal);
        opened << (box ? box->text() : modal->objectName());
        whenModalOpens(answer);
        QTest::keyClick(modal, box ? Qt::Key_Return : Qt::Key_Escape);
    };
    whenModalOpens(answer);
    for (int n = 0; n < 3; ++n)
        QTest::keyPress(window, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyRelease(window, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(said, "Hai commesso un errore! Ne puoi commettere ancora 1");
    EXPECT_TRUE(stillOpenAfterRepeats);
    EXPECT_TRUE(stillOpenAfterRelease);
    EXPECT_EQ(opened.join(" | ").toStdString(), "");
    // One error, and the keys are back on the ring's cell.
    QApplication::processEvents();
    EXPECT_EQ(f.game().errorsLeft(), 1);
    EXPECT_EQ(QApplication::focusWidget(), f.clientArea());
    EXPECT_EQ(ring(f), filler);
}

// The real platform's message box: Esc is Annulla in a question and OK in a
// notice, Enter is OK. Its pointers are the shapes asked for, and its clock's
// texts for a record's address keep two digits each, before ten in the
// morning too.
TEST_F(Form1Focus, TheRealPlatformsBoxPointersAndClock)
{
    QtPlatform real(folder, folder);
    struct Case {
        Buttons buttons;
        Qt::Key key;
        Answer answer;
        QStringList shown;
    };
    for (const Case& c : {Case{Buttons::OkCancel, Qt::Key_Escape, Answer::Cancel, {"Vortigo", "Annulla", "OK"}},
                          Case{Buttons::OkCancel, Qt::Key_Return, Answer::Ok, {"Vortigo", "Annulla", "OK"}},
                          Case{Buttons::Ok, Qt::Key_Escape, Answer::Ok, {"Vortigo", "OK"}}}) {
        QStringList shown;
        whenModalOpens([&](QWidget* modal) {
            for (const QPushButton* button : modal->findChildren<QPushButton*>())
                shown << button->text();
            shown.sort();
            shown.prepend(modal->windowTitle());
            // The text alone, with no icon beside it.
            const auto* box = static_cast<QMessageBox*>(modal);
            shown << box->text() << (box->icon() == QMessageBox::NoIcon ? "" : "an icon");
            QTest::keyClick(modal, c.key);
        });
        EXPECT_EQ(real.messageBox("Vuoi davvero?", c.buttons), c.answer) << c.key;
        EXPECT_EQ(shown, c.shown + QStringList({"Vuoi davvero?", ""}));
    }

    // The pointer over the window, and over the whole screen.
    QWidget window;
    real.setMainWindow(&window);
    real.setHandCursor(handCursor(handPicture()));
    const auto screenPointer = [] { return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::BlankCursor; };
    std::vector<Qt::CursorShape> shapes;
    for (const Pointer p : {Pointer::Hourglass, Pointer::Arrow}) {
        real.setWindowPointer(p);
        shapes.push_back(window.cursor().shape());
    }
    for (const Pointer p : {Pointer::Hand, Pointer::Hourglass, Pointer::Arrow, Pointer::Default}) {
        real.setScreenPointer(p);
        shapes.push_back(screenPointer());
        if (p == Pointer::Hand) {
            // The hand points with the tip of its finger: white, under the black edge above it.
            const QImage hand = QApplication::overrideCursor()->pixmap().toImage();
            const QPoint tip = QApplication::overrideCursor()->hotSpot();
            EXPECT_EQ(std::tuple(tip, hand.size()), std::tuple(QPoint(14, 7), QSize(32, 32)));
            EXPECT_EQ(std::tuple(hand.pixel(tip), hand.pixel(tip - QPoint(0, 2)), qAlpha(hand.pixel(tip - QPoint(4, 0)))),
                      std::tuple(qRgb(255, 255, 255), qRgb(0, 0, 0), 0));
        }
    }
    EXPECT_EQ(shapes, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor, Qt::BitmapCursor,
                                                     Qt::WaitCursor, Qt::ArrowCursor, Qt::BlankCursor}));

    const QByteArray zone = qgetenv("TZ");
    const int utcHour = QDateTime::currentDateTimeUtc().time().hour();
    qputenv("TZ", "VTZ-" + QByteArray::number((27 - utcHour) % 24));  // three or four in the morning here
    tzset();
    EXPECT_TRUE(std::regex_match(real.timeText(), std::regex("0[34]:[0-5][0-9]:[0-5][0-9]"))) << real.timeText();
    EXPECT_TRUE(std::regex_match(real.dateText(), std::regex("[01][0-9]-[0-3][0-9]-20[0-9]{2}"))) << real.dateText();
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    tzset();
}

// What the real platform hands the desktop's opener: one argument each, the
// help page as an absolute file, a record's address with "#" and "%" of its
// query encoded, a mail address as it is, and a file whose folder is not
// UTF-8 as a file address. A stand-in xdg-open writes down what it gets.
TEST_F(Form1Focus, TheRealPlatformHandsEachTargetToTheOpenerWhole)
{
    const std::filesystem::path bin = folder / "bin", heard = folder / "heard";
    std::filesystem::create_directory(bin);
    writeBytes(bin / "xdg-open", "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >>'" + heard.string() + "'\n");
    std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.string()) + ":" + path);
    const std::filesystem::path odd = folder / "cart\xE8";  // Latin-1, not UTF-8
    std::filesystem::create_directory(odd);
    const std::filesystem::path was = std::filesystem::current_path();
    QtPlatform real(folder, folder);
    std::filesystem::current_path(folder);
    const std::string commands[] = {"start vortigo.htm", "start http://h.example/vortigo.asp?Nome=a#b%41 c&x=1",
                                    "start mailto:autore@vortigo.example", "start " + (odd / "vortigo.htm").string()};
    for (const std::string& command : commands) {
        const std::size_t before = readBytes(heard).size();
        real.runCommand(command, 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return readBytes(heard).size() > before; })) << command;
    }
    std::filesystem::current_path(was);
    qputenv("PATH", path);
    EXPECT_EQ(readBytes(heard), "1|" + (folder / "vortigo.htm").string() +
                                    "\n1|http://h.example/vortigo.asp?Nome=a%23b%2541 c&x=1\n"
                                    "1|mailto:autore@vortigo.example\n1|file://" + folder.string() +
                                    "/cart%E8/vortigo.htm\n");
}

// The real platform loads the sound module once, at the first sound, and
// hands it a sound beside the game only when that is a regular file: a pipe
// in its place would block the player for good. Without the module the
// game plays on in silence.
TEST_F(Form1Focus, TheRealPlatformPlaysOnlyRegularFilesBesideTheGame)
{
    const std::filesystem::path data = folder / "dati", heard = folder / "heard";
    std::filesystem::create_directory(data);
    writeBytes(data / "VINCI.WAV", "RIFF");
    ASSERT_EQ(::mkfifo((data / "PERDI.WAV").c_str(), 0644), 0);
    std::filesystem::create_directory(data / "SND0002.WAV");
    qputenv("VORTIGO_SOUNDS_HEARD", QByteArray::fromStdString(heard.string()));
    {
        QtPlatform real(data, VORTIGO_SOUND_RECORDER_DIR);
        for (const char* sound : {"VINCI.WAV", "PERDI.WAV", "SND0002.WAV", "COLLAPSE.WAV", "VINCI.WAV"})
            real.playSound(sound);
        QtPlatform silent(data, folder / "nessun-modulo");
        silent.playSound("VINCI.WAV");
        silent.playSound("VINCI.WAV");
    }
    qunsetenv("VORTIGO_SOUNDS_HEARD");
    EXPECT_EQ(readBytes(heard), (data / "VINCI.WAV").string() + "\n" + (data / "VINCI.WAV").string() + "\n");
    EXPECT_EQ(qtWarnings, 1);  // "no sound", once
    qtWarnings = 0;
}

// The real sound module, heard: a private sound server whose only output is
// a null one stands in for the sound card, and what reaches that output is
// recorded. The first sound of a session is heard, not lost while it loads.
TEST_F(Form1Focus, TheRealSoundModuleIsHeardFromTheFirstSound)
{
    const TestFolder runtime("vortigo-sound");
    const QString socket = qtFileName(runtime.path() / "suono.sock");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", qtFileName(runtime.path()));
    env.insert("HOME", qtFileName(runtime.path()));
    env.insert("PULSE_SERVER", "unix:" + socket);
    QProcess server, recorder;
    server.setProcessEnvironment(env);
    recorder.setProcessEnvironment(env);
    server.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                                "--load=module-null-sink sink_name=vortigo"});
    ASSERT_TRUE(server.waitForStarted()) << "pulseaudio, installed with the tests, did not start";
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(socket) || server.state() == QProcess::NotRunning; }, 30000) &&
                server.state() == QProcess::Running) << server.readAllStandardError().toStdString();
    recorder.start("parec", {"-d", "vortigo.monitor", "--raw", "--format=s16le", "--channels=1", "--rate=22050"});
    ASSERT_TRUE(recorder.waitForStarted());
    QTest::qWait(500);  // the recorder connects
    qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
    {
        QtPlatform real(VORTIGO_DATA_DIR, VORTIGO_SOUND_MODULE_DIR);
        real.playSound("VINCI.WAV");
        QTest::qWait(2000);  // it plays
    }
    qunsetenv("PULSE_SERVER");
    recorder.terminate();
    recorder.waitForFinished();
    server.terminate();
    server.waitForFinished();
    const QByteArray heard = recorder.readAllStandardOutput();
    const auto loud = std::count_if(heard.begin(), heard.end(), [](char byte) { return byte != 0; });
    EXPECT_GT(loud, 1000) << heard.size() << " bytes recorded\n" << server.readAllStandardError().toStdString();
}
