// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, start-up, settings, score display, gestures and shortcuts.
#include "tests/app/form1_fixture.h"

#include "app/qt_platform.h"
#include "app/title_picture.h"
#include "tools/assets/gif_encoder.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <regex>
#include <sstream>

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, SettingsAreSavedOrTheFailureIsTold)
{
    std::ofstream(folder / "vortigo.INI", std::ios::binary) << "Livello=Medio\r\nGiocatore1=Niccol\xf2 Massimo  \r\nSuono=NO\r\n";
    Form1& f = openActive();
    EXPECT_EQ(std::tuple(control<QAction>(f, "Menulev_1")->isChecked(), control<QAction>(f, "Menulev_2")->isChecked(), f.state().LevelTimeBonus, control<QAction>(f, "MenuSuono")->isChecked()),
              std::tuple(false, true, 52, false));
    // A saved name longer than the ten letters the box lets a player type stays whole.
    EXPECT_EQ(control<QLineEdit>(f, "Text1")->text(), QString::fromUtf8("Niccolò Massimo"));

    // The sound switch plays only when turned on, and is saved, in Latin-1 with CR LF lines.
    f.MenuSuono_Click();
    EXPECT_EQ(platform.sounds, (std::vector<std::string>{"SOUND2.wav"}));
    EXPECT_EQ(readBytes(folder / "vortigo.INI"), "Livello=Medio\r\nGiocatore1=Niccol\xf2 Massimo\r\nSuono=SI\r\n");
    f.MenuSuono_Click();
    EXPECT_EQ(platform.sounds.size(), 1u);
    EXPECT_TRUE(readBytes(folder / "vortigo.INI").ends_with("Suono=NO\r\n"));

    // A read-only settings file is kept, and named as such, once: it used to be blamed on the folder.
    const std::string before = readBytes(folder / "vortigo.INI");
    std::filesystem::permissions(folder / "vortigo.INI", std::filesystem::perms::owner_read);
    platform.messages.clear();
    control<QLineEdit>(f, "Text1")->setFocus();
    QTest::keyClicks(control<QLineEdit>(f, "Text1"), "x");
    key(Qt::Key_Tab);  // the focus moves on: the settings are saved
    f.MenuSuono_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "Non riesco a salvare le impostazioni nel file \"vortigo.INI\": il file è in sola lettura.\n"
              "Il gioco continua, ma livello, nome e suono non verranno ricordati.");
    EXPECT_EQ(readBytes(folder / "vortigo.INI"), before);
    EXPECT_TRUE(control<QAction>(f, "MenuSuono")->isChecked() && !platform.ended);
}

// A folder named in Latin-1 bytes used to lose its name on the way to the
// files: the title picture was "damaged" and the dictionary "missing". The
// picture comes through our own GIF reader, and shows just as Qt reads it.
TEST_F(Form1Test, PlaysFromAFolderNamedInLatin1)
{
    const std::filesystem::path latin1 = folder / "gioco\xE8";
    std::filesystem::create_directory(latin1);
    for (const char* file : {"SLESSICO.1", "SLESSICO.2"})
        std::filesystem::rename(folder / file, latin1 / file);
    for (const char* file : {"vortigo.gif", "VINCI.WAV"})
        std::filesystem::copy_file(std::filesystem::path(VORTIGO_DATA_DIR) / file, latin1 / file);
    std::ofstream(latin1 / "vortigo.INI", std::ios::binary) << "Livello=Esperto\r\nGiocatore1=Lia\r\n";
    folder = latin1;
    Form1& f = openActive();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(platform.messages.empty()) << platform.messages.front().text;
    const std::string gif = readBytes(folder / "vortigo.gif");
    QImage qt;
    ASSERT_TRUE(qt.loadFromData(QByteArray(gif.data(), static_cast<qsizetype>(gif.size())), "GIF"));
    EXPECT_EQ(control<QLabel>(f, "Picture1")->grab().toImage().convertToFormat(QImage::Format_ARGB32), qt.convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(control<QAction>(f, "Menulev_3")->isChecked());
    EXPECT_EQ(std::filesystem::current_path(), folder);

    control<QLineEdit>(f, "Text1")->setFocus();
    QTest::keyClicks(control<QLineEdit>(f, "Text1"), "na");
    key(Qt::Key_Tab);
    EXPECT_EQ(readBytes(folder / "vortigo.INI"), "Livello=Esperto\r\nGiocatore1=Liana\r\nSuono=SI\r\n");
    EXPECT_TRUE(platform.messages.empty());
    // Sounds are opened by Qt, which spells names in Unicode: it still finds them.
    EXPECT_TRUE(QFile::exists(qtFileName(folder / "VINCI.WAV")));
}

// Other pictures a painter might save as vortigo.gif read as Qt's own reader
// reads them: interlaced with a transparent colour, and a smaller one with a
// colour table of its own set off in its screen (the screen around it, which
// each reader fills in its own way, aside).
TEST(TitlePicture, ReadsEveryLayoutAsQtDoes)
{
    const TestFolder folder;
    const auto word = [](int n) { return std::string{char(n & 0xFF), char(n >> 8)}; };
    const std::string red_green_blue_white("\xFF\0\0\0\xFF\0\0\0\xFF\xFF\xFF\xFF", 12);
    const std::string four_greys("\x10\x10\x10\x50\x50\x50\x90\x90\x90\xD0\xD0\xD0", 12);
    struct Case { int left, top, width, height; bool interlaced, transparent, local; };
    for (const Case& c : {Case{0, 0, 7, 12, true, true, false}, Case{2, 3, 4, 5, false, false, true}}) {
        std::vector<std::uint8_t> indexes;
        for (int y = 0; y < c.height; ++y) {
            // Interlaced rows are stored every 8th from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
            const int row = !c.interlaced ? y : y < 2 ? y * 8 : y < 3 ? 4 : y < 6 ? 2 + (y - 3) * 4 : 1 + (y - 6) * 2;
            for (int x = 0; x < c.width; ++x)
                indexes.push_back(static_cast<std::uint8_t>(x < 3 ? row % 4 : (x * row + x) % 4));
        }
        const std::vector<std::uint8_t> codes = assets::lzwCompress(indexes, 2);
        std::string gif = "GIF89a" + word(7) + word(12) + "\x81\x02" + std::string(1, '\0') + red_green_blue_white;
        if (c.transparent)
            gif += std::string("\x21\xF9\x04\x01\0\0\x01\0", 8);
        gif += "\x2C" + word(c.left) + word(c.top) + word(c.width) + word(c.height);
        gif += char((c.local ? 0x81 : 0) | (c.interlaced ? 0x40 : 0)) + (c.local ? four_greys : "") + "\x02";
        for (std::size_t at = 0; at < codes.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
            gif += char(n) + std::string(codes.begin() + static_cast<std::ptrdiff_t>(at), codes.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        gif += std::string("\0\x3B", 2);
        writeBytes(folder.path() / "vortigo.gif", gif);
        const QImage qt(qtFileName(folder.path() / "vortigo.gif"), "GIF");
        ASSERT_FALSE(qt.isNull());
        const QRect frame(c.left, c.top, c.width, c.height);
        EXPECT_EQ(readTitlePicture(folder.path() / "vortigo.gif").convertToFormat(QImage::Format_ARGB32).copy(frame),
                  qt.convertToFormat(QImage::Format_ARGB32).copy(frame)) << c.left;
    }
}

TEST_F(Form1Test, ScoreCaptionAndColoursFollowSignAndLocale)
{
    Form1& f = open();
    struct Case { const char* separator; i32 amount; const char* caption; int text, back; };
    for (const Case& c : {Case{".", -1000, "-1.000", kWhite, kRed}, Case{",", 1500, "1,500", kBlack, kLightGreen},
                          Case{".", 0, "", kBlack, kYellow}}) {
        platform.separator = c.separator;
        f.ShowScore(c.amount);
        EXPECT_EQ(control<QLabel>(f, "Label3")->text(), c.caption);
        EXPECT_EQ(std::tuple(fore(control<QLabel>(f, "Label3")), back(control<QLabel>(f, "Label3"))), std::tuple(qc(c.text), qc(c.back)));
        // The reset shows nothing on yellow and clears the score.
        f.ShowScore(-9999);
        EXPECT_EQ(std::tuple(control<QLabel>(f, "Label3")->text(), back(control<QLabel>(f, "Label3")), f.state().Score), std::tuple("", qc(kYellow), 0));
    }
}

TEST_F(Form1Test, HiddenGesturesNeedShiftAndCtrl)
{
    Form1& f = open();
    startGame();
    ASSERT_TRUE(control<QTimer>(f, "Timer1")->isActive());
    // Real presses on the labels; the timer is looked at after every one, so
    // two wrong toggles cannot cancel out.
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    const std::pair<Qt::MouseButton, Qt::KeyboardModifiers> wrong[] = {
        {Qt::RightButton, Qt::ControlModifier}, {Qt::RightButton, Qt::ShiftModifier},
        {Qt::RightButton, shiftCtrl | Qt::AltModifier}, {Qt::RightButton, {}}, {Qt::LeftButton, shiftCtrl}};
    for (const auto& [button, keys] : wrong) {
        QTest::mouseClick(control<QLabel>(f, "Label2"), button, keys);
        EXPECT_TRUE(control<QTimer>(f, "Timer1")->isActive()) << button << " " << keys.toInt();
    }
    QTest::mouseClick(control<QLabel>(f, "Label2"), Qt::RightButton, shiftCtrl);
    EXPECT_FALSE(control<QTimer>(f, "Timer1")->isActive());
    QTest::mouseClick(control<QLabel>(f, "Label2"), Qt::RightButton, shiftCtrl);
    EXPECT_TRUE(control<QTimer>(f, "Timer1")->isActive());

    clickCell(fillerCell());  // one error: one left
    ASSERT_EQ(control<QLabel>(f, "Label7")->text(), "1");
    for (const auto& [button, keys] : wrong) {
        QTest::mouseClick(control<QLabel>(f, "Label7"), button, keys);
        EXPECT_EQ(control<QLabel>(f, "Label7")->text(), "1") << button << " " << keys.toInt();
    }
    QTest::mouseClick(control<QLabel>(f, "Label7"), Qt::RightButton, shiftCtrl);
    EXPECT_EQ(control<QLabel>(f, "Label7")->text(), "2");
    QTest::mouseClick(control<QLabel>(f, "Label7"), Qt::RightButton, shiftCtrl);
    EXPECT_EQ(control<QLabel>(f, "Label7")->text(), "3");
}

TEST_F(Form1Test, ShortcutsWorkWhereverTheFocusIs)
{
    Form1& f = openActive();
    closeModalWindows();
    control<QLineEdit>(f, "Text1")->setFocus();
    key(Qt::Key_F2);
    EXPECT_EQ(f.state().Round, 1);
    control<QLineEdit>(f, "Text1")->setFocus();
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(control<QAction>(f, "MenuSuono")->isChecked());
    // F1: the help page beside the program, even from a current folder that is gone.
    std::filesystem::create_directory(folder / "sparita");
    std::filesystem::current_path(folder / "sparita");
    std::filesystem::remove(folder / "sparita");
    key(Qt::Key_F1);
    EXPECT_EQ(std::filesystem::current_path(), folder);
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(std::pair(platform.commands[0].line, platform.commands[0].style), std::pair(std::string("start vortigo.htm"), 2));
    // Ctrl+F9 writes to the author; Ctrl+F11 opens the same home page as the link; each minimised.
    key(Qt::Key_F9, Qt::ControlModifier);
    key(Qt::Key_F11, Qt::ControlModifier);
    QTest::keyClick(control<QLabel>(f, "Label12"), Qt::Key_Space);
    // The link opens on a left click, as links do; the other buttons leave it be.
    QTest::mouseClick(control<QLabel>(f, "Label12"), Qt::RightButton);
    QTest::mouseClick(control<QLabel>(f, "Label12"), Qt::LeftButton);
    ASSERT_EQ(platform.commands.size(), 5u);
    EXPECT_EQ(platform.commands[1].line, "start mailto:autore@vortigo.example");
    EXPECT_EQ(platform.commands[2].line, platform.commands[3].line);
    EXPECT_EQ(platform.commands[4].line, platform.commands[3].line);
    EXPECT_EQ(std::tuple(platform.commands[1].style, platform.commands[2].style), std::tuple(2, 2));
    control<QComboBox>(f, "Combo1")->setFocus();
    key(Qt::Key_F4);  // the About window, not the chooser's list
    EXPECT_EQ(modalWindowsSeen, 1);
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.state().Score = 700;  // a game under way, with points
    QTest::keyClick(control<QComboBox>(f, "Combo1"), Qt::Key_F8);
    EXPECT_EQ(modalWindowsSeen, 2);
    // Only a look: the game under way is not entered in the table.
    EXPECT_EQ(readBytes(folder / "vortigo.HIS").find("700"), std::string::npos);
    EXPECT_TRUE(f.isEnabled());
}

// The help page's table of keys names each key the menus answer to, under
// its menu, and no other; the manual page names only keys of the menus.
TEST_F(Form1Test, TheHelpPageAndTheManualNameTheMenusKeys)
{
    Form1& f = open();
    std::map<std::string, std::string> menuOfKey;
    const std::function<void(const QMenu*, const QString&)> walk = [&](const QMenu* menu, const QString& top) {
        for (const QAction* action : menu->actions()) {
            if (action->menu())
                walk(action->menu(), top);
            else if (!action->shortcut().isEmpty())
                menuOfKey[action->shortcut().toString().toStdString()] = top.toStdString();
        }
    };
    for (const QAction* menu : f.menuBar()->actions())
        walk(menu->menu(), QString(menu->text()).remove('&'));
    ASSERT_EQ(menuOfKey.size(), 8u);

    std::map<std::string, std::string> inHelp;
    const std::string page = readBytes(std::filesystem::path(VORTIGO_DATA_DIR) / "vortigo.htm");
    static const std::regex row("<tr><td><kbd>([^<]+)</kbd></td><td>[^<]*</td><td>([^<]+)</td></tr>");
    for (std::sregex_iterator it(page.begin(), page.end(), row), end; it != end; ++it)
        inHelp[(*it)[1]] = (*it)[2];
    EXPECT_EQ(inHelp, menuOfKey);

    std::istringstream manual(readBytes(VORTIGO_MANUAL_PAGE));
    static const std::regex key("\\.B ((Ctrl\\+)?F[0-9]+|Ctrl\\+[A-Z])");
    int named = 0;
    for (std::string line; std::getline(manual, line);) {
        if (std::smatch found; std::regex_match(line, found, key)) {
            ++named;
            EXPECT_TRUE(menuOfKey.contains(found[1])) << line;
        }
    }
    EXPECT_GE(named, 5);
}
