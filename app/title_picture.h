// SPDX-License-Identifier: GPL-3.0-or-later
// The title picture "vortigo.gif" and the box that shows it (Picture1).
#pragma once

#include <QImage>
#include <QLabel>

#include <filesystem>

namespace vortigo {

/// The picture in the file's own colours, read as bytes (the folder's name
/// never passes through Qt's strings) with our GIF reader; null when the
/// file is missing, too large or not a GIF we can read.
QImage readTitlePicture(const std::filesystem::path& file);

/// The title picture box. It keeps the picture in the file's own colours, one
/// byte a pixel, and turns them into the screen's only while painting: a
/// 32-bit pixmap of it would keep 750 KiB in memory for good, beside the
/// window's own copy of what it shows; this keeps 188 KiB.
class TitlePicture : public QLabel {
public:
    using QLabel::QLabel;

    void setPicture(QImage picture);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

}  // namespace vortigo
