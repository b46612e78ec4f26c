// The About window, driven offscreen through its handlers and real events.
#include "info/form3.h"

#include "info/links.h"
#include "tests/support/fake_platform.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace vortigo {
namespace {

using test::FakePlatform;

// One application for the whole run, created on first use so that listing the
// tests needs none; it lives until the process ends.
struct Application {
    Application()
    {
        static int argc = 1;
        static char name[] = "info_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv);
    }
};

class AboutWindow : public ::testing::Test {
protected:
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

    Application application;
    FakePlatform platform;
    QCursor hand{Qt::PointingHandCursor};
};

TEST_F(AboutWindow, ShowsItsDesignTexts)
{
    Form3 form(platform, hand);
    EXPECT_EQ(form.windowTitle(), "Vortigo - About");
    EXPECT_EQ(form.size(), QSize(394, 262));
    EXPECT_EQ(form.Label5->text(), "Informazioni");
    EXPECT_DOUBLE_EQ(form.Label5->font().pointSizeF(), 15.75);
    EXPECT_TRUE(form.Label5->font().bold());
    EXPECT_EQ(form.Command3d1->text(), "&OK");
    EXPECT_EQ(form.Picture1->toolTip(), "Vortigo 2000");
    EXPECT_EQ(form.Picture2->toolTip(), "Software Italiano");
    EXPECT_EQ(form.Label3->text(), "vortigo.example");
    EXPECT_EQ(form.Label3->toolTip(), "Per visitare l'home page dell'autore");
    EXPECT_EQ(form.Label4->text(), "E-Mail: autore@vortigo.example");
    EXPECT_EQ(form.Label4->toolTip(), "Scrivi all'autore");
    for (const QLabel* link : {form.Label3, form.Label4}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_FALSE(link->font().bold());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }
}

TEST_F(AboutWindow, TheMailAddressFitsItsLabelWithoutCoveringTheHomePage)
{
    Form3 form(platform, hand);
    const QFontMetrics metrics(form.Label4->font());
    EXPECT_GE(form.Label4->width(), metrics.horizontalAdvance(form.Label4->text()));
    EXPECT_GT(form.Label4->geometry().left(), form.Label3->geometry().right());
    EXPECT_EQ(form.Label4->geometry().right(), 364);
}

TEST_F(AboutWindow, ClickingTheMailLabelStartsTheMailProgramAndTheWindowStaysOpen)
{
    Form3 form(platform, hand);
    form.show();
    click(form.Label4);
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].line, "start mailto:autore@vortigo.example");
    EXPECT_EQ(platform.commands[0].style, 2);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(AboutWindow, ClickingTheHomePageLabelOpensTheHomePageLikeTheMenu)
{
    Form3 form(platform, hand);
    form.show();
    click(form.Label3);
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].line, "start https://vortigo.example/");
    EXPECT_EQ(platform.commands[0].style, 2);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(AboutWindow, LeavingTheMailLabelForTheBackgroundBringsBackTheArrow)
{
    Form3 form(platform, hand);
    moveOver(form.Label4);
    moveOver(&form);
    moveOver(form.Label3);
    EXPECT_EQ(platform.screenPointers, (std::vector<Pointer>{Pointer::Hand, Pointer::Arrow, Pointer::Hand}));
}

TEST_F(AboutWindow, OkClosesTheModalWindow)
{
    bool sawModalAbout = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<Form3*>(QApplication::activeModalWidget());
        sawModalAbout = form != nullptr;
        if (form)
            form->Command3d1->click();
    });
    showAbout(platform, hand);
    EXPECT_TRUE(sawModalAbout);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(platform.commands.empty());
}

}  // namespace
}  // namespace vortigo
