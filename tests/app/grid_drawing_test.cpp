// SPDX-License-Identifier: GPL-3.0-or-later
// The backing image draws exactly what Qt's own painting at the same pixel ratio gives.
#include "tests/app/form1_fixture.h"

#include "app/image_surface.h"

using namespace vortigo;
using namespace vortigo::test;

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

        // A window made larger keeps what was drawn, the new room in the background colour.
        surface.resize(90, 60);
        const QImage grown = surface.image();
        EXPECT_EQ(grown.copy(0, 0, drawn.width(), drawn.height()), drawn) << "ratio " << ratio;
        EXPECT_EQ(grown.pixelColor(grown.width() - 1, grown.height() - 1), qc(kWhite)) << "ratio " << ratio;
    }
}
