// SPDX-License-Identifier: GPL-3.0-or-later
// The About window, driven offscreen through real mouse and key events.
#include "info/form3.h"

#include "tests/support/fake_platform.h"
#include "tests/support/window_texts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

namespace vortigo {
namespace {

TEST(AboutWindow, LinksOpenByClickOrKeyboard)
{
    test::FakePlatform platform;
    const std::filesystem::path data = std::filesystem::temp_directory_path();
    const std::filesystem::path elsewhere = std::filesystem::current_path();
    Form3 form(platform, QCursor(Qt::PointingHandCursor), nullptr, data);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(form.windowTitle(), "Vortigo - About");
    EXPECT_EQ(form.Label3->text(), "vortigo.example");
    EXPECT_EQ(form.Label4->text(), "E-Mail: autore@vortigo.example");
    ASSERT_NE(form.creditsLink, nullptr);
    EXPECT_TRUE(form.creditsLink->text().contains("crediti"));
    // Each link blue and underlined, whole, inside the window, and clear of the others.
    for (const QLabel* link : {form.Label3, form.Label4, form.creditsLink}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        EXPECT_GE(link->width(), QFontMetrics(link->font()).horizontalAdvance(link->text()));
        EXPECT_TRUE(form.rect().contains(link->geometry()));
    }
    EXPECT_GT(form.Label4->geometry().left(), form.Label3->geometry().right());
    EXPECT_EQ(test::captionsOf(form), (std::map<std::string, std::string>{
        {"", "Vortigo - About"}, {"Label5", "Informazioni"}, {"Label3", "vortigo.example"},
        {"Label4", "E-Mail: autore@vortigo.example"}, {"creditsLink", "Licenza GPL e crediti"}, {"Command3d1", "&OK"}}));
    // Where each control was designed, in twips; the mail link, longer than its place, ends where it was to end.
    EXPECT_EQ(test::placesOf(form), (std::map<std::string, std::string>{
        {"Picture1", "420, 150, 465, 465"}, {"Label5", "930, 150, 4545, 465"}, {"Command3d1", "3000, 690, 2475, 915"},
        {"Picture2", "3000, 1800, 930, 735"}, {"Label3", "450, 2700, 1935, 255"}, {"Label4", "3090, 2700, 2385, 255"},
        {"creditsLink", "450, 3090, 5025, 255"}}));
    EXPECT_EQ(test::toolTipsOf(form), (std::map<std::string, std::string>{
        {"Picture1", "Vortigo 2000"}, {"Picture2", "Software Italiano"}, {"Label3", "Per visitare l'home page dell'autore"},
        {"Label4", "Scrivi all'autore"}, {"creditsLink", "Licenza del gioco e provenienza di dizionari e caratteri"}}));
    EXPECT_GT(form.creditsLink->geometry().top(), form.Label4->geometry().bottom());

    QTest::mouseMove(form.Label4, QPoint(2, 2));
    QTest::mouseMove(&form, QPoint(2, 2));
    QTest::mouseMove(form.creditsLink, QPoint(2, 2));
    EXPECT_EQ(platform.screenPointers, (std::vector<Pointer>{Pointer::Hand, Pointer::Arrow, Pointer::Hand}));

    const std::pair<QLabel*, const char*> links[] = {{form.Label4, "start mailto:autore@vortigo.example"},
        {form.Label3, "start https://vortigo.example/"}, {form.creditsLink, "start CREDITS.txt"}};
    form.Command3d1->setFocus();
    for (const auto& [label, line] : links) {
        for (int tabs = 0; tabs < 6 && QApplication::focusWidget() != label; ++tabs)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), label) << line;
        // The link Enter will open is the one framed, and only it.
        for (const QLabel* link : {form.Label3, form.Label4, form.creditsLink})
            EXPECT_EQ(link->frameShape() != QFrame::NoFrame, link == label) << line;
        QTest::keyClick(label, Qt::Key_Space);
        QTest::keyClick(label, Qt::Key_Return);  // the link, not the OK button
    }
    ASSERT_EQ(platform.commands.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(platform.commands[i].line, links[i / 2].second) << i;
        EXPECT_EQ(platform.commands[i].style, 2) << i;
    }
    // A mouse click opens the link clicked, each its own.
    for (const auto& [label, line] : links)
        QTest::mouseClick(label, Qt::LeftButton);
    ASSERT_EQ(platform.commands.size(), 9u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(platform.commands[6 + i].line, links[i].second) << i;
    EXPECT_TRUE(form.isVisible());
    QTest::mouseClick(form.Command3d1, Qt::LeftButton);
    EXPECT_TRUE(form.isHidden() && form.result() == QDialog::Accepted);
    // The credits open from the data folder, whatever the current folder was.
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(data));
    std::filesystem::current_path(elsewhere);
}

}  // namespace
}  // namespace vortigo
