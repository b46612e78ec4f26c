// SPDX-License-Identifier: GPL-3.0-or-later
// The title picture comes through our own GIF reader: the window must show
// exactly what Qt's reader shows of the delivered picture. That no file
// crashes the reader is the GIF fuzzer's part.
#include "tests/app/form1_fixture.h"

#include <QByteArray>
#include <QImage>

namespace vortigo::test {

// The player sees the same title picture as before, when Qt read the file.
TEST_F(Form1Test, TheTitlePictureShowsThePixelsOfTheDeliveredGif)
{
    std::filesystem::copy_file(std::filesystem::path(VORTIGO_DATA_DIR) / "vortigo.gif", folder / "vortigo.gif");
    Form1& f = open();
    ASSERT_TRUE(loaded);
    const std::string bytes = readBytes(folder / "vortigo.gif");
    QImage qt;
    ASSERT_TRUE(qt.loadFromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), "GIF"));
    const QImage shown = f.Picture1->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, qt.convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(f.titlePicture().format(), QImage::Format_Indexed8);
}

}  // namespace vortigo::test
