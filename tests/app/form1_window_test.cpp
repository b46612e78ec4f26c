// The main window's controls, start-up, settings, score display and gestures.
#include "tests/app/form1_fixture.h"

#include "core/palette.h"
#include "info/links.h"

#include <QAction>
#include <QComboBox>
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
    const QList<QAction*> top = f.menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "&Opzioni");
    EXPECT_EQ(top[2]->text(), "&?");

    struct Item {
        QAction* action;
        const char* caption;
        QKeySequence key;
    };
    const Item items[] = {
        {f.MenuNuovo, "&Nuova partita", QKeySequence(Qt::Key_F2)},
        {f.MenuHi, "&Tabella records ...", QKeySequence(Qt::Key_F8)},
        {f.menuEsci, "&Esci", QKeySequence(Qt::CTRL | Qt::Key_F5)},
        {f.Menulev[0], "&Allenamento", {}},
        {f.Menulev[1], "&Pibo (Principiante) ", {}},
        {f.Menulev[2], "&Medio", {}},
        {f.Menulev[3], "&Esperto", {}},
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
    EXPECT_TRUE(f.Menulev[1]->isChecked());
    EXPECT_FALSE(f.Menulev[0]->isChecked() || f.Menulev[2]->isChecked() || f.Menulev[3]->isChecked());
    EXPECT_TRUE(f.MenuSuono->isChecked());
}

TEST_F(Form1Test, StripCaptionsColoursAndTooltipsAreAsDesigned)
{
    Form1& f = open();
    EXPECT_EQ(f.windowTitle(), "Vortigo");
    EXPECT_EQ(back(f.Picture2), QColor(255, 255, 128));
    EXPECT_EQ(f.Picture2->height(), 49);
    EXPECT_EQ(f.Picture2->width(), f.clientArea()->width());
    EXPECT_EQ(f.Frame3d1->title(), "Parole da trovare");
    EXPECT_EQ(f.Frame3d1->width(), 111);
    EXPECT_EQ(f.Label11->text(), "Dizionario:");
    EXPECT_EQ(f.Label9->text(), "Manche:");
    EXPECT_EQ(f.Label4->text(), "Tempo:");
    EXPECT_EQ(f.Label6->text(), "Errori ammessi:");
    EXPECT_EQ(f.Label5->text(), "Punti:");
    EXPECT_EQ(f.Label10->text(), "Giocatore:");
    EXPECT_EQ(back(f.Label11), QColor(255, 224, 192));
    EXPECT_EQ(back(f.Label8), QColor(128, 255, 255));
    EXPECT_EQ(back(f.Label2), QColor(192, 192, 255));
    EXPECT_EQ(fore(f.Label12), QColor(0, 0, 192));
    EXPECT_TRUE(f.Label12->font().underline());
    EXPECT_EQ(f.Label12->text(), QString::fromLatin1(kHomePageCaption));
    EXPECT_EQ(f.Label12->toolTip(), "Visita il sito dell'autore ...");
    EXPECT_EQ(f.Picture1->toolTip(), "Clicca per nuova partita ...");
    EXPECT_EQ(f.Combo1->toolTip(), "Cambia il dizionario Ita/Eng/LATINO");
    EXPECT_EQ(f.Text1->toolTip(), "Immetti il tuo nome");
    EXPECT_EQ(f.Command3d1->toolTip(), "Nuova partita ...");
    EXPECT_EQ(f.Label3->toolTip(), "Punti fatti");
    EXPECT_EQ(f.Label7->toolTip(), "Errori ammissibili");
    EXPECT_EQ(f.Label8->toolTip(), "Manche in corso");
    EXPECT_EQ(f.Label2->toolTip(), "Tempo rimasto");
    EXPECT_EQ(f.Label1[0]->toolTip(), "Lista delle parole da trovare");
    EXPECT_EQ(f.Text1->maxLength(), 10);
    EXPECT_EQ(f.Picture3->pixmap().size(), QSize(32, 32));
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_FALSE(f.Command3d1->icon().isNull());
    EXPECT_FALSE(f.Picture3->isVisible());
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_EQ(f.Timer1->interval(), 1000);
}

TEST_F(Form1Test, FirstRunStartsAtPiboWithoutItsBonusAndItalianChosen)
{
    Form1& f = open();
    ASSERT_TRUE(loaded);
    const GameState& s = f.state();
    EXPECT_EQ(s.DictionaryIndex, 1);
    EXPECT_EQ(s.LevelTimeBonus, 0);
    EXPECT_EQ(s.RoundStatus, 0);
    EXPECT_EQ(s.Round, 0);
    EXPECT_EQ(f.Text1->text(), "Brivo");
    EXPECT_EQ(f.Combo1->count(), 3);
    EXPECT_EQ(f.Combo1->currentText(), "Italiano");
    EXPECT_EQ(f.Combo1->itemText(1), "English");
    EXPECT_EQ(f.Combo1->itemText(2), "Latino");
    EXPECT_EQ(s.DirDX(3), 1);
    EXPECT_EQ(s.RoundCols(10), 18);
    // No title picture in this folder: the player is told, the game goes on.
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].text.find("vortigo.gif"), std::string::npos);
    EXPECT_FALSE(platform.ended);
    EXPECT_EQ(std::filesystem::current_path(), folder);
}

TEST_F(Form1Test, SettingsFileChoosesLevelNameAndSound)
{
    {
        std::ofstream ini(folder / "vortigo.INI", std::ios::binary);
        ini << "Livello=Medio\r\nGiocatore1=Niccol\xf2  \r\nSuono=NO\r\n";
    }
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
    EXPECT_TRUE(platform.ended);
    EXPECT_EQ(platform.lastMessage(), "Errore fatale! non trovato file di vocabolario: SLESSICO.1");
    EXPECT_TRUE(form->ended());
}

TEST_F(Form1Test, AnUnwritableSettingsFileIsReportedOnceAndPlayGoesOn)
{
    Form1& f = open();
    platform.messages.clear();
    std::filesystem::create_directory(folder / "vortigo.INI");  // cannot be written as a file
    f.MenuSuono_Click();
    f.MenuSuono_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].text.find("vortigo.INI"), std::string::npos);
    EXPECT_TRUE(f.MenuSuono->isChecked());
    EXPECT_FALSE(platform.ended);
}

TEST_F(Form1Test, ScoreCaptionAndColoursFollowSignAndLocale)
{
    Form1& f = open();
    struct Case {
        const char* separator;
        i32 amount;
        const char* caption;
        int text, back;
    };
    for (const Case& c : {Case{".", -1000, "-1.000", kWhite, kRed}, Case{",", -1000, "-1,000", kWhite, kRed},
                          Case{".", 0, "", kBlack, kYellow}, Case{",", 1500, "1,500", kBlack, kLightGreen},
                          Case{".", 1500, "1.500", kBlack, kLightGreen}}) {
        platform.separator = c.separator;
        f.ShowScore(-9999);
        EXPECT_EQ(f.Label3->text(), "");
        EXPECT_EQ(back(f.Label3), qc(kYellow));
        f.ShowScore(c.amount);
        EXPECT_EQ(f.Label3->text(), c.caption);
        EXPECT_EQ(fore(f.Label3), qc(c.text));
        EXPECT_EQ(back(f.Label3), qc(c.back));
    }
    f.ShowScore(700);
    f.ShowScore(-9999);
    EXPECT_EQ(f.state().Score, 0);
}

TEST_F(Form1Test, HiddenGesturesNeedTheRightButtonWithExactlyShiftAndCtrl)
{
    Form1& f = open();
    f.Timer1->start();
    f.Label2_MouseDown(2, 2);  // Ctrl only
    f.Label2_MouseDown(2, 7);  // Shift + Ctrl + Alt
    f.Label2_MouseDown(1, 3);  // left button
    EXPECT_TRUE(f.Timer1->isActive());
    f.Label2_MouseDown(2, 3);
    EXPECT_FALSE(f.Timer1->isActive());
    f.Label2_MouseDown(2, 3);
    EXPECT_TRUE(f.Timer1->isActive());

    f.Label7->setText("1");
    f.Label7_MouseDown(2, 1);
    EXPECT_EQ(f.Label7->text(), "1");
    f.Label7_MouseDown(2, 3);
    f.Label7_MouseDown(2, 3);
    EXPECT_EQ(f.Label7->text(), "3");
}

TEST_F(Form1Test, GridFitsTheFreeAreaAsInTheWorkedExamples)
{
    Form1& f = open(680, 620);
    ASSERT_EQ(f.clientArea()->width(), 680);
    ASSERT_EQ(f.clientArea()->height(), 620);
    startGame();
    GameState& s = f.state();
    EXPECT_EQ(s.CellSize, 79);
    EXPECT_EQ(s.MarginX, 8);
    EXPECT_EQ(s.MarginY, 98);
    // The frame is docked on the right, from below the strip to the bottom.
    EXPECT_EQ(f.Frame3d1->x(), 680 - 111);
    EXPECT_EQ(f.Frame3d1->height(), 620 - 49);
    // Round 10's grid in the same area.
    s.Round = 9;
    s.RoundStatus = 0;
    f.MenuNuovo_Click();
    EXPECT_EQ(s.GridCols, 18);
    EXPECT_EQ(s.CellSize, 31);
    EXPECT_EQ(s.MarginX, 6);
    EXPECT_EQ(s.MarginY, 118);
    // The backing image holds the grid: white cells inside a red frame.
    const QImage& img = f.surface().image();
    EXPECT_EQ(img.pixelColor(s.MarginX - 3, s.MarginY + 10), qc(kRed));
    EXPECT_EQ(img.pixelColor(s.MarginX - 1, s.MarginY + 10), qc(kWhite));
}

TEST_F(Form1Test, PointerIsAHandOverTheLinksAndAnArrowElsewhere)
{
    Form1& f = open();
    platform.screenPointers.clear();
    f.Picture1_MouseMove();
    f.Label12_MouseMove();
    f.Form_MouseMove();
    f.Label2_MouseMove();
    f.Label4_MouseMove();
    f.Picture2_MouseMove();
    EXPECT_EQ(platform.screenPointers, (std::vector<Pointer>{Pointer::Hand, Pointer::Hand, Pointer::Arrow,
                                                             Pointer::Arrow, Pointer::Arrow, Pointer::Arrow}));
    f.Label12_Click();
    f.menuPHP_Click();
    ASSERT_EQ(platform.commands.size(), 2u);
    EXPECT_EQ(platform.commands[0].line, platform.commands[1].line);
    EXPECT_EQ(platform.commands[0].style, 2);
}

TEST_F(Form1Test, OpeningTheWindowAndPlayingARoundWarnsOfNothing)
{
    static int warnings = 0;
    static QtMessageHandler previous = nullptr;
    warnings = 0;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg && !text.contains("propagateSizeHints"))
            ++warnings;
        if (previous)
            previous(type, context, text);
    });
    open();
    startGame();
    clickCell(fillerCell());
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, 0);
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
