// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's client area: paints the grid's backing image and hands
// presses and moves, in client pixels, to the window's handlers. Positions
// are logical pixels at any screen density; the backing image follows the
// screen's pixel ratio, and is drawn afresh when the window meets a screen
// of another ratio.
//
// The grid also plays from the keyboard: it takes the focus, a ring shows
// the cell the player is on, the arrows move the ring (stopping at the
// grid's edges), Home and End go to the row's ends, and Space or Enter play
// the ring's cell as a left click on it does. The ring is drawn over the
// backing image, never into it.
#pragma once

#include "app/image_surface.h"
#include "core/game.h"
#include "core/word_placement.h"

#include <QWidget>

#include <functional>

namespace vortigo {

class GridArea : public QWidget {
public:
    GridArea(ImageSurface& surface, const Game& game, QWidget* parent);

    std::function<void(Button button, Modifiers modifiers, double x, double y)> onPress;
    /// Space or Enter on the ring's cell.
    std::function<void(Cell cell)> onSelect;
    std::function<void()> onMove;
    std::function<void()> onResize;
    /// The screen's pixel ratio differs from the image's: draw everything again.
    std::function<void()> onRatioChange;

    /// The focus ring moved to another cell.
    std::function<void()> onFocusMove;

    /// The cell the focus ring is on, and putting it back on the top-left cell.
    Cell focusCell() const { return m_focus; }
    void resetFocusCell();
    /// A cell's square, in the pixels presses arrive in.
    QRect cellRect(Cell cell) const;
    const Game& game() const { return m_game; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void followPixelRatio();
    void moveFocus(Cell cell);

    ImageSurface& m_surface;
    const Game& m_game;
    Cell m_focus{1, 1};
};

/// Qt's button and modifier keys as the game takes them.
Button buttonOf(Qt::MouseButton button);
Modifiers modifiersOf(Qt::KeyboardModifiers modifiers);

}  // namespace vortigo
