// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on a screen of pixel ratio 2: the grid's image follows the
// screen with twice the detail, a press in logical pixels still finds its
// cell, and a window that arrives from a 1x screen is drawn again at the new ratio.
#include "tests/app/form1_fixture.h"

using namespace vortigo;
using namespace vortigo::test;

TEST_F(Form1Test, TheGridFollowsTheScreensPixelRatio)
{
    Form1& f = open();
    ASSERT_EQ(f.clientArea()->devicePixelRatioF(), 2.0);
    QTest::keyClick(&f, Qt::Key_F2);
    const GameState& s = f.state();
    ASSERT_EQ(s.Round, 1);
    const QImage& image = f.surface().image();
    EXPECT_EQ(image.size(), QSize(680, 620) * 2);

    // (How the image draws at ratio 2 is the image's own test.)
    const int left = 2 * s.MarginX, right = 2 * (s.MarginX + s.CellSize * s.GridCols);

    const Cell c = letterCell(s, 0, 1);
    clickCell(c);  // a press in logical pixels: its cell turns red
    const QPoint inside = cellBox(c).topLeft() + QPoint(3, 3);
    EXPECT_EQ(f.surface().image().pixelColor(inside * 2), qc(kRed));
    // What the screen shows is that image, device pixel for device pixel.
    const QImage shown = f.clientArea()->grab().toImage();
    ASSERT_EQ(shown.size(), image.size());
    // (Inside the clicked cell clear of the keyboard ring, and on the frame at both sides.)
    for (const QPoint p : {(inside + QPoint(2, 2)) * 2, QPoint(left - 6, 2 * s.MarginY), QPoint(right + 5, 2 * s.MarginY + 9)})
        EXPECT_EQ(shown.pixelColor(p), f.surface().image().pixelColor(p)) << p.x() << ", " << p.y();

    // As if the window had been on a 1x screen until now: the next paint
    // notices the screen's ratio and draws the whole round again from the game.
    f.surface().setDevicePixelRatio(1.0);
    EXPECT_EQ(f.surface().image().size(), QSize(680, 620));
    f.clientArea()->repaint();
    EXPECT_EQ(f.surface().devicePixelRatio(), 2.0);
    EXPECT_EQ(f.surface().image().pixelColor(inside * 2), qc(kRed));
    EXPECT_EQ(f.surface().image().pixelColor(2 * (s.MarginX - 3), 2 * s.MarginY), qc(kRed));
}
