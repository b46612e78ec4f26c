// SPDX-License-Identifier: GPL-3.0-or-later
// What a player does with mouse and keyboard on the real main window: the
// pointer over the strip, leaving the name box, a damaged dictionary.
#include "tests/app/form1_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QWheelEvent>

using namespace vortigo;
using namespace vortigo::test;

namespace {

class Form1Events : public Form1Test {
protected:
    void typeName(const QString& name)
    {
        QTest::mouseClick(control<QLineEdit>(*form, "Text1"), Qt::LeftButton, {}, middle(control<QLineEdit>(*form, "Text1")));
        EXPECT_TRUE(control<QLineEdit>(*form, "Text1")->hasFocus());
        control<QLineEdit>(*form, "Text1")->selectAll();
        QTest::keyClicks(control<QLineEdit>(*form, "Text1"), name);
    }
    std::string settings() const { return readBytes(folder / "vortigo.INI"); }
};

}  // namespace

TEST_F(Form1Events, OnlyTheLinkShowsTheHand)
{
    Form1& f = openActive();
    platform.screenPointers.clear();
    QTest::mouseMove(control<QLabel>(f, "Picture1"), middle(control<QLabel>(f, "Picture1")));  // the title picture starts a game: a hand
    EXPECT_EQ(platform.screenPointers, std::vector<Pointer>{Pointer::Hand});
    startGame();  // the status labels are shown during a round
    ASSERT_TRUE(control<QLabel>(f, "Label7")->isVisible() && control<QLabel>(f, "Label12")->isVisible());
    // From the link over each of the others: the errors left, the caption "Errori
    // ammessi:", the chooser and the button have no handler and keep the hand; the
    // bare strip, the time, its caption and the grid give the arrow back.
    const std::pair<QWidget*, Pointer> over[] = {{control<QLabel>(f, "Label7"), Pointer::Hand}, {control<QLabel>(f, "Label6"), Pointer::Hand},
        {control<QComboBox>(f, "Combo1"), Pointer::Hand}, {control<QPushButton>(f, "Command3d1"), Pointer::Hand}, {control<QWidget>(f, "Picture2"), Pointer::Arrow},
        {control<QLabel>(f, "Label2"), Pointer::Arrow}, {control<QLabel>(f, "Label4"), Pointer::Arrow}, {f.clientArea(), Pointer::Arrow}};
    for (const auto& [w, pointer] : over) {
        QTest::mouseMove(control<QLabel>(f, "Label12"), middle(control<QLabel>(f, "Label12")));
        EXPECT_EQ(platform.screenPointers.back(), Pointer::Hand);
        QTest::mouseMove(w, w == control<QWidget>(f, "Picture2") ? QPoint(w->width() - 5, 3) : w == f.clientArea() ? centre({2, 2}) : middle(w));
        EXPECT_EQ(platform.screenPointers.back(), pointer) << w->objectName().toStdString();
    }
}

TEST_F(Form1Events, LeavingTheNameBoxSavesOnce)
{
    Form1& f = openActive();
    typeName(QStringLiteral("Zoe"));

    // A menu opened over the box and closed again is no leaving.
    f.menuBar()->setActiveAction(control<QMenu>(f, "MenuFile")->menuAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return control<QMenu>(f, "MenuFile")->isVisible(); }));
    QTest::keyClick(control<QMenu>(f, "MenuFile"), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !control<QMenu>(f, "MenuFile")->isVisible(); }));
    EXPECT_FALSE(std::filesystem::exists(folder / "vortigo.INI"));

    // The title picture takes no focus of its own, yet clicking it leaves the box.
    QTest::mouseClick(control<QLabel>(f, "Picture1"), Qt::LeftButton, {}, middle(control<QLabel>(f, "Picture1")));
    EXPECT_EQ(f.state().Round, 1);
    EXPECT_EQ(settings(), "Livello=Principiante\r\nGiocatore1=Zoe\r\nSuono=SI\r\n");
    EXPECT_FALSE(control<QLineEdit>(f, "Text1")->hasFocus());

    // Once out, further clicks write nothing.
    std::filesystem::remove(folder / "vortigo.INI");
    QTest::mouseClick(control<QPushButton>(f, "Command3d1"), Qt::LeftButton, {}, middle(control<QPushButton>(f, "Command3d1")));  // confirmed new game
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(fillerCell()));
    EXPECT_FALSE(std::filesystem::exists(folder / "vortigo.INI"));

    // The new-game button (the round kept in play) and the grid take no focus
    // either, the chooser does: each click out of the box saves what was typed.
    platform.answers = {Answer::Cancel};
    const std::tuple<const char*, QWidget*, QPoint> outs[] = {{"Ugo", control<QPushButton>(f, "Command3d1"), middle(control<QPushButton>(f, "Command3d1"))},
        {"Ada", f.clientArea(), QPoint(3, f.clientArea()->height() - 3)}, {"Eva", control<QComboBox>(f, "Combo1"), middle(control<QComboBox>(f, "Combo1"))}};
    for (const auto& [name, w, at] : outs) {
        typeName(QString::fromLatin1(name));
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        control<QComboBox>(f, "Combo1")->hidePopup();
        EXPECT_EQ(settings(), std::string("Livello=Principiante\r\nGiocatore1=") + name + "\r\nSuono=SI\r\n");
    }
}

TEST_F(Form1Events, ADamagedDictionaryIsNamed)
{
    // Header only: it promises words the file does not hold.
    const std::string whole = dictionaryBytes(sampleWords('I'));
    std::ofstream(folder / "SLESSICO.1", std::ios::binary | std::ios::trunc) << whole.substr(0, 408);
    Form1& f = openActive();
    platform.messages.clear();
    QTest::keyClick(&f, Qt::Key_F2);

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.lastMessage(), "Il file di vocabolario SLESSICO.1 è danneggiato: non riesco a leggerne le parole di "
                                      "5 lettere.\nScegli un altro dizionario o reinstalla il gioco.");
    EXPECT_EQ(std::tuple(f.state().Round, f.state().RoundStatus), std::tuple(0, kRoundWon));
    EXPECT_EQ(std::tuple(control<QLabel>(f, "Label8")->isVisible(), control<QLabel>(f, "Picture1")->isVisible(), control<QTimer>(f, "Timer1")->isActive()), std::tuple(false, true, false));
}

TEST_F(Form1Events, TheWheelChoosesNoDictionary)
{
    Form1& f = openActive();
    startGame();
    auto* chooser = control<QComboBox>(f, "Combo1");
    platform.messages.clear();
    const QPoint at = middle(chooser);
    for (const int notch : {-120, -120, 120, -120}) {
        QWheelEvent wheel(at, chooser->mapToGlobal(at), QPoint(), QPoint(0, notch), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(chooser, &wheel);
    }
    EXPECT_EQ(chooser->currentIndex(), 0);
    EXPECT_EQ(std::tuple(f.state().DictionaryIndex, f.state().Round, f.state().RoundStatus), std::tuple(1, 1, kRoundInPlay));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(chooser->hasFocus());
}

TEST_F(Form1Events, TheNameBoxTakesOnlyWhatTheFilesCanHold)
{
    Form1& f = openActive();
    auto* box = control<QLineEdit>(f, "Text1");
    typeName(QString());
    // Keys whose text lies outside Latin-1, as a keyboard or an input method sends them.
    for (const char* typed : {"Ł", "u", "€", "x", "ò", "😀"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(typed));
        QApplication::sendEvent(box, &press);
    }
    EXPECT_EQ(box->text(), QString::fromUtf8("uxò"));
    box->insert(QString::fromUtf8("Ω-è"));  // pasted
    EXPECT_EQ(box->text(), QString::fromUtf8("uxò-è"));
    QTest::mouseClick(f.findChild<QWidget*>(QStringLiteral("Command3d1")), Qt::LeftButton);
    EXPECT_EQ(settings(), "Livello=Principiante\r\nGiocatore1=ux\xF2-\xE8\r\nSuono=SI\r\n");
    EXPECT_EQ(f.game().playerName(), "ux\xF2-\xE8");
    // Ten letters at most, as the table and the record address hold them.
    box->selectAll();
    QTest::keyClicks(box, "Massimiliano");
    EXPECT_EQ(box->text(), "Massimilia");
}
