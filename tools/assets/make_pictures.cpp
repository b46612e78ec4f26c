// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the title picture into the data folder, the compiled-in pictures into
// the images folder and the desktop icons (hicolor sizes and a scalable SVG)
// into the icons folder:
//   make_pictures <data folder> <images folder> <font folder> <icons folder>
#include "tools/assets/gif_encoder.h"
#include "tools/assets/pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

vortigo::assets::RgbPicture toRgb(const QImage& image)
{
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    vortigo::assets::RgbPicture picture;
    picture.width = opaque.width();
    picture.height = opaque.height();
    picture.pixels.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < opaque.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(opaque.constScanLine(y));
        picture.pixels.insert(picture.pixels.end(), row, row + opaque.width());
    }
    return picture;
}

bool writeBytes(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    return file.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

bool report(bool ok, const QString& path, const QImage& image)
{
    if (ok)
        std::printf("%-52s %4d x %d\n", qPrintable(path), image.width(), image.height());
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    // Nothing is shown: the pictures are drawn off screen, the same on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <data folder> <images folder> <font folder> <icons folder>\n", argv[0]);
        return 2;
    }
    const QDir data(QString::fromLocal8Bit(argv[1]));
    const QDir images(QString::fromLocal8Bit(argv[2]));
    const QDir fontDir(QString::fromLocal8Bit(argv[3]));
    const QDir icons(QString::fromLocal8Bit(argv[4]));

    const auto fonts = vortigo::assets::loadFonts(fontDir.filePath(QStringLiteral("tahoma.ttf")),
                                                  fontDir.filePath(QStringLiteral("tahomabd.ttf")));
    if (fonts.regular.isEmpty() || fonts.bold.isEmpty()) {
        std::fprintf(stderr, "cannot load tahoma.ttf and tahomabd.ttf from %s\n", argv[3]);
        return 1;
    }

    bool ok = true;
    const QImage title = vortigo::assets::titlePicture(fonts);
    const QString gifPath = data.filePath(QStringLiteral("vortigo.gif"));
    ok &= report(writeBytes(gifPath, vortigo::assets::encodeGif(toRgb(title))), gifPath, title);

    const std::pair<const char*, QImage> pngs[] = {
        {"vortigo-icon.png", vortigo::assets::windowIcon(fonts)},
        {"new-game.png", vortigo::assets::newGamePicture()},
        {"trophy.png", vortigo::assets::trophyIcon()},
        {"scores-picture.png", vortigo::assets::scoresPicture(fonts)},
        {"ok-icon.png", vortigo::assets::okIcon()},
        {"italian-software.png", vortigo::assets::italianSoftware(fonts)},
    };
    for (const auto& [name, image] : pngs) {
        const QString path = images.filePath(QString::fromLatin1(name));
        ok &= report(image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG", 9), path, image);
    }
    // The hicolor theme's sizes, and the same drawing once more as vectors.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage icon = vortigo::assets::appIcon(fonts, size);
        const QString path = icons.filePath(QStringLiteral("vortigo-%1.png").arg(size));
        ok &= report(icon.convertToFormat(QImage::Format_ARGB32).save(path, "PNG", 9), path, icon);
    }
    const QString svgPath = icons.filePath(QStringLiteral("vortigo.svg"));
    QSvgGenerator svg;
    svg.setFileName(svgPath);
    svg.setSize(QSize(32, 32));
    svg.setViewBox(QRect(0, 0, 32, 32));
    svg.setTitle(QStringLiteral("Vortigo"));
    svg.setDescription(QStringLiteral("The icon of the word-search game Vortigo"));
    QPainter painter;
    const bool svgOpen = painter.begin(&svg);
    if (svgOpen)
        vortigo::assets::drawAppIcon(painter, fonts);
    ok &= svgOpen && painter.end();
    ok &= report(svgOpen && QFile::exists(svgPath), svgPath, QImage(32, 32, QImage::Format_ARGB32));
    return ok ? 0 : 1;
}
