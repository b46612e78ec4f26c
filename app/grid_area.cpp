// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_area.h"

#include "core/selection.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

namespace vortigo {

GridArea::GridArea(ImageSurface& surface, const Game& game, QWidget* parent)
    : QWidget(parent), m_surface(surface), m_game(game)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Only what was drawn is painted again: a click repaints its cell.
    m_surface.setChangedCallback([this](const QRect& area) { update(area); });
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
    if (m_surface.isPlain())
        p.fillRect(area, m_surface.plainColour());
    else
        p.drawImage(area, m_surface.image(),
                    QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio));
    if (hasFocus() && m_game.gridShown()) {
        // Two logical pixels of light blue over the cell's border, lined with
        // white inside, so the ring shows on every paint of a cell (white,
        // red, yellow).
        const QRectF ring = QRectF(cellRect(m_focus)).adjusted(1, 1, -1, -1);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0, 0, 255), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(ring);
        p.setPen(QPen(Qt::white, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.drawRect(ring.adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

QRect GridArea::cellRect(Cell cell) const
{
    const GameState& s = m_game.state();
    return QRect(s.MarginX + (cell.col - 1) * s.CellSize, s.MarginY + (cell.row - 1) * s.CellSize, s.CellSize,
                 s.CellSize);
}

void GridArea::resetFocusCell()
{
    moveFocus({1, 1});
}

void GridArea::moveFocus(Cell cell)
{
    const GameState& s = m_game.state();
    cell.col = std::clamp(cell.col, 1, std::max<int>(s.GridCols, 1));
    cell.row = std::clamp(cell.row, 1, std::max<int>(s.GridRows, 1));
    if (cell == m_focus)
        return;
    update(cellRect(m_focus));
    m_focus = cell;
    update(cellRect(m_focus));
    if (onFocusMove)
        onFocusMove();
}

void GridArea::keyPressEvent(QKeyEvent* event)
{
    if (!m_game.gridShown()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const GameState& s = m_game.state();
    switch (event->key()) {
    case Qt::Key_Left:
        moveFocus({m_focus.col - 1, m_focus.row});
        break;
    case Qt::Key_Right:
        moveFocus({m_focus.col + 1, m_focus.row});
        break;
    case Qt::Key_Up:
        moveFocus({m_focus.col, m_focus.row - 1});
        break;
    case Qt::Key_Down:
        moveFocus({m_focus.col, m_focus.row + 1});
        break;
    case Qt::Key_Home:
        moveFocus({1, m_focus.row});
        break;
    case Qt::Key_End:
        moveFocus({s.GridCols, m_focus.row});
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held key is one press, as a held mouse button is one click.
        if (!event->isAutoRepeat() && onSelect)
            onSelect(m_focus);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void GridArea::focusInEvent(QFocusEvent* event)
{
    update(cellRect(m_focus));
    QWidget::focusInEvent(event);
    // Qt reports the focus on the whole table right after this event; the
    // ring's cell is reported once that is done, so it is what a screen
    // reader hears last.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (hasFocus() && onFocusMove)
                onFocusMove();
        },
        Qt::QueuedConnection);
}

void GridArea::focusOutEvent(QFocusEvent* event)
{
    update(cellRect(m_focus));
    QWidget::focusOutEvent(event);
}

void GridArea::mousePressEvent(QMouseEvent* event)
{
    // The ring follows the mouse, so keys go on from the cell last clicked.
    if (m_game.gridShown())
        if (const std::optional<Cell> cell = cellFromPointer(m_game.state(), event->position().x(), event->position().y()))
            moveFocus(*cell);
    if (onPress)
        onPress(buttonOf(event->button()), modifiersOf(event->modifiers()), event->position().x(), event->position().y());
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

Button buttonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return Button::Left;
    case Qt::RightButton:
        return Button::Right;
    case Qt::MiddleButton:
        return Button::Middle;
    default:
        return Button::Other;
    }
}

Modifiers modifiersOf(Qt::KeyboardModifiers modifiers)
{
    return {.shift = modifiers.testFlag(Qt::ShiftModifier),
            .ctrl = modifiers.testFlag(Qt::ControlModifier),
            .alt = modifiers.testFlag(Qt::AltModifier)};
}

}  // namespace vortigo
