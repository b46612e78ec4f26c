// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_surface.h"

#include "core/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegion>

#include <cmath>
#include <utility>

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
    m_letters.clear();
    changedAll();
}

QPainter& ImageSurface::painter() const
{
    if (!m_painter.isActive()) {
        makeImage();
        // The painter works in device pixels: fills are then whole runs of
        // pixels, and letters are placed pictures, at any ratio.
        m_image.setDevicePixelRatio(1.0);
        m_painter.begin(&m_image);
    }
    return m_painter;
}

void ImageSurface::wipePending() const
{
    if (m_pending.isEmpty())
        return;
    const QRect area = m_pending;
    m_pending = QRect();
    painter().fillRect(toDevice(area), qcolour(m_pendingColour));
}

void ImageSurface::finishPainting() const
{
    wipePending();
    if (m_painter.isActive()) {
        m_painter.end();
        m_image.setDevicePixelRatio(m_ratio);
    }
}

int ImageSurface::toDevice(double logical) const
{
    // Edges on a half pixel go right and down, as Qt's own scaled fills do.
    return static_cast<int>(std::floor(logical * m_ratio + 0.5));
}

QRect ImageSurface::toDevice(const QRect& logical) const
{
    return QRect(QPoint(toDevice(logical.left()), toDevice(logical.top())),
                 QPoint(toDevice(logical.left() + logical.width()) - 1, toDevice(logical.top() + logical.height()) - 1));
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
            // Wiped when next drawn on, except where the next fill covers it
            // anyway, as a new grid's frame covers most of the last grid.
            m_pending = area;
            m_pendingColour = m_back;
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
    const QRect area(QPoint(px(std::min(x1, x2)), px(std::min(y1, y2))), QPoint(px(std::max(x1, x2)), px(std::max(y1, y2))));
    QPainter& p = painter();
    // Of what the last clear left to wipe, only what this fill leaves uncovered.
    for (const QRect& rest : QRegion(m_pending).subtracted(area))
        p.fillRect(toDevice(rest), qcolour(m_pendingColour));
    m_pending = QRect();
    p.fillRect(toDevice(area), qcolour(colour));
    changed(area);
}

void ImageSurface::outlineRect(double x1, double y1, double x2, double y2, int colour)
{
    wipePending();
    QPainter& p = painter();
    const QColor c = qcolour(colour);
    const int l = std::min(px(x1), px(x2)), t = std::min(px(y1), px(y2));
    const int r = std::max(px(x1), px(x2)), b = std::max(px(y1), px(y2));
    // Both corners included. Each side is a filled strip one logical pixel
    // wide, so at any pixel ratio it covers whole device pixels exactly where
    // the cells' fills meet it, instead of a hairline.
    p.fillRect(toDevice(QRect(l, t, r - l + 1, 1)), c);
    p.fillRect(toDevice(QRect(l, b, r - l + 1, 1)), c);
    p.fillRect(toDevice(QRect(l, t, 1, b - t + 1)), c);
    p.fillRect(toDevice(QRect(r, t, 1, b - t + 1)), c);
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
        m_letters.clear();
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
    wipePending();
    const double h = metrics().height();
    // The grid shows the same few letters hundreds of times, and large
    // letters are drawn as outlines every time: each letter is drawn once per
    // colour and position within a device pixel, then only copied. A quarter
    // of a device pixel is as close as the eye can tell.
    // A device coordinate as whole pixels and the nearest quarter beyond them.
    const auto split = [](double device) {
        const long quarters = std::lround(device * 4);
        return std::pair{static_cast<int>(quarters >> 2), static_cast<int>(quarters & 3)};
    };
    const auto [ix, qx] = split(x * m_ratio);
    const auto [iy, qy] = split(y * m_ratio);
    const LetterKey key{QString::fromStdString(text), colour, qx, qy};
    auto known = m_letters.constFind(key);
    if (known == m_letters.constEnd()) {
        if (m_letters.size() >= kMaxLetters)
            m_letters.clear();
        known = m_letters.insert(key, letterImage(key, textWidth(text), h));
    }
    if (!known->image.isNull())
        painter().drawImage(QPoint(ix, iy) + known->offset, known->image);
    // Glyphs may reach a little beyond their advance; half the line height
    // either side covers that.
    changed(QRectF(x - h / 2, y - 2, textWidth(text) + h, h + 4));
}

ImageSurface::Letter ImageSurface::letterImage(const LetterKey& key, double advance, double lineHeight) const
{
    // Room for glyphs reaching past their advance, as drawText reports.
    const int mx = static_cast<int>(std::ceil(lineHeight / 2 * m_ratio)), my = static_cast<int>(std::ceil(2 * m_ratio));
    QImage image(static_cast<int>(std::ceil((advance + lineHeight) * m_ratio)) + 2,
                 static_cast<int>(std::ceil((lineHeight + 4) * m_ratio)) + 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(m_ratio);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(m_font);
    p.setPen(qcolour(key.colour));
    QStaticText layout(key.text);
    layout.setTextFormat(Qt::PlainText);
    p.drawStaticText(QPointF((mx + key.quarterX / 4.0) / m_ratio, (my + key.quarterY / 4.0) / m_ratio), layout);
    p.end();
    // Only the inked part is kept, so copying it blends no empty pixels.
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    Letter letter;
    if (right >= 0) {
        letter.image = image.copy(left, top, right - left + 1, bottom - top + 1);
        // Copied pixel for pixel onto the grid's device pixels.
        letter.image.setDevicePixelRatio(1.0);
        letter.offset = QPoint(left - mx, top - my);
    }
    return letter;
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
