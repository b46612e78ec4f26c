// SPDX-License-Identifier: GPL-3.0-or-later
// The grid as drawn from the game's state: the same picture a round's clicks
// painted, and at twice the pixel ratio twice the detail.
#include "tests/app/form1_fixture.h"

#include "app/image_surface.h"
#include "core/palette.h"
#include "core/round_drawing.h"

#include <QTest>

using namespace vortigo;
using namespace vortigo::test;

namespace {

QImage drawnAfresh(Form1& f, double ratio)
{
    ImageSurface surface;
    surface.setDevicePixelRatio(ratio);
    surface.resize(f.clientArea()->width(), f.clientArea()->height());
    drawRound(surface, f.game());
    return surface.image();
}

}  // namespace

TEST_F(Form1Test, DrawingTheRoundAfreshGivesExactlyThePictureItsClicksPainted)
{
    Form1& f = open();
    startGame();
    GameState& s = f.state();
    // A letter clicked once (red), one clicked twice (white), a whole word found (yellow).
    const std::size_t length0 = s.WordList(0).size();
    for (std::size_t k = 1; k <= length0; ++k)
        clickCell(letterCell(s, 0, static_cast<int>(k)));
    clickCell(letterCell(s, 2, 1));
    clickCell(letterCell(s, 3, 2));
    clickCell(letterCell(s, 3, 2));
    ASSERT_TRUE(f.wordFound(0));
    EXPECT_TRUE(drawnAfresh(f, 1.0) == f.surface().image());
}

TEST_F(Form1Test, AtPixelRatioTwoTheGridHasTwiceTheDetailNotDoubledPixels)
{
    Form1& f = open();
    startGame();
    const GameState& s = f.state();
    const QImage one = drawnAfresh(f, 1.0);
    const QImage two = drawnAfresh(f, 2.0);
    ASSERT_EQ(two.size(), one.size() * 2);

    // The red frame and the white background land on the same logical pixels.
    for (const auto& [x, colour] : {std::pair{s.MarginX - 3, kRed}, {s.MarginX - 1, kWhite}}) {
        const int y = s.MarginY + 10;
        EXPECT_EQ(one.pixelColor(x, y), qc(colour));
        for (int dx = 0; dx < 2; ++dx)
            EXPECT_EQ(two.pixelColor(2 * x + dx, 2 * y), qc(colour)) << x;
    }

    // Within the grid, a picture merely enlarged from ratio 1 would have every
    // pair of device columns (2x, 2x + 1) alike; drawn at ratio 2 the letters'
    // edges fall between them in many places.
    const int left = 2 * s.MarginX, right = 2 * (s.MarginX + s.CellSize * s.GridCols);
    const int top = 2 * s.MarginY, bottom = 2 * (s.MarginY + s.CellSize * s.GridRows);
    int differingPairs = 0;
    for (int x = left; x + 1 < right; x += 2)
        for (int y = top; y < bottom; ++y)
            if (two.pixel(x, y) != two.pixel(x + 1, y)) {
                ++differingPairs;
                break;
            }
    const int pairs = (right - left) / 2;
    EXPECT_GT(differingPairs, pairs / 4) << "of " << pairs << " column pairs";
}
