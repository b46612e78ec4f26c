// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, start-up, settings, score display and gestures.
#include "tests/app/form1_fixture.h"

#include "core/palette.h"
#include "app/qt_platform.h"
#include "info/links.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, MenuTreeHasEveryCaptionShortcutAndCheckMark)
{
    Form1& f = open();
    ASSERT_TRUE(loaded);
    QStringList top;
    for (const QAction* a : f.menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, QStringList({"&File", "&Opzioni", "&?"}));

    struct Item { QAction* action; const char* caption; QKeySequence key; };
    const Item items[] = {
        {f.MenuNuovo, "&Nuova partita", QKeySequence(Qt::Key_F2)},
        {f.MenuHi, "&Tabella records ...", QKeySequence(Qt::Key_F8)},
        {f.menuEsci, "&Esci", QKeySequence(Qt::CTRL | Qt::Key_F5)},
        {f.Menulev[0], "&Allenamento", {}}, {f.Menulev[1], "&Pibo (Principiante) ", {}},  // the blank belongs to the caption
        {f.Menulev[2], "&Medio", {}}, {f.Menulev[3], "&Esperto", {}},
        {f.MenuSuono, "&Suono", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {f.MenuAiuto, "&Aiuto", QKeySequence(Qt::Key_F1)},
        {f.MenuMail, "&Manda una E-Mail all'autore...", QKeySequence(Qt::CTRL | Qt::Key_F9)},
        {f.menuPHP, "&Visita Home Page autore ...", QKeySequence(Qt::CTRL | Qt::Key_F11)},
        {f.MenuInformazioni, "&Informazioni su Vortigo ...", QKeySequence(Qt::Key_F4)},
    };
    for (const Item& item : items) {
        EXPECT_EQ(item.action->text(), QString::fromUtf8(item.caption));
        EXPECT_EQ(item.action->shortcut(), item.key) << item.caption;
    }
    EXPECT_EQ(f.MenuLivello->title(), QString::fromUtf8("&Livello di difficoltà"));
    EXPECT_TRUE(f.MenuMeno->isSeparator());
    EXPECT_TRUE(f.Meno2->isSeparator());
    EXPECT_EQ(f.MenuFile->actions().indexOf(f.MenuMeno), 2);
    // Design-time marks: Pibo and sound.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Menulev[static_cast<std::size_t>(i)]->isChecked(), i == 1);
    EXPECT_TRUE(f.MenuSuono->isChecked());
}

TEST_F(Form1Test, StripCaptionsAndColoursAreAsDesigned)
{
    Form1& f = open();
    EXPECT_EQ(f.windowTitle(), "Vortigo");
    EXPECT_EQ(f.Frame3d1->title(), "Parole da trovare");
    const std::pair<QLabel*, const char*> captions[] = {{f.Label11, "Dizionario:"}, {f.Label9, "Manche:"},
        {f.Label4, "Tempo:"}, {f.Label6, "Errori ammessi:"}, {f.Label5, "Punti:"}, {f.Label10, "Giocatore:"},
        {f.Label12, kHomePageCaption}};
    for (const auto& [label, caption] : captions)
        EXPECT_EQ(label->text(), QString::fromLatin1(caption));
    const std::pair<QWidget*, QColor> backs[] = {{f.Picture2, QColor(255, 255, 128)}, {f.Label11, QColor(255, 224, 192)},
        {f.Label8, QColor(128, 255, 255)}, {f.Label2, QColor(192, 192, 255)}};
    for (const auto& [widget, colour] : backs)
        EXPECT_EQ(back(widget), colour) << widget->objectName().toStdString();
    const std::pair<QWidget*, const char*> tips[] = {{f.Picture1, "Clicca per nuova partita ..."},
        {f.Combo1, "Cambia il dizionario Ita/Eng/LATINO"}, {f.Text1, "Immetti il tuo nome"},
        {f.Command3d1, "Nuova partita ..."}, {f.Label2, "Tempo rimasto"}, {f.Label3, "Punti fatti"},
        {f.Label7, "Errori ammissibili"}, {f.Label8, "Manche in corso"}, {f.Label12, "Visita il sito dell'autore ..."},
        {f.Label1[0], "Lista delle parole da trovare"}};
    for (const auto& [widget, tip] : tips)
        EXPECT_EQ(widget->toolTip(), QString::fromUtf8(tip));
    EXPECT_EQ(fore(f.Label12), QColor(0, 0, 192));
    // The palette colours the window paints with, channel by channel.
    for (const auto& [index, colour] : {std::pair{kBlue, QColor(0, 0, 128)}, {kRed, QColor(128, 0, 0)},
                                        {kLightGreen, QColor(0, 255, 0)}, {kYellow, QColor(255, 255, 0)}})
        EXPECT_EQ(paletteColour(index), colour) << index;
    EXPECT_TRUE(f.Label12->font().underline());
    EXPECT_EQ(f.Text1->maxLength(), 10);
    EXPECT_EQ(f.Picture3->pixmap().size(), QSize(32, 32));
    EXPECT_FALSE(f.windowIcon().isNull() || f.Command3d1->icon().isNull());
    EXPECT_FALSE(f.Picture3->isVisible());
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_EQ(f.Timer1->interval(), 1000);
}

TEST_F(Form1Test, FirstRunStartsAtPiboWithoutItsBonusAndItalianChosen)
{
    Form1& f = open();
    ASSERT_TRUE(loaded);
    const GameState& s = f.state();
    EXPECT_EQ(std::tuple(s.DictionaryIndex, s.LevelTimeBonus, s.RoundStatus, s.Round), std::tuple(1, 0, 0, 0));
    EXPECT_EQ(f.Text1->text(), "Brivo");
    EXPECT_EQ(f.Combo1->count(), 3);
    EXPECT_EQ(f.Combo1->currentText(), "Italiano");
    EXPECT_EQ(f.Combo1->itemText(1), "English");
    EXPECT_EQ(f.Combo1->itemText(2), "Latino");
    // No title picture in this folder: the player is told, the game goes on.
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].text.find("vortigo.gif"), std::string::npos);
    EXPECT_FALSE(platform.ended);
    EXPECT_EQ(std::filesystem::current_path(), folder);
}

TEST_F(Form1Test, SettingsFileChoosesLevelNameAndSound)
{
    std::ofstream(folder / "vortigo.INI", std::ios::binary) << "Livello=Medio\r\nGiocatore1=Niccol\xf2  \r\nSuono=NO\r\n";
    Form1& f = open();
    EXPECT_TRUE(f.Menulev[2]->isChecked());
    EXPECT_FALSE(f.Menulev[1]->isChecked());
    EXPECT_EQ(f.state().LevelTimeBonus, 52);
    EXPECT_EQ(f.Text1->text(), QString::fromUtf8("Niccolò"));
    EXPECT_FALSE(f.MenuSuono->isChecked());

    // Leaving the name box writes the file back, in Latin-1 with CR LF lines.
    f.Text1->setText(QStringLiteral("Zoë"));
    f.Text1_LostFocus();
    EXPECT_EQ(readFile(folder / "vortigo.INI"), "Livello=Medio\r\nGiocatore1=Zo\xeb\r\nSuono=NO\r\n");
}

TEST_F(Form1Test, AMissingDictionaryEndsTheProgramBeforeTheWindowIsUsed)
{
    std::filesystem::remove(folder / "SLESSICO.1");
    open();
    EXPECT_FALSE(loaded);
    EXPECT_EQ(platform.lastMessage(), "Errore fatale! non trovato file di vocabolario: SLESSICO.1");
    EXPECT_TRUE(platform.ended && form->ended());
}

TEST_F(Form1Test, SoundSwitchPlaysOnlyWhenTurnedOnIsSavedAndAnUnwritableFileIsToldOnce)
{
    Form1& f = open();
    platform.messages.clear();
    f.MenuSuono_Click();
    EXPECT_FALSE(f.MenuSuono->isChecked());
    EXPECT_TRUE(platform.sounds.empty());
    EXPECT_TRUE(readFile(folder / "vortigo.INI").ends_with("Suono=NO\r\n"));
    f.MenuSuono_Click();
    EXPECT_EQ(platform.sounds, (std::vector<std::string>{"SOUND2.wav"}));

    // A settings file that cannot be written is reported once, and play goes on.
    std::filesystem::remove(folder / "vortigo.INI");
    std::filesystem::create_directory(folder / "vortigo.INI");
    f.MenuSuono_Click();
    f.MenuSuono_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].text.find("vortigo.INI"), std::string::npos);
    EXPECT_TRUE(f.MenuSuono->isChecked());
    EXPECT_FALSE(platform.ended);
}

// A read-only settings file used to be blamed on the folder.
TEST_F(Form1Test, LeavingTheNameBoxOverAReadOnlySettingsFileKeepsItAndSaysWhy)
{
    const std::string before = "Livello=Medio\r\nGiocatore1=Lia\r\nSuono=SI\r\n";
    std::ofstream(folder / "vortigo.INI", std::ios::binary) << before;
    std::filesystem::permissions(folder / "vortigo.INI", std::filesystem::perms::owner_read);
    Form1& f = open();
    platform.messages.clear();
    QApplication::setActiveWindow(&f);
    f.Text1->setFocus();
    QTest::keyClicks(f.Text1, "x");
    QTest::keyClick(f.Text1, Qt::Key_Tab);  // the focus moves on: the settings are saved
    ASSERT_FALSE(f.Text1->hasFocus());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "Non riesco a salvare le impostazioni nel file \"vortigo.INI\": il file è in sola lettura.\n"
              "Il gioco continua, ma livello, nome e suono non verranno ricordati.");
    EXPECT_EQ(readFile(folder / "vortigo.INI"), before);
    EXPECT_EQ(std::filesystem::status(folder / "vortigo.INI").permissions(), std::filesystem::perms::owner_read);
}

// A folder named in Latin-1 bytes used to lose its name on the way to the
// files: the title picture was "damaged" and the dictionary "missing".
TEST_F(Form1Test, AFolderWhoseNameIsNotUtf8StillHoldsEveryFileOfTheGame)
{
    const std::filesystem::path latin1 = folder.parent_path() / (folder.filename().native() + "-gioco\xE8");
    std::filesystem::rename(folder, latin1);
    folder = latin1;
    std::filesystem::copy_file(std::filesystem::path(VORTIGO_DATA_DIR) / "vortigo.gif", folder / "vortigo.gif");
    std::filesystem::copy_file(std::filesystem::path(VORTIGO_DATA_DIR) / "VINCI.WAV", folder / "VINCI.WAV");
    std::ofstream(folder / "vortigo.INI", std::ios::binary) << "Livello=Esperto\r\nGiocatore1=Lia\r\n";
    Form1& f = open();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(platform.messages.empty()) << platform.messages.front().text;
    EXPECT_FALSE(f.titlePicture().isNull());
    EXPECT_TRUE(f.Menulev[3]->isChecked());
    EXPECT_EQ(f.Text1->text(), "Lia");
    EXPECT_EQ(std::filesystem::current_path(), folder);

    QApplication::setActiveWindow(&f);
    f.Text1->setFocus();
    QTest::keyClicks(f.Text1, "na");
    QTest::keyClick(f.Text1, Qt::Key_Tab);
    EXPECT_EQ(readFile(folder / "vortigo.INI"), "Livello=Esperto\r\nGiocatore1=Liana\r\nSuono=SI\r\n");
    EXPECT_TRUE(platform.messages.empty());
    // Sounds are opened by Qt, which spells names in Unicode: it still finds them.
    EXPECT_TRUE(QFile::exists(qtFileName(folder / "VINCI.WAV")));
}

TEST_F(Form1Test, ScoreCaptionAndColoursFollowSignAndLocale)
{
    Form1& f = open();
    struct Case { const char* separator; i32 amount; const char* caption; int text, back; };
    for (const Case& c : {Case{".", -1000, "-1.000", kWhite, kRed}, Case{",", 1500, "1,500", kBlack, kLightGreen},
                          Case{".", 0, "", kBlack, kYellow}}) {
        platform.separator = c.separator;
        f.ShowScore(c.amount);
        EXPECT_EQ(f.Label3->text(), c.caption);
        EXPECT_EQ(std::pair(fore(f.Label3), back(f.Label3)), std::pair(qc(c.text), qc(c.back)));
        // The reset shows nothing on yellow and clears the score.
        f.ShowScore(-9999);
        EXPECT_EQ(std::tuple(f.Label3->text(), back(f.Label3), f.state().Score), std::tuple("", qc(kYellow), 0));
    }
}

TEST_F(Form1Test, HiddenGesturesNeedTheRightButtonWithExactlyShiftAndCtrl)
{
    Form1& f = open();
    startGame();
    ASSERT_TRUE(f.Timer1->isActive());
    // Real presses on the labels; the timer is looked at after every one, so
    // two wrong toggles cannot cancel out.
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    const std::pair<Qt::MouseButton, Qt::KeyboardModifiers> wrong[] = {
        {Qt::RightButton, Qt::ControlModifier}, {Qt::RightButton, Qt::ShiftModifier},
        {Qt::RightButton, shiftCtrl | Qt::AltModifier}, {Qt::RightButton, {}}, {Qt::LeftButton, shiftCtrl}};
    for (const auto& [button, keys] : wrong) {
        QTest::mouseClick(f.Label2, button, keys);
        EXPECT_TRUE(f.Timer1->isActive()) << button << " " << keys.toInt();
    }
    QTest::mouseClick(f.Label2, Qt::RightButton, shiftCtrl);
    EXPECT_FALSE(f.Timer1->isActive());
    QTest::mouseClick(f.Label2, Qt::RightButton, shiftCtrl);
    EXPECT_TRUE(f.Timer1->isActive());

    clickCell(fillerCell());  // one error: one left
    ASSERT_EQ(f.Label7->text(), "1");
    for (const auto& [button, keys] : wrong) {
        QTest::mouseClick(f.Label7, button, keys);
        EXPECT_EQ(f.Label7->text(), "1") << button << " " << keys.toInt();
    }
    QTest::mouseClick(f.Label7, Qt::RightButton, shiftCtrl);
    EXPECT_EQ(f.Label7->text(), "2");
    QTest::mouseClick(f.Label7, Qt::RightButton, shiftCtrl);
    EXPECT_EQ(f.Label7->text(), "3");
}

TEST_F(Form1Test, GridFitsTheFreeAreaAsInTheWorkedExamples)
{
    Form1& f = open(680, 620);
    ASSERT_EQ(f.clientArea()->width(), 680);
    ASSERT_EQ(f.clientArea()->height(), 620);
    startGame();
    GameState& s = f.state();
    EXPECT_EQ(std::tuple(s.CellSize, s.MarginX, s.MarginY), std::tuple(79, 8, 98));
    // The frame is docked on the right, from below the strip to the bottom.
    EXPECT_EQ(std::pair(f.Frame3d1->x(), f.Frame3d1->height()), std::pair(680 - 111, 620 - 49));
    // The backing image holds the grid: white cells inside a red frame.
    const QImage& img = f.surface().image();
    EXPECT_EQ(img.pixelColor(s.MarginX - 3, s.MarginY + 10), qc(kRed));
    EXPECT_EQ(img.pixelColor(s.MarginX - 1, s.MarginY + 10), qc(kWhite));
}

TEST_F(Form1Test, PointerIsAHandOverTheLinksAndAnArrowElsewhere)
{
    Form1& f = open();
    platform.screenPointers.clear();
    for (auto move : {&Form1::Picture1_MouseMove, &Form1::Label12_MouseMove, &Form1::Form_MouseMove,
                      &Form1::Label2_MouseMove, &Form1::Label4_MouseMove, &Form1::Picture2_MouseMove})
        (f.*move)();
    EXPECT_EQ(platform.screenPointers, (std::vector<Pointer>{Pointer::Hand, Pointer::Hand, Pointer::Arrow,
                                                             Pointer::Arrow, Pointer::Arrow, Pointer::Arrow}));
    f.Label12_Click();
    f.menuPHP_Click();
    ASSERT_EQ(platform.commands.size(), 2u);
    EXPECT_EQ(platform.commands[0].line, platform.commands[1].line);
    EXPECT_EQ(platform.commands[0].style, 2);
}

TEST_F(Form1Test, ShortcutsWorkWhereverTheFocusIs)
{
    Form1& f = open();
    closeModalWindows();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Text1->setFocus();
    QTest::keyClick(f.Text1, Qt::Key_F2);
    EXPECT_EQ(f.state().Round, 1);
    QTest::keyClick(f.Text1, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(f.MenuSuono->isChecked());
    f.Combo1->setFocus();
    QTest::keyClick(f.Combo1, Qt::Key_F4);  // the About window, not the chooser's list
    EXPECT_EQ(modalWindowsSeen, 1);
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(f.Combo1, Qt::Key_F8);
    EXPECT_EQ(modalWindowsSeen, 2);
    EXPECT_TRUE(f.isEnabled());
}
