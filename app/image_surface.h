// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's drawing surface: a backing image the main window paints from,
// so whatever was drawn survives being covered by dialogs and repaints.
// Drawing is in logical pixels (the game's units); the image itself holds
// device pixels at the screen's pixel ratio, so letters and lines are drawn
// at the screen's full detail rather than enlarged afterwards.
#pragma once

#include "core/platform.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStaticText>

#include <functional>
#include <optional>

namespace vortigo {

class ImageSurface : public Surface {
public:
    ImageSurface();

    /// Grows or shrinks the image, keeping what was drawn where it still fits.
    void resize(int width, int height);
    /// Device pixels per logical pixel. A new ratio starts a blank image of
    /// the same logical size: the caller draws everything again.
    void setDevicePixelRatio(double ratio);
    double devicePixelRatio() const { return m_ratio; }
    /// The picture as drawn so far (finishes any drawing still in progress).
    const QImage& image() const;
    /// True while nothing but clearing has happened: the whole surface is
    /// plainColour() and no image is held yet (the title screen needs none).
    bool isPlain() const { return m_image.isNull(); }
    QColor plainColour() const;
    /// Called after every drawing operation with the logical area it touched,
    /// so that only that area is painted again.
    void setChangedCallback(std::function<void(const QRect&)> changed) { m_changed = std::move(changed); }

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    void setBackColour(int colour) override { m_back = colour; }
    void clear() override;
    void fillRect(double x1, double y1, double x2, double y2, int colour) override;
    void outlineRect(double x1, double y1, double x2, double y2, int colour) override;
    void setFont(const std::string& name, double points, bool bold) override;
    double textWidth(const std::string& text) override;
    double textHeight(const std::string& text) override;
    void drawText(double x, double y, const std::string& text, int colour) override;

private:
    void changed(const QRectF& area);
    void changedAll();
    const QFontMetricsF& metrics();
    QPainter& painter() const;
    void wipePending() const;
    void finishPainting() const;
    void makeImage() const;
    int toDevice(double logical) const;
    QRect toDevice(const QRect& logical) const;
    QImage blankImage(int colour) const;

    int m_width = 1;   ///< logical size
    int m_height = 1;
    double m_ratio = 1.0;
    // Null until something is drawn; until then the surface is m_plain all over.
    mutable QImage m_image;
    int m_plain = 15;
    // The image is colour m_uniform everywhere outside m_drawn (logical pixels).
    mutable int m_uniform = 15;
    mutable QRect m_drawn;
    // What the last clear still has to wipe, in colour m_pendingColour.
    mutable QRect m_pending;
    int m_pendingColour = 15;
    // One painter stays open across a run of operations (a whole grid is
    // hundreds of them); it is closed before anyone reads or resizes the image.
    mutable QPainter m_painter;
    QFont m_font;
    std::optional<QFontMetricsF> m_metrics;  ///< of m_font on this image, kept between letters
    // The grid's letters in the current font, drawn once each per colour and
    // quarter of a device pixel, ready to be copied.
    struct LetterKey {
        QString text;
        int colour;
        int quarterX;
        int quarterY;
        bool operator==(const LetterKey&) const = default;
    };
    friend size_t qHash(const LetterKey& key, size_t seed = 0)
    {
        return qHashMulti(seed, key.text, key.colour, key.quarterX, key.quarterY);
    }
    static constexpr qsizetype kMaxLetters = 1024;
    struct Letter {
        QImage image;   ///< the inked pixels only; null for a blank
        QPoint offset;  ///< of the image from the text's position, in device pixels
    };
    Letter letterImage(const LetterKey& key, double advance, double lineHeight) const;
    QHash<LetterKey, Letter> m_letters;
    QHash<QString, double> m_widths;
    int m_back = 15;
    std::function<void(const QRect&)> m_changed;
};

}  // namespace vortigo
