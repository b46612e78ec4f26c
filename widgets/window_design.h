// SPDX-License-Identifier: GPL-3.0-or-later
// What the three windows share in how they are built: design positions in
// twips, the Tahoma look, label colours and pictures from the resources.
#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QString>

#include <initializer_list>
#include <utility>

class QLabel;
class QWidget;

namespace vortigo {

/// Design positions are in twips, 15 to the pixel.
int tw(int twips);
QRect twipRect(int left, int top, int width, int height);

/// The game's face: Tahoma, or the look-alike registered by registerGameFonts().
QFont tahoma(double points, bool bold, bool underline = false);

/// Courier New bold-or-not at this size, else its metric twin, else any fixed font.
QFont fixedPitchFont(double points, bool bold);

/// A palette colour of the game (0..15) as a Qt colour.
QColor paletteColour(int colour);

/// Text and background colour of a control; the background is painted.
void setColours(QWidget* widget, const QColor& text, const QColor& back);

/// Gives each control its name, so tests and tools find it as the main
/// window's controls are found.
void nameControls(std::initializer_list<std::pair<QWidget*, const char*>> controls);

/// A picture box showing a compiled-in picture; a missing picture leaves it blank.
QLabel* makePicture(QWidget* parent, const QString& resource, const QRect& where, const QString& toolTip = {});

/// Where a window's outer frame goes so that the frame, inner area of the
/// given size plus the frame's margins, is centred in the area.
QPoint centredFramePosition(const QRect& area, const QSize& inner, const QMargins& frame);

/// Centres a top-level window, frame and title bar included, on its screen.
void centreOnScreen(QWidget* window);

}  // namespace vortigo
