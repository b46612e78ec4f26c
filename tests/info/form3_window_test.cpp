// SPDX-License-Identifier: GPL-3.0-or-later
// The About window, driven offscreen through its handlers and real events.
#include "info/form3.h"

#include "tests/support/fake_platform.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace vortigo {
namespace {

void moveOver(QWidget* widget)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class AboutWindow : public ::testing::Test {
protected:
    test::FakePlatform platform;
    Form3 form{platform, QCursor(Qt::PointingHandCursor)};
};

TEST_F(AboutWindow, ShowsItsCaptionsAndTwoBlueUnderlinedLinks)
{
    EXPECT_EQ(form.windowTitle(), "Vortigo - About");
    EXPECT_EQ(form.Label5->text(), "Informazioni");
    EXPECT_EQ(form.Command3d1->text(), "&OK");
    EXPECT_EQ(form.Picture1->toolTip(), "Vortigo 2000");
    EXPECT_EQ(form.Picture2->toolTip(), "Software Italiano");
    EXPECT_EQ(form.Label3->text(), "vortigo.example");
    EXPECT_EQ(form.Label3->toolTip(), "Per visitare l'home page dell'autore");
    EXPECT_EQ(form.Label4->text(), "E-Mail: autore@vortigo.example");
    EXPECT_EQ(form.Label4->toolTip(), "Scrivi all'autore");
    for (const QLabel* link : {form.Label3, form.Label4}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }
    // The mail address is whole and clear of the home page.
    EXPECT_GE(form.Label4->width(), QFontMetrics(form.Label4->font()).horizontalAdvance(form.Label4->text()));
    EXPECT_GT(form.Label4->geometry().left(), form.Label3->geometry().right());
}

TEST_F(AboutWindow, ClickingALinkStartsItsProgramMinimisedAndTheWindowStaysOpen)
{
    form.show();
    const std::pair<QLabel*, const char*> links[] = {{form.Label4, "start mailto:autore@vortigo.example"},
                                                     {form.Label3, "start https://vortigo.example/"}};
    for (const auto& [label, line] : links) {
        platform.commands.clear();
        QTest::mouseClick(label, Qt::LeftButton);
        ASSERT_EQ(platform.commands.size(), 1u) << line;
        EXPECT_EQ(platform.commands[0].line, line);
        EXPECT_EQ(platform.commands[0].style, 2);
        EXPECT_TRUE(form.isVisible());
    }
}

TEST(AboutWindowCredits, TheCreditsLinkOpensTheCreditsFileBesideTheDataWhateverTheCurrentFolder)
{
    test::FakePlatform platform;
    const std::filesystem::path data = std::filesystem::temp_directory_path();
    const std::filesystem::path elsewhere = std::filesystem::current_path();
    Form3 form(platform, QCursor(Qt::PointingHandCursor), nullptr, data);
    form.show();
    // A link the player can read, under the others and inside the window.
    ASSERT_NE(form.creditsLink, nullptr);
    EXPECT_TRUE(form.creditsLink->text().contains("crediti"));
    EXPECT_TRUE(form.rect().contains(form.creditsLink->geometry()));
    EXPECT_GT(form.creditsLink->geometry().top(), form.Label4->geometry().bottom());
    EXPECT_GE(form.creditsLink->width(),
              QFontMetrics(form.creditsLink->font()).horizontalAdvance(form.creditsLink->text()));

    moveOver(form.creditsLink);
    EXPECT_EQ(platform.screenPointers, (std::vector<Pointer>{Pointer::Hand}));
    QTest::mouseClick(form.creditsLink, Qt::LeftButton);
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].line, "start CREDITS.txt");
    EXPECT_EQ(platform.commands[0].style, 2);
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(data));
    EXPECT_TRUE(form.isVisible());
    std::filesystem::current_path(elsewhere);
}

TEST_F(AboutWindow, TabReachesEachLinkAndSpaceOrEnterOpensIt)
{
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    std::vector<std::string> opened;
    for (Qt::Key activate : {Qt::Key_Space, Qt::Key_Return}) {
        for (int tabs = 0; tabs < 4 && QApplication::focusWidget() != form.Label4; ++tabs)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), form.Label4);
        platform.commands.clear();
        QTest::keyClick(form.Label4, activate);
        ASSERT_EQ(platform.commands.size(), 1u);
        EXPECT_EQ(platform.commands[0].line, "start mailto:autore@vortigo.example");
        EXPECT_TRUE(form.isVisible());  // Enter opened the link, not the OK button
    }
}

TEST_F(AboutWindow, TheLinksShowTheHandAndTheBackgroundTheArrow)
{
    moveOver(form.Label4);
    moveOver(&form);
    moveOver(form.Label3);
    EXPECT_EQ(platform.screenPointers, (std::vector<Pointer>{Pointer::Hand, Pointer::Arrow, Pointer::Hand}));
}

TEST_F(AboutWindow, OkClosesTheModalWindow)
{
    bool sawModalAbout = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<Form3*>(QApplication::activeModalWidget());
        sawModalAbout = about != nullptr;
        if (about)
            about->Command3d1->click();
    });
    showAbout(platform, QCursor(Qt::PointingHandCursor));
    EXPECT_TRUE(sawModalAbout);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(platform.commands.empty());
}

}  // namespace
}  // namespace vortigo
