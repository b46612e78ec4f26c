// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_design.h"

#include "widgets/game_fonts.h"
#include "core/palette.h"

#include <QGuiApplication>
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

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + (area.width() - window->width()) / 2, area.y() + (area.height() - window->height()) / 2);
}

}  // namespace vortigo
