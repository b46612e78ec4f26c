// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's client area: paints the grid's backing image and hands
// presses and moves, in client pixels, to the window's handlers. Positions
// are logical pixels at any screen density; the backing image follows the
// screen's pixel ratio, and is drawn afresh when the window meets a screen
// of another ratio.
#pragma once

#include "app/image_surface.h"

#include <QWidget>

#include <functional>

namespace vortigo {

class GridArea : public QWidget {
public:
    GridArea(ImageSurface& surface, QWidget* parent);

    std::function<void(int button, int shift, double x, double y)> onPress;
    std::function<void()> onMove;
    std::function<void()> onResize;
    /// The screen's pixel ratio differs from the image's: draw everything again.
    std::function<void()> onRatioChange;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void followPixelRatio();

    ImageSurface& m_surface;
};

/// Button and modifier numbers as the handlers take them: buttons 1 left,
/// 2 right, 4 middle; modifiers summed, 1 Shift, 2 Ctrl, 4 Alt.
int buttonNumber(Qt::MouseButton button);
int shiftNumber(Qt::KeyboardModifiers modifiers);

}  // namespace vortigo
