// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_design.h"

#include "widgets/game_fonts.h"
#include "core/palette.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace vortigo {

int tw(int twips)
{
    return (twips + 7) / 15;
}

QRect twipRect(int left, int top, int width, int height)
{
    return QRect(tw(left), tw(top), tw(width), tw(height));
}

QFont tahoma(double points, bool bold, bool underline)
{
    registerGameFonts();
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QFont fixedPitchFont(double points, bool bold)
{
    QFont f(fixedPitchFamily());
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QColor paletteColour(int colour)
{
    const Rgb c = paletteRgb(colour);
    return QColor(c.r, c.g, c.b);
}

void setColours(QWidget* widget, const QColor& text, const QColor& back)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Window, back);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void nameControls(std::initializer_list<std::pair<QWidget*, const char*>> controls)
{
    for (auto [control, name] : controls)
        control->setObjectName(QString::fromLatin1(name));
}

QLabel* makePicture(QWidget* parent, const QString& resource, const QRect& where, const QString& toolTip)
{
    auto* picture = new QLabel(parent);
    picture->setGeometry(where);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setToolTip(toolTip);
    const QPixmap pixmap(resource);
    if (!pixmap.isNull())
        picture->setPixmap(pixmap);
    return picture;
}

QPoint centredFramePosition(const QRect& area, const QSize& inner, const QMargins& frame)
{
    const int outerWidth = inner.width() + frame.left() + frame.right();
    const int outerHeight = inner.height() + frame.top() + frame.bottom();
    return {area.x() + (area.width() - outerWidth) / 2, area.y() + (area.height() - outerHeight) / 2};
}

namespace {

QMargins frameOf(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

}  // namespace

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    // move() places the outer frame, title bar included, so the frame is what
    // gets centred. A window not shown yet has no frame: it will get the one
    // the window manager gives the game's other windows.
    QMargins frame = frameOf(window);
    if (frame.isNull() && !window->isVisible())
        for (const QWidget* other : QApplication::topLevelWidgets())
            if (other != window && other->isVisible() && !frameOf(other).isNull()) {
                frame = frameOf(other);
                break;
            }
    window->move(centredFramePosition(screen->geometry(), window->size(), frame));
}

}  // namespace vortigo
