// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a screen of pixel ratio 2: the grid's image follows the
// screen, a press in logical pixels still finds its cell, and a window that
// arrives from a 1x screen is drawn again at the new ratio.
#include "tests/app/form1_fixture.h"

#include "core/palette.h"

#include <QTest>

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, OnATwiceDenseScreenTheGridFollowsTheRatioAndClicksFindTheirCells)
{
    Form1& f = open();
    ASSERT_EQ(f.clientArea()->devicePixelRatioF(), 2.0);
    QTest::keyClick(&f, Qt::Key_F2);
    const GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    EXPECT_EQ(f.surface().image().size(), QSize(680, 620) * 2);

    const Cell c = letterCell(s, 0, 1);
    QTest::mouseClick(f.clientArea(), Qt::LeftButton, {}, centre(c));
    EXPECT_EQ(s.CellMark(c.col, c.row), 2);
    EXPECT_EQ(s.Score, 50);
    const QPoint inside(2 * (s.MarginX + (c.col - 1) * s.CellSize + 3), 2 * (s.MarginY + (c.row - 1) * s.CellSize + 3));
    EXPECT_EQ(f.surface().image().pixelColor(inside), qc(kRed));

    // As if the window had been on a 1x screen until now: the next paint
    // notices the screen's ratio and draws the whole round again from the game.
    f.surface().setDevicePixelRatio(1.0);
    EXPECT_EQ(f.surface().image().size(), QSize(680, 620));
    f.clientArea()->repaint();
    EXPECT_EQ(f.surface().devicePixelRatio(), 2.0);
    EXPECT_EQ(f.surface().image().pixelColor(inside), qc(kRed));
    EXPECT_EQ(f.surface().image().pixelColor(2 * (s.MarginX - 3), 2 * s.MarginY), qc(kRed));
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
