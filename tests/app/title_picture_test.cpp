// SPDX-License-Identifier: GPL-3.0-or-later
// The title picture comes through our own GIF reader: the window must show
// exactly what Qt's reader shows, for the delivered picture and for GIFs of
// every shape our encoder and other encoders make, and no file may crash it.
#include "app/gif_file.h"
#include "tests/app/form1_fixture.h"
#include "tools/assets/gif_encoder.h"

#include <QByteArray>
#include <QImage>

#include <random>

namespace vortigo::test {
namespace {

std::string bytesOf(const std::vector<std::uint8_t>& v)
{
    return std::string(v.begin(), v.end());
}

QImage qtReading(const std::string& bytes)
{
    QImage image;
    image.loadFromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), "GIF");
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Every pixel of our reading against Qt's; transparent pixels only by their alpha.
void expectSamePixels(const std::string& bytes, const char* what)
{
    const std::optional<GifPicture> ours = readGif(bytes);
    const QImage qt = qtReading(bytes);
    ASSERT_TRUE(ours.has_value()) << what;
    ASSERT_EQ(QSize(ours->width, ours->height), qt.size()) << what;
    ASSERT_EQ(ours->palette.size(), 256u) << what;
    int differing = 0;
    for (int y = 0; y < qt.height(); ++y)
        for (int x = 0; x < qt.width(); ++x) {
            const QRgb mine = ours->palette[ours->indexes[static_cast<std::size_t>(y * ours->width + x)]];
            const QRgb theirs = qt.pixel(x, y);
            differing += qAlpha(mine) == 0 ? qAlpha(theirs) != 0 : mine != theirs;
        }
    EXPECT_EQ(differing, 0) << what;
}

assets::IndexedPicture randomPicture(std::mt19937& random, int width, int height, int colours, int runLength)
{
    assets::IndexedPicture p{width, height, {}, {}};
    for (int i = 0; i < colours; ++i)
        p.palette.push_back(random() & 0xFFFFFFu);
    std::uniform_int_distribution<int> colour(0, colours - 1);
    int current = 0;
    for (int i = 0; i < width * height; ++i) {
        if (i % runLength == 0)
            current = colour(random);
        p.indexes.push_back(static_cast<std::uint8_t>(current));
    }
    return p;
}

// Offsets into what encodeGif writes: the screen, then the image descriptor
// right after the global colour table.
std::size_t descriptorAt(const std::string& gif)
{
    return 13 + 3 * (std::size_t{2} << (static_cast<unsigned char>(gif[10]) & 7));
}

}  // namespace

TEST(GifReader, reads_every_shape_of_gif_as_qt_does)
{
    // Large pictures with long runs reach 12-bit codes and full tables;
    // noise and tiny pictures keep codes short.
    std::mt19937 random(20240601);
    const struct {
        int width, height, colours, run;
    } shapes[] = {{1, 1, 2, 1}, {3, 2, 2, 1}, {37, 23, 5, 1}, {64, 48, 16, 3}, {200, 150, 256, 1}, {640, 300, 256, 40}};
    for (const auto& s : shapes) {
        const assets::IndexedPicture picture = randomPicture(random, s.width, s.height, s.colours, s.run);
        const std::string gif = bytesOf(assets::encodeGif(picture));
        const std::string what = std::to_string(s.width) + "x" + std::to_string(s.height);
        expectSamePixels(gif, what.c_str());
        const std::optional<GifPicture> ours = readGif(gif);
        ASSERT_TRUE(ours.has_value());
        EXPECT_EQ(ours->indexes, picture.indexes) << what;
        for (std::size_t i = 0; i < picture.palette.size(); ++i)
            EXPECT_EQ(ours->palette[i], 0xFF000000u | picture.palette[i]) << what;
    }

    // What other encoders write: interlaced rows, a local colour table, a
    // transparent colour, a picture placed inside a larger screen.
    const std::string plain = bytesOf(assets::encodeGif(randomPicture(random, 45, 37, 16, 2)));
    const std::size_t at = descriptorAt(plain);
    std::string interlaced = plain;
    interlaced[at + 9] = '\x40';
    expectSamePixels(interlaced, "interlaced");

    std::string local = plain;  // the global table moved into the picture, the global one blackened
    local[at + 9] = static_cast<char>(0x80 | (plain[10] & 7));
    local.insert(at + 10, plain.substr(13, at - 13));
    std::fill(local.begin() + 13, local.begin() + static_cast<std::ptrdiff_t>(at), '\0');
    expectSamePixels(local, "local colour table");

    std::string transparent = plain;  // colour 3 transparent
    transparent.insert(at, std::string("\x21\xF9\x04\x01\x00\x00\x03\x00", 8));
    expectSamePixels(transparent, "transparent colour");
    EXPECT_EQ(readGif(transparent)->palette[3] >> 24, 0u);

    std::string placed = transparent;  // a 60 x 50 screen, the picture at (7, 9)
    placed[6] = 60;
    placed[8] = 50;
    const std::size_t moved = at + 8;
    placed[moved + 1] = 7;
    placed[moved + 3] = 9;
    expectSamePixels(placed, "placed inside a larger screen");

    // The delivered picture.
    expectSamePixels(readBytes(std::filesystem::path(VORTIGO_DATA_DIR) / "vortigo.gif"), "vortigo.gif");
}

TEST(GifReader, survives_every_cut_and_damage_of_the_delivered_picture)
{
    const std::string gif = readBytes(std::filesystem::path(VORTIGO_DATA_DIR) / "vortigo.gif");
    auto check = [](const std::string& bytes) {
        const std::optional<GifPicture> picture = readGif(bytes);
        if (picture) {
            EXPECT_EQ(picture->indexes.size(), static_cast<std::size_t>(picture->width) * picture->height);
            EXPECT_EQ(picture->palette.size(), 256u);
        }
    };
    for (std::size_t size = 0; size < gif.size(); size += size < 1000 ? 1 : 97)
        check(gif.substr(0, size));
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = gif;
        for (int k = 0; k < 1 + round % 8; ++k)
            damaged[random() % damaged.size()] = static_cast<char>(random());
        check(damaged);
    }
    EXPECT_FALSE(readGif("GIF89a\x00\x00\x00\x00\x00\x00\x00"));              // an empty screen
    EXPECT_FALSE(readGif(std::string("GIF89a\xFF\xFF\xFF\xFF\x80\x00\x00", 13)));  // 4 billion pixels
    EXPECT_FALSE(readGif(std::string(gif).replace(0, 3, "PNG")));
}

// The player sees the same title picture as before, when Qt read the file.
TEST_F(Form1Test, TheTitlePictureShowsThePixelsOfTheDeliveredGif)
{
    std::filesystem::copy_file(std::filesystem::path(VORTIGO_DATA_DIR) / "vortigo.gif", folder / "vortigo.gif");
    Form1& f = open();
    ASSERT_TRUE(loaded);
    const QImage shown = f.Picture1->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, qtReading(readBytes(folder / "vortigo.gif")));
    EXPECT_EQ(f.titlePicture().format(), QImage::Format_Indexed8);
}

}  // namespace vortigo::test
