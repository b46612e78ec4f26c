// SPDX-License-Identifier: GPL-3.0-or-later
// The high-score window, driven offscreen through its handlers and real events.
#include "scores/form4.h"
#include "widgets/window_design.h"

#include "score_files.h"
#include "tests/support/fake_platform.h"
#include "tests/support/window_texts.h"

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace vortigo {
namespace {

using namespace test;

void moveOver(QWidget* widget)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

class HighScoreWindow : public ::testing::Test {
protected:
    HighScoreWindow() { platform.separator = ","; }

    HighScoreContext context(i32 score, bool record, const QString& player = QStringLiteral("Brivo"))
    {
        state.Score = score;
        state.Round = 2;
        state.DictionaryIndex = 1;
        state.RecordNewScore = record ? kTrue : kFalse;
        return HighScoreContext{state, platform, &mainWindow, player, QCursor(Qt::PointingHandCursor), folder.path()};
    }

    GameState state;
    FakePlatform platform;
    QWidget mainWindow;
    ScratchFolder folder;
};

// A read-only table used to be replaced anyway, losing its mode; now it is
// respected, the message names the file's own protection, and the result it
// could not keep is still shown, its link live.
TEST_F(HighScoreWindow, OnlyThePodiumMayPublish)
{
    writeBytes(folder.scoreFile(), fullTableFile());
    std::filesystem::permissions(folder.scoreFile(), std::filesystem::perms::owner_read);
    platform.separator = ".";
    Form4 first(context(99999, true));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "Non è stato possibile salvare la tabella dei record nel file \"vortigo.HIS\": il file è in sola lettura.\n"
              "Il risultato di questa partita non resterà in tabella; il gioco continua.");
    EXPECT_EQ(readBytes(folder.scoreFile()), fullTableFile());
    EXPECT_EQ(std::filesystem::status(folder.scoreFile()).permissions(), std::filesystem::perms::owner_read);
    ASSERT_EQ(first.List1->count(), 51);
    EXPECT_EQ(first.List1->item(0)->text(), "N. - Nome         Punti");
    EXPECT_EQ(first.List1->item(1)->text(), "01 - Brivo        99.999");
    EXPECT_TRUE(first.Label6->isEnabled());
    EXPECT_EQ(std::pair(first.Text1->maxLength(), first.Text2->maxLength()), std::pair(20, 40));
    // Every caption as the window was designed; the best player's name above "The best".
    EXPECT_EQ(test::captionsOf(first), (std::map<std::string, std::string>{
        {"", "Vortigo - Hiscores Table"}, {"Label2", "Tabella records"}, {"Label1", "Brivo"}, {"Panel3d1", "The best"},
        {"Command3d1", "&OK"}, {"Frame1", "Migliori punteggi"}, {"Label4", "Mia E-Mail:"}, {"Text2", "nome@provider"},
        {"Label3", "Note sul punteggio:"}, {"Text1", "Sono il migliore"},
        {"Label5", "Se hai fatto il record massimo puoi cliccare il link a sinistra, verrà aperta una finestra del "
                   "browser che ti consentirà di pubblicare nella Rete il tuo risultato (Compila anche il campo E-Mail)."},
        {"Label6", "Registra record in Internet"}}));
    // Every control where the window was designed, in twips; the e-mail box starts where its caption ends.
    EXPECT_EQ(test::placesOf(first), (std::map<std::string, std::string>{
        {"Label2", "870, 180, 6195, 465"}, {"Picture2", "330, 180, 465, 465"}, {"Label1", "360, 720, 3555, 375"},
        {"Panel3d1", "360, 1140, 3555, 375"}, {"Command3d1", "4020, 720, 3075, 1035"}, {"Frame1", "390, 1530, 3495, 3315"},
        {"List1", "150, 240, 3255, 2940"}, {"Picture1", "4020, 1800, 3060, 3060"}, {"Line1", "420, 4980, 6675, 15"},
        {"Label4", "480, 5130, 795, 315"}, {"Text2", "1275, 5070, 5805, 285"}, {"Label3", "480, 5550, 795, 405"},
        {"Text1", "1320, 5640, 2505, 285"}, {"Label5", "3930, 5460, 3195, 1005"}, {"Label6", "510, 6120, 3315, 435"}}));
    EXPECT_EQ(test::toolTipsOf(first),
              (std::map<std::string, std::string>{{"Label6", "Clicca per registrare questo punteggio nella tabella mondiale su Internet"}}));
    // A screen reader hears the boxes by their captions, the list by its
    // frame's title, and the live link as a link it can press.
    const auto said = [](QWidget* w) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        return std::tuple(i->role(), i->text(QAccessible::Name));
    };
    EXPECT_EQ(said(first.Text2), std::tuple(QAccessible::EditableText, QString("Mia E-Mail:")));
    EXPECT_EQ(said(first.Text1), std::tuple(QAccessible::EditableText, QString("Note sul punteggio:")));
    EXPECT_EQ(said(first.List1), std::tuple(QAccessible::List, QString("Migliori punteggi")));
    EXPECT_EQ(said(first.Label6), std::tuple(QAccessible::Link, QString("Registra record in Internet")));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(first.Label6)->actionInterface()->actionNames().value(0),
              QAccessibleActionInterface::pressAction());
    // The columns of the rows line up only in a fixed-pitch font.
    EXPECT_TRUE(QFontInfo(first.List1->font()).fixedPitch()) << QFontInfo(first.List1->font()).family().toStdString();
    // Only the live link shows the hand; the captions, the note and the
    // window itself give the arrow back; the list and the button have no
    // handler of their own and leave the pointer as it was.
    for (QWidget* w : std::initializer_list<QWidget*>{first.Label6, first.Label5, first.Label6, first.Label3,
                                                      first.Label6, first.Text1, first.Label6, &first,
                                                      first.Label6, first.List1->viewport(), first.Command3d1})
        moveOver(w);

    // A full table the result does not enter: the best row stays selected and the link dead.
    std::filesystem::permissions(folder.scoreFile(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    Form4 form(context(50, true));
    EXPECT_EQ(form.PlayerRow, 0);
    // Off the podium neither the note nor the e-mail can be typed.
    EXPECT_FALSE(form.Text1->isEnabled() || form.Text2->isEnabled() || form.Label6->isEnabled());
    EXPECT_EQ(form.List1->currentRow(), 1);
    EXPECT_EQ(form.Label1->text(), "Giocatore01");
    EXPECT_EQ(readBytes(folder.scoreFile()), fullTableFile());
    QTest::mouseClick(form.Label6, Qt::LeftButton);
    moveOver(form.Label6);
    using enum Pointer;
    EXPECT_EQ(platform.screenPointers, (std::vector<Pointer>{Hand, Arrow, Hand, Arrow, Hand, Arrow, Hand, Arrow, Hand, Arrow}));
    // A drag across the proposed note selects it, for the player to type another over it.
    const QPoint from(3, first.Text1->height() / 2), to(first.Text1->width() - 3, first.Text1->height() / 2);
    QTest::mousePress(first.Text1, Qt::LeftButton, {}, from);
    QTest::mouseMove(first.Text1, to);
    QTest::mouseRelease(first.Text1, Qt::LeftButton, {}, to);
    EXPECT_EQ(first.Text1->selectedText(), first.Text1->text());
    showActive(form);
    for (int tabs = 0; tabs < 10; ++tabs) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), form.Label6);
    }
    EXPECT_TRUE(platform.commands.empty());
    // The main window waits, disabled, until Esc closes the table.
    EXPECT_FALSE(mainWindow.isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(!form.isVisible() && mainWindow.isEnabled());
}

TEST_F(HighScoreWindow, AnAccentedNameIsPublishedOnce)
{
    Form4 form(context(120, true, QString::fromUtf8("Nicolò B")));
    EXPECT_EQ(form.List1->item(1)->text(), QString::fromUtf8("01 - Nicolò B     00,120"));
    EXPECT_EQ(readBytes(folder.scoreFile()).rfind("Nicol\xF2 B, 120 \r\n", 0), 0u);
    EXPECT_TRUE(platform.messages.empty());
    showActive(form);
    // The boxes come filled in: a player selects all and types over it.
    QTest::keyClick(form.Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.Text1, "Top 10! 50%=$&");
    QTest::keyClick(form.Text2, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.Text2, "brivo@esempio.it");
    for (int tabs = 0; tabs < 10 && QApplication::focusWidget() != form.Label6; ++tabs)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form.Label6);
    QTest::keyClick(form.Label6, Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());  // Enter opened the link, the window stays
    // A click opens it once more and leaves the focus in the note box, so
    // the Enter that follows is the OK button's: no third address.
    QTest::mouseClick(form.Text1, Qt::LeftButton);
    QTest::mouseClick(form.Label6, Qt::RightButton);  // a context menu's click publishes nothing
    QTest::mouseClick(form.Label6, Qt::MiddleButton);
    QTest::mouseClick(form.Label6, Qt::LeftButton);
    EXPECT_TRUE(form.Text1->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(!form.isVisible() && mainWindow.isEnabled());
    ASSERT_EQ(platform.commands.size(), 2u);
    for (const auto& command : platform.commands) {
        EXPECT_EQ(command.style, 1);
        const std::string start = "start http://record.vortigo.example/vortigo.asp?Nome=Nicolò B&programma=Vortigo_";
        ASSERT_EQ(command.line.substr(0, start.size()), start);
        EXPECT_EQ(command.line.substr(start.size() + 3),
                  "&data=05-03-2001&punti=120&Manches=2&Note=Top_10__50____&E_MAIL=brivo@esempio.it&ora=09:07"
                  "&Language=1");
    }
}

}  // namespace
}  // namespace vortigo

TEST(WindowCentring, CentresTheWholeFrame)
{
    // 502 x 451 inside, a 24-pixel title bar and 4-pixel borders: 510 x 479 outside.
    EXPECT_EQ(vortigo::centredFramePosition(QRect(0, 0, 1024, 768), QSize(502, 451), QMargins(4, 24, 4, 4)), QPoint(257, 144));
    // On a second screen to the right, and with no frame at all.
    EXPECT_EQ(vortigo::centredFramePosition(QRect(1920, 0, 1280, 1024), QSize(502, 451), QMargins()), QPoint(2309, 286));
}
