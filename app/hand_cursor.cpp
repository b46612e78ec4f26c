// SPDX-License-Identifier: GPL-3.0-or-later
#include "hand_cursor.h"

#include <QImage>

namespace vortigo {

namespace {

// '#' outline, '.' inside, anything else transparent. The fingertip's top
// edge is at (14, 6), so the hot spot sits just inside it.
constexpr const char* kArt[32] = {
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "             ###                ",
    "            #...#               ",
    "            #...#               ",
    "            #...#               ",
    "            #...#               ",
    "            #...#               ",
    "            #...###             ",
    "            #...#..###          ",
    "            #...#..#..##        ",
    "        ### #...#..#..#.#       ",
    "        #..##...#..#..#..#      ",
    "        #...#...........#.#     ",
    "         #..#.............#     ",
    "         #.#..............#     ",
    "          #...............#     ",
    "          #...............#     ",
    "           #.............#      ",
    "           #.............#      ",
    "            #...........#       ",
    "            #...........#       ",
    "             #.........#        ",
    "             #.........#        ",
    "             ###########        ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
};

}  // namespace

QPixmap handPicture()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32 && kArt[y][x] != '\0'; ++x) {
            if (kArt[y][x] == '#')
                image.setPixel(x, y, qRgb(0, 0, 0));
            else if (kArt[y][x] == '.')
                image.setPixel(x, y, qRgb(255, 255, 255));
        }
    return QPixmap::fromImage(image);
}

QCursor handCursor(const QPixmap& picture)
{
    return QCursor(picture, kHandHotX, kHandHotY);
}

}  // namespace vortigo
