// SPDX-License-Identifier: GPL-3.0-or-later
#include "title_picture.h"

#include "app/gif_file.h"
#include "core/file_reading.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <optional>
#include <string>

namespace vortigo {

namespace {

/// The title picture is a few dozen kilobytes; a huge file is not it.
constexpr std::size_t kTitlePictureLimit = std::size_t{16} * 1024 * 1024;

}  // namespace

QImage readTitlePicture(const std::filesystem::path& file)
{
    const std::optional<std::string> bytes = readFileStart(file, kTitlePictureLimit);
    const std::optional<GifPicture> gif = bytes ? readGif(*bytes) : std::nullopt;
    if (!gif)
        return QImage();
    QImage image(gif->width, gif->height, QImage::Format_Indexed8);
    if (image.isNull())
        return image;
    image.setColorTable(QList<QRgb>(gif->palette.begin(), gif->palette.end()));
    for (int y = 0; y < gif->height; ++y) {
        const auto row = gif->indexes.begin() + static_cast<std::ptrdiff_t>(y) * gif->width;
        std::copy(row, row + gif->width, image.scanLine(y));
    }
    return image;
}

void TitlePicture::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    update();
}

void TitlePicture::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QStyle::alignedRect(layoutDirection(), alignment(), m_picture.size(), contentsRect()).topLeft(),
                      m_picture);
}

}  // namespace vortigo
