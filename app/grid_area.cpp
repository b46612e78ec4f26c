// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_area.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace vortigo {

GridArea::GridArea(ImageSurface& surface, QWidget* parent) : QWidget(parent), m_surface(surface)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setChangedCallback([this] { update(); });
}

void GridArea::followPixelRatio()
{
    if (devicePixelRatioF() == m_surface.devicePixelRatio())
        return;
    m_surface.setDevicePixelRatio(devicePixelRatioF());
    if (onRatioChange)
        onRatioChange();
}

void GridArea::showEvent(QShowEvent*)
{
    // A window moved to another screen reports it on its native window.
    if (QWindow* w = window()->windowHandle())
        connect(w, &QWindow::screenChanged, this, &GridArea::followPixelRatio, Qt::UniqueConnection);
    followPixelRatio();
}

void GridArea::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ScreenChangeInternal)
        followPixelRatio();
    QWidget::changeEvent(event);
}

void GridArea::paintEvent(QPaintEvent* event)
{
    followPixelRatio();
    QPainter p(this);
    const QRectF area = event->rect();
    const double ratio = m_surface.devicePixelRatio();
    p.drawImage(area, m_surface.image(),
                QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
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
