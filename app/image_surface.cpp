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
    m_font.setBold(true);
}

QColor ImageSurface::plainColour() const
{
    return qcolour(m_plain);
}

void ImageSurface::makeImage() const
{
    if (m_image.isNull()) {
        m_image = blankImage(m_plain);
        m_uniform = m_plain;
        m_drawn = QRect();
    }
}

QImage ImageSurface::blankImage(int colour) const
{
    QImage image(static_cast<int>(std::ceil(m_width * m_ratio)), static_cast<int>(std::ceil(m_height * m_ratio)),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(m_ratio);
    // Points are measured at 96 dots per logical inch, whatever the ratio.
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    image.fill(qcolour(colour));
    return image;
}

void ImageSurface::setDevicePixelRatio(double ratio)
{
    if (!(ratio > 0) || ratio == m_ratio)
        return;
    finishPainting();
    m_ratio = ratio;
    if (!isPlain()) {
        m_image = blankImage(m_back);
        m_uniform = m_back;
        m_drawn = QRect();
    }
    m_metrics.reset();
    m_texts.clear();
    changedAll();
}

QPainter& ImageSurface::painter()
{
    if (!m_painter.isActive()) {
        makeImage();
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
    makeImage();
    return m_image;
}

void ImageSurface::resize(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == m_width && height == m_height)
        return;
    finishPainting();
    if (!isPlain() && m_back != m_uniform) {
        // What was uniform is now one colour inside the old size and another outside.
        m_drawn = QRect(0, 0, m_width, m_height);
        m_uniform = m_back;
    }
    m_width = width;
    m_height = height;
    if (!isPlain()) {
        QImage grown = blankImage(m_back);
        QPainter p(&grown);
        p.drawImage(0, 0, m_image);
        p.end();
        m_image = grown;
    }
    m_metrics.reset();
    changedAll();
}

void ImageSurface::clear()
{
    finishPainting();
    // A surface that has never been drawn on stays without an image.
    if (isPlain()) {
        m_plain = m_back;
        changedAll();
        return;
    }
    // Everything outside what was drawn since the last clear is still the
    // colour of that clear: clearing to the same colour again only has to
    // wipe (and repaint) what was drawn, the last grid rather than the window.
    if (m_back == m_uniform) {
        const QRect area = m_drawn.intersected(QRect(0, 0, m_width, m_height));
        if (!area.isEmpty()) {
            QPainter p(&m_image);
            p.fillRect(area, qcolour(m_back));
            p.end();
            changed(area);
        }
    } else {
        m_image.fill(qcolour(m_back));
        changedAll();
    }
    m_uniform = m_back;
    m_drawn = QRect();
}

void ImageSurface::fillRect(double x1, double y1, double x2, double y2, int colour)
{
    QPainter& p = painter();
    const QRect area(QPoint(px(std::min(x1, x2)), px(std::min(y1, y2))), QPoint(px(std::max(x1, x2)), px(std::max(y1, y2))));
    p.fillRect(area, qcolour(colour));
    changed(area);
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
    changed(QRectF(l, t, r - l + 1, b - t + 1));
}

void ImageSurface::setFont(const std::string& name, double points, bool bold)
{
    const QString family = QString::fromStdString(name);
    // Every repainted cell names the grid's font again: keep what was measured.
    if (m_metrics && m_font.family() == family && m_font.pointSizeF() == points && m_font.bold() == bold)
        return;
    m_font = QFont(family);
    m_font.setPointSizeF(points);
    m_font.setBold(bold);
    m_metrics.reset();
}

const QFontMetricsF& ImageSurface::metrics()
{
    if (!m_metrics) {
        makeImage();
        m_metrics.emplace(m_font, &m_image);
        m_texts.clear();
        m_widths.clear();
    }
    return *m_metrics;
}

double ImageSurface::textWidth(const std::string& text)
{
    const QFontMetricsF& m = metrics();
    const QString key = QString::fromStdString(text);
    auto known = m_widths.constFind(key);
    if (known == m_widths.constEnd())
        known = m_widths.insert(key, m.horizontalAdvance(key));
    return *known;
}

double ImageSurface::textHeight(const std::string&)
{
    return metrics().height();
}

void ImageSurface::drawText(double x, double y, const std::string& text, int colour)
{
    const QFontMetricsF& m = metrics();
    QPainter& p = painter();
    p.setFont(m_font);
    p.setPen(qcolour(colour));
    // Each letter is laid out once per font and then only placed: the grid
    // draws the same few letters hundreds of times.
    const QString key = QString::fromStdString(text);
    auto laid = m_texts.find(key);
    if (laid == m_texts.end()) {
        QStaticText layout(key);
        layout.setTextFormat(Qt::PlainText);
        layout.setPerformanceHint(QStaticText::AggressiveCaching);
        layout.prepare(p.transform(), m_font);
        laid = m_texts.insert(key, layout);
    }
    p.drawStaticText(QPointF(x, y), *laid);
    // Glyphs may reach a little beyond their advance; half the line height
    // either side covers that.
    const double h = m.height();
    changed(QRectF(x - h / 2, y - 2, textWidth(text) + h, h + 4));
}

void ImageSurface::changed(const QRectF& area)
{
    const QRect touched = area.toAlignedRect();
    m_drawn |= touched;
    if (m_changed)
        m_changed(touched);
}

void ImageSurface::changedAll()
{
    // Repaints everything; what the image holds is accounted for by the caller.
    if (m_changed)
        m_changed(QRect(0, 0, m_width, m_height));
}

}  // namespace vortigo
