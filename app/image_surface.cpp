// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_surface.h"

#include "core/palette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace vortigo {

namespace {

QColor qcolour(int colour)
{
    const Rgb c = paletteRgb(colour);
    return QColor(c.r, c.g, c.b);
}

int px(double v)
{
    return static_cast<int>(std::lround(v));
}

// Points are measured at 96 dots per inch, as the game was laid out.
constexpr int kDotsPerMeter = 3780;

}  // namespace

ImageSurface::ImageSurface()
{
    m_image = blankImage();
    m_font.setBold(true);
}

QImage ImageSurface::blankImage() const
{
    QImage image(static_cast<int>(std::ceil(m_width * m_ratio)), static_cast<int>(std::ceil(m_height * m_ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(m_ratio);
    // Points are measured at 96 dots per logical inch, whatever the ratio.
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(qcolour(m_back));
    return image;
}

void ImageSurface::setDevicePixelRatio(double ratio)
{
    if (!(ratio > 0) || ratio == m_ratio)
        return;
    finishPainting();
    m_ratio = ratio;
    m_image = blankImage();
    m_metrics.reset();
    changed();
}

QPainter& ImageSurface::painter()
{
    if (!m_painter.isActive()) {
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
    }
    return m_painter;
}

void ImageSurface::finishPainting() const
{
    if (m_painter.isActive())
        m_painter.end();
}

const QImage& ImageSurface::image() const
{
    finishPainting();
    return m_image;
}

void ImageSurface::resize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_width && height == m_height)
        return;
    finishPainting();
    m_width = width;
    m_height = height;
    QImage grown = blankImage();
    QPainter p(&grown);
    p.drawImage(0, 0, m_image);
    p.end();
    m_image = grown;
    m_metrics.reset();
    changed();
}

void ImageSurface::clear()
{
    finishPainting();
    m_image.fill(qcolour(m_back));
    changed();
}

void ImageSurface::fillRect(double x1, double y1, double x2, double y2, int colour)
{
    QPainter& p = painter();
    p.fillRect(QRect(QPoint(px(std::min(x1, x2)), px(std::min(y1, y2))), QPoint(px(std::max(x1, x2)), px(std::max(y1, y2)))),
               qcolour(colour));
    changed();
}

void ImageSurface::outlineRect(double x1, double y1, double x2, double y2, int colour)
{
    QPainter& p = painter();
    const QColor c = qcolour(colour);
    const int l = std::min(px(x1), px(x2)), t = std::min(px(y1), px(y2));
    const int r = std::max(px(x1), px(x2)), b = std::max(px(y1), px(y2));
    // Both corners included. Each side is a filled strip one logical pixel
    // wide, so at any pixel ratio it covers whole device pixels exactly where
    // the cells' fills meet it, instead of a hairline.
    p.fillRect(QRect(l, t, r - l + 1, 1), c);
    p.fillRect(QRect(l, b, r - l + 1, 1), c);
    p.fillRect(QRect(l, t, 1, b - t + 1), c);
    p.fillRect(QRect(r, t, 1, b - t + 1), c);
    changed();
}

void ImageSurface::setFont(const std::string& name, double points, bool bold)
{
    m_font = QFont(QString::fromStdString(name));
    m_font.setPointSizeF(points);
    m_font.setBold(bold);
    m_metrics.reset();
}

const QFontMetricsF& ImageSurface::metrics()
{
    if (!m_metrics)
        m_metrics.emplace(m_font, &m_image);
    return *m_metrics;
}

double ImageSurface::textWidth(const std::string& text)
{
    return metrics().horizontalAdvance(QString::fromStdString(text));
}

double ImageSurface::textHeight(const std::string&)
{
    return metrics().height();
}

void ImageSurface::drawText(double x, double y, const std::string& text, int colour)
{
    QPainter& p = painter();
    p.setFont(m_font);
    p.setPen(qcolour(colour));
    p.drawText(QPointF(x, y + metrics().ascent()), QString::fromStdString(text));
    changed();
}

void ImageSurface::changed()
{
    if (m_changed)
        m_changed();
}

}  // namespace vortigo
