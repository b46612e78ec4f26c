// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

class QPainter;

namespace vortigo::assets {

// The fonts every picture is drawn with, loaded from files so that the result
// does not depend on what the machine happens to have installed.
struct PictureFonts {
    QString regular;  // family name of the regular face
    QString bold;     // family name of the bold face
};

// Loads the two font files into the application's font database; needs a
// QGuiApplication. Empty names mean a file could not be loaded.
PictureFonts loadFonts(const QString& regularFile, const QString& boldFile);

// The title picture shown before the first game: 640 x 300, opaque.
QImage titlePicture(const PictureFonts& fonts);

// Pictures compiled into the program, with transparent backgrounds.
QImage windowIcon(const PictureFonts& fonts);      // 32 x 32
// The program's icon: grid paper, a yellow marked word and a V, drawn on a
// 32 x 32 design; appIcon renders it at any size, drawAppIcon onto any device
// (the scalable icon is the same drawing written as SVG).
QImage appIcon(const PictureFonts& fonts, int size);
void drawAppIcon(QPainter& painter, const PictureFonts& fonts);
QImage newGamePicture();                           // 40 x 36, on the new-game button
QImage trophyIcon();                               // 32 x 32, top of the high-score window
QImage scoresPicture(const PictureFonts& fonts);   // 200 x 200, beside the high-score table
QImage okIcon();                                   // 16 x 16, on OK buttons
QImage italianSoftware(const PictureFonts& fonts); // 60 x 47, in the About window

}  // namespace vortigo::assets
