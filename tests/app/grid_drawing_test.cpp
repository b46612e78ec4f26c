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

TEST(ImageSurface, DrawsWhatQtDrawsOnAnImageOfTheSameRatio)
{
    // Fills, outlines and letters land on exactly the device pixels Qt's own
    // scaled painting gives, at whole and fractional ratios, and a clear
    // wipes what an earlier round left wherever the new drawing does not cover it.
    for (const double ratio : {1.0, 1.5, 2.0}) {
        ImageSurface surface;
        surface.setDevicePixelRatio(ratio);
        surface.resize(60, 40);
        surface.setBackColour(kWhite);
        surface.clear();
        surface.fillRect(1, 1, 58, 38, kGreen);
        surface.clear();
        surface.fillRect(3, 4, 20, 15, kRed);
        surface.outlineRect(24, 3, 31, 17, kBlack);
        surface.setFont("Tahoma", 14, true);
        surface.drawText(33.5, 9, "W", kBlue);
        surface.drawText(5, 19, "Q", kBlack);
        const QImage drawn = surface.image();

        QImage expected(static_cast<int>(60 * ratio), static_cast<int>(40 * ratio), QImage::Format_RGB32);
        expected.setDevicePixelRatio(ratio);
        expected.setDotsPerMeterX(3780);
        expected.setDotsPerMeterY(3780);
        expected.fill(qc(kWhite));
        QPainter p(&expected);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.fillRect(QRect(QPoint(3, 4), QPoint(20, 15)), qc(kRed));
        for (const QRect& side : {QRect(24, 3, 8, 1), QRect(24, 17, 8, 1), QRect(24, 3, 1, 15), QRect(31, 3, 1, 15)})
            p.fillRect(side, qc(kBlack));
        QFont font("Tahoma");
        font.setPointSizeF(14);
        font.setBold(true);
        p.setFont(font);
        for (const auto& [at, text, colour] : {std::tuple{QPointF(33.5, 9), "W", kBlue}, {QPointF(5, 19), "Q", kBlack}}) {
            p.setPen(qc(colour));
            p.drawStaticText(at, QStaticText(text));
        }
        p.end();

        ASSERT_EQ(drawn.size(), expected.size()) << ratio;
        int worst = 0, inked = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor a = drawn.pixelColor(x, y), b = expected.pixelColor(x, y);
                worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                  std::abs(a.blue() - b.blue())});
                inked += b != qc(kWhite) && b != qc(kRed);
            }
        EXPECT_EQ(worst, 0) << "ratio " << ratio;
        EXPECT_GT(inked, 100 * ratio * ratio) << "ratio " << ratio;
    }
}
