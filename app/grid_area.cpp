// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_area.h"

#include <QMouseEvent>
#include <QPainter>

namespace vortigo {

GridArea::GridArea(ImageSurface& surface, QWidget* parent) : QWidget(parent), m_surface(surface)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setChangedCallback([this] { update(); });
}

void GridArea::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.drawImage(event->rect(), m_surface.image(), event->rect());
}

void GridArea::mousePressEvent(QMouseEvent* event)
{
    if (onPress)
        onPress(buttonNumber(event->button()), shiftNumber(event->modifiers()), event->position().x(),
                event->position().y());
}

void GridArea::mouseMoveEvent(QMouseEvent*)
{
    if (onMove)
        onMove();
}

void GridArea::resizeEvent(QResizeEvent*)
{
    m_surface.resize(width(), height());
    if (onResize)
        onResize();
}

int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int shiftNumber(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) + (modifiers & Qt::ControlModifier ? 2 : 0)
        + (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace vortigo
