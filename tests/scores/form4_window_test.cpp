// The high-score window, driven offscreen through its handlers and real events.
#include "scores/form4.h"

#include "core/text_codec.h"
#include "score_files.h"
#include "tests/support/fake_platform.h"

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <set>
#include <gtest/gtest.h>

namespace vortigo {
namespace {

using test::crlfLines;
using test::FakePlatform;
using test::readBytes;
using test::ScratchFolder;
using test::writeBytes;

// One application for the whole run, created on first use so that listing the
// tests needs none; it is never destroyed, as it lives until the process ends.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "scores_window_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr)
        new QApplication(argc, argv);
}

// Comes first among the fixture's members, so the application exists before any widget.
struct Application {
    Application() { ensureApplication(); }
};

class HighScoreWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform.separator = ",";
        state.Round = 2;
        state.DictionaryIndex = 1;
    }

    HighScoreContext context(const QString& player = QStringLiteral("Brivo"))
    {
        return HighScoreContext{state, platform, &mainWindow, player, QCursor(Qt::PointingHandCursor), folder.path()};
    }

    void record(i32 score)
    {
        state.Score = score;
        state.RecordNewScore = kTrue;
    }

    void look(i32 score)
    {
        state.Score = score;
        state.RecordNewScore = kFalse;
    }

    static void moveOver(QWidget* widget)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    static void click(QWidget* widget)
    {
        const QPointF at(4, 4);
        const QPointF global = widget->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }

    static bool publishingEnabled(const Form4& form)
    {
        return form.Text1->isEnabled() && form.Text2->isEnabled() && form.Label3->isEnabled() &&
               form.Label4->isEnabled() && form.Label5->isEnabled() && form.Label6->isEnabled();
    }

    static bool publishingAtDesignState(const Form4& form)
    {
        return !form.Text1->isEnabled() && !form.Text2->isEnabled() && !form.Label3->isEnabled() &&
               !form.Label4->isEnabled() && form.Label5->isEnabled() && !form.Label6->isEnabled();
    }

    Application application;
    GameState state;
    FakePlatform platform;
    QWidget mainWindow;
    ScratchFolder folder;
};

// ---------------------------------------------------------------- opening and closing

TEST_F(HighScoreWindow, TheMainWindowIsDisabledWhileTheTableIsOpenAndEnabledAfterwards)
{
    look(0);
    bool sawModalTable = false;
    bool mainDisabledMeanwhile = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<Form4*>(QApplication::activeModalWidget());
        sawModalTable = form != nullptr;
        mainDisabledMeanwhile = !mainWindow.isEnabled();
        if (form)
            form->Command3d1->click();
    });
    showHighScores(context());
    EXPECT_TRUE(sawModalTable);
    EXPECT_TRUE(mainDisabledMeanwhile);
    EXPECT_TRUE(mainWindow.isEnabled());
}

TEST_F(HighScoreWindow, EscapeAndTheTitleBarCloseEnableTheMainWindowToo)
{
    look(0);
    {
        Form4 form(context());
        form.show();
        EXPECT_FALSE(mainWindow.isEnabled());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&form, &escape);
        EXPECT_TRUE(mainWindow.isEnabled());
        EXPECT_FALSE(form.isVisible());
    }
    {
        Form4 form(context());
        form.show();
        EXPECT_FALSE(mainWindow.isEnabled());
        form.close();
        EXPECT_TRUE(mainWindow.isEnabled());
    }
}

TEST_F(HighScoreWindow, ShowsItsDesignTextsAndLayout)
{
    look(0);
    Form4 form(context());
    EXPECT_EQ(form.windowTitle(), "Vortigo - Hiscores Table");
    EXPECT_EQ(form.size(), QSize(502, 451));
    EXPECT_EQ(form.Label2->text(), "Tabella records");
    EXPECT_EQ(form.Panel3d1->text(), "The best");
    EXPECT_EQ(form.Command3d1->text(), "&OK");
    EXPECT_EQ(form.Frame1->title(), "Migliori punteggi");
    EXPECT_EQ(form.Label4->text(), "Mia E-Mail:");
    EXPECT_EQ(form.Label3->text(), "Note sul punteggio:");
    EXPECT_EQ(form.Text2->text(), "nome@provider");
    EXPECT_EQ(form.Text2->maxLength(), 40);
    EXPECT_EQ(form.Text1->text(), "Sono il migliore");
    EXPECT_EQ(form.Text1->maxLength(), 20);
    EXPECT_EQ(form.Label5->text(),
              QString::fromUtf8("Se hai fatto il record massimo puoi cliccare il link a sinistra, verrà aperta una "
                                "finestra del browser che ti consentirà di pubblicare nella Rete il tuo risultato "
                                "(Compila anche il campo E-Mail)."));
    EXPECT_EQ(form.Label6->text(), "Registra record in Internet");
    EXPECT_EQ(form.Label6->toolTip(), "Clicca per registrare questo punteggio nella tabella mondiale su Internet");
    EXPECT_TRUE(form.Label6->font().underline());
    EXPECT_TRUE(form.Label6->font().bold());
    EXPECT_DOUBLE_EQ(form.Label2->font().pointSizeF(), 15.75);
    EXPECT_DOUBLE_EQ(form.Label1->font().pointSizeF(), 14.25);

    EXPECT_EQ(form.Label2->geometry(), QRect(58, 12, 413, 31));
    EXPECT_EQ(form.Command3d1->geometry(), QRect(268, 48, 205, 69));
    EXPECT_EQ(form.List1->parentWidget(), form.Frame1);
    EXPECT_EQ(form.List1->geometry(), QRect(10, 16, 217, 196));
    EXPECT_EQ(form.Label6->geometry(), QRect(34, 408, 221, 29));
    EXPECT_EQ(form.Line1->geometry().top(), 332);
}

TEST_F(HighScoreWindow, TheListUsesABoldFixedPitchFont)
{
    look(0);
    Form4 form(context());
    const QFontInfo info(form.List1->font());
    EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
    EXPECT_TRUE(form.List1->font().bold());
    EXPECT_DOUBLE_EQ(form.List1->font().pointSizeF(), 9.75);
}

// ---------------------------------------------------------------- building the table

TEST_F(HighScoreWindow, TheFirstResultEverTopsTheTableAndMayBePublished)
{
    record(120);
    Form4 form(context());
    ASSERT_EQ(form.List1->count(), 51);
    EXPECT_EQ(form.List1->item(0)->text(), "N. - Nome         Punti");
    EXPECT_EQ(form.List1->item(1)->text(), "01 - Brivo        00,120");
    EXPECT_EQ(form.Label1->text(), "Brivo");
    EXPECT_EQ(form.PlayerRow, 1);
    EXPECT_TRUE(publishingEnabled(form));
    EXPECT_EQ(form.List1->currentRow(), 1);
    const std::vector<std::string> lines = crlfLines(readBytes(folder.scoreFile()));
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[0], "Brivo, 120 ");
    EXPECT_EQ(lines[49], ", 0 ");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(HighScoreWindow, AResultBelowAFullTableKeepsThePublishingControlsDisabled)
{
    writeBytes(folder.scoreFile(), test::fullTableFile());
    record(50);
    Form4 form(context());
    EXPECT_EQ(form.PlayerRow, 0);
    EXPECT_TRUE(publishingAtDesignState(form));
    EXPECT_EQ(form.List1->currentRow(), 1);
    EXPECT_EQ(form.Label1->text(), "Giocatore01");
    EXPECT_EQ(readBytes(folder.scoreFile()), test::fullTableFile());
}

TEST_F(HighScoreWindow, RowsFollowTheLocaleSeparator)
{
    writeBytes(folder.scoreFile(), "Nino, 1234 \r\n");
    look(0);
    platform.separator = ".";
    Form4 italian(context());
    EXPECT_EQ(italian.List1->item(1)->text(), "01 - Nino         01.234");
    platform.separator = ",";
    Form4 english(context());
    EXPECT_EQ(english.List1->item(1)->text(), "01 - Nino         01,234");
}

TEST_F(HighScoreWindow, OpeningFromTheMenuRightAfterAGameShowsTheRecordedOrder)
{
    record(300);
    { Form4 first(context()); }
    state.RecordNewScore = kTrue;
    { Form4 second(context(QStringLiteral("Nino"))); }
    const std::string file = readBytes(folder.scoreFile());

    look(0);
    Form4 form(context(QStringLiteral("Nino")));
    EXPECT_EQ(form.List1->item(1)->text(), "01 - Brivo        00,300");
    EXPECT_EQ(form.List1->item(2)->text(), "02 - Nino         00,300");
    EXPECT_EQ(form.Label1->text(), "Brivo");
    EXPECT_TRUE(publishingAtDesignState(form));
    EXPECT_EQ(readBytes(folder.scoreFile()), file);

    state.Score = 300;
    Form4 withMatchingScore(context(QStringLiteral("Nino")));
    EXPECT_EQ(withMatchingScore.PlayerRow, 2);
    EXPECT_TRUE(publishingEnabled(withMatchingScore));
}

TEST_F(HighScoreWindow, AnAccentedPlayerNameIsLatin1InTheFileAndReadableOnScreen)
{
    record(70);
    Form4 form(context(QString::fromUtf8("Nicolò")));
    EXPECT_EQ(form.List1->item(1)->text(), QString::fromUtf8("01 - Nicolò       00,070"));
    EXPECT_EQ(form.Label1->text(), QString::fromUtf8("Nicolò"));
    EXPECT_EQ(crlfLines(readBytes(folder.scoreFile()))[0], "Nicol\xF2, 70 ");
    EXPECT_EQ(form.PlayerRow, 1);
}

TEST_F(HighScoreWindow, AFailedSaveIsToldToThePlayerOnceAndTheTableStillShows)
{
    const std::string old = test::fullTableFile();
    writeBytes(folder.scoreFile(), old);
    std::filesystem::create_directory(scoreTemporaryFile(folder.scoreFile()));
    record(99999);
    Form4 form(context());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, Form4::kWriteFailedMessage);
    EXPECT_EQ(platform.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(readBytes(folder.scoreFile()), old);
    EXPECT_EQ(form.List1->item(1)->text(), "01 - Brivo        99,999");
    EXPECT_TRUE(publishingEnabled(form));
}

// ---------------------------------------------------------------- the record link

TEST_F(HighScoreWindow, TheDisabledLinkDoesNothing)
{
    look(0);
    Form4 form(context());
    form.Label6_Click();
    click(form.Label6);
    EXPECT_TRUE(platform.commands.empty());
}

TEST_F(HighScoreWindow, ClickingTheLinkOpensTheRecordAddress)
{
    record(120);
    Form4 form(context());
    form.Text1->setText(QStringLiteral("Top 10! 50%=$&"));
    form.Text2->setText(QStringLiteral("brivo@esempio.it"));
    click(form.Label6);
    ASSERT_EQ(platform.commands.size(), 1u);
    const std::string& line = platform.commands[0].line;
    EXPECT_EQ(platform.commands[0].style, 1);
    const std::string start = "start http://record.vortigo.example/vortigo.asp?Nome=Brivo&programma=Vortigo_";
    ASSERT_EQ(line.substr(0, start.size()), start);
    EXPECT_EQ(line.substr(start.size() + 3),
              "&data=05-03-2001&punti=120&Manches=2&Note=Top_10__50____&E_MAIL=brivo@esempio.it&ora=09:07"
              "&Language=1");
}

TEST_F(HighScoreWindow, TheLinkSendsTheNameAsTypedAndAnonimoForNone)
{
    record(120);
    Form4 accented(context(QString::fromUtf8("Nicolò B")));
    accented.Label6_Click();
    record(120);
    Form4 nameless(context(QString()));
    nameless.Label6_Click();
    ASSERT_EQ(platform.commands.size(), 2u);
    EXPECT_NE(platform.commands[0].line.find("?Nome=Nicolò B&"), std::string::npos);
    EXPECT_NE(platform.commands[1].line.find("?Nome=Anonimo&"), std::string::npos);
}

TEST_F(HighScoreWindow, EachClickDrawsItsOwnLetters)
{
    record(120);
    Form4 form(context());
    std::set<std::string> letters;
    for (int i = 0; i < 20; ++i)
        form.Label6_Click();
    for (const auto& command : platform.commands)
        letters.insert(command.line.substr(command.line.find("Vortigo_") + 8, 3));
    EXPECT_GT(letters.size(), 15u);
    EXPECT_EQ(platform.clockReadings, 20);
}

// ---------------------------------------------------------------- pointer

TEST_F(HighScoreWindow, TheLinkShowsTheHandAndTheOtherHandlersTheArrow)
{
    record(120);
    Form4 form(context());
    moveOver(form.Label6);
    moveOver(form.Label5);
    moveOver(form.Label6);
    moveOver(form.Text1);
    moveOver(form.Label6);
    moveOver(form.Label3);
    moveOver(form.Label6);
    moveOver(&form);
    EXPECT_EQ(platform.screenPointers,
              (std::vector<Pointer>{Pointer::Hand, Pointer::Arrow, Pointer::Hand, Pointer::Arrow, Pointer::Hand,
                                    Pointer::Arrow, Pointer::Hand, Pointer::Arrow}));
}

TEST_F(HighScoreWindow, ADisabledLinkShowsNoHand)
{
    look(0);
    Form4 form(context());
    moveOver(form.Label6);
    EXPECT_EQ(platform.screenPointers, std::vector<Pointer>{Pointer::Arrow});
}

TEST_F(HighScoreWindow, ControlsWithoutAHandlerLeaveThePointerAlone)
{
    look(0);
    Form4 form(context());
    moveOver(form.List1->viewport());
    moveOver(form.Command3d1);
    EXPECT_TRUE(platform.screenPointers.empty());
}

}  // namespace
}  // namespace vortigo
