// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting controls to their texts. The windows were designed for fonts that
// are narrower than the free look-alikes we draw with, so a caption at its
// design width can lose its last letters or wrap. Every control keeps its
// design place and grows only by what its text needs, measured from the
// font's metrics; what a grown control would then cover moves aside.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QFont;
class QLabel;
class QWidget;

namespace vortigo {

/// Room a text takes in a font: on one line, or, with a wrap width, broken
/// into lines at word boundaries no wider than that.
QSize textRoom(const QFont& font, const QString& text, int wrapWidth = 0);

/// The size a label needs to show its whole text at its current height: a
/// label that wraps keeps its height and grows only as wide as it must to
/// hold its lines in it.
QSize labelNeeds(const QLabel* label);

/// One control of a window being fitted.
struct FitBox {
    QRect design;            ///< where the design puts it
    QSize needed;            ///< what its content needs
    bool growsLeft = false;  ///< right-aligned text: the right edge stays
};

/// Where each control goes: it grows to what it needs; a box reaching down
/// into the control below it is cut back to that control's top (never below
/// what its text needs); a control that a grown one to its left would cover
/// moves right, and so do the ones its move would cover.
std::vector<QRect> fittedRects(const std::vector<FitBox>& boxes);

/// Fits labels and other controls of one window: each widget with the size
/// it needs, placed by fittedRects().
struct FitControl {
    QWidget* widget;
    QSize needed;
    bool growsLeft = false;
};
void fitControls(const std::vector<FitControl>& controls);

}  // namespace vortigo
