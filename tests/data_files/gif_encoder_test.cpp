// Our GIF writer, checked by reading its output back with Qt's GIF reader.
#include "tools/assets/gif_encoder.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

using vortigo::assets::encodeGif;
using vortigo::assets::IndexedPicture;
using vortigo::assets::lzwCompress;
using vortigo::assets::quantise;
using vortigo::assets::RgbPicture;

// A small fixed generator, so every run draws the same "random" pictures.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : m_state(seed) {}
    std::uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }

private:
    std::uint32_t m_state;
};

QImage decode(const std::vector<std::uint8_t>& gif)
{
    QImage image;
    image.loadFromData(QByteArray(reinterpret_cast<const char*>(gif.data()), static_cast<qsizetype>(gif.size())), "GIF");
    return image.convertToFormat(QImage::Format_RGB32);
}

RgbPicture picture(int width, int height, std::uint32_t (*colourAt)(int x, int y, Dice&), std::uint32_t seed = 1)
{
    Dice dice(seed);
    RgbPicture p{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            p.pixels.push_back(0xFF000000u | colourAt(x, y, dice));
    }
    return p;
}

// A strict reader of GIF code streams, as the format describes them: unlike
// Qt's reader it does not stop at the last pixel, it insists on finding the
// end code, at the right width, in the last byte. Empty on any fault.
std::optional<std::vector<std::uint8_t>> strictLzwDecode(const std::vector<std::uint8_t>& data, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    std::size_t bitPos = 0;
    auto read = [&](int width) -> int {
        if (bitPos + static_cast<std::size_t>(width) > data.size() * 8)
            return -1;
        int code = 0;
        for (int i = 0; i < width; ++i, ++bitPos)
            code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << i;
        return code;
    };
    std::vector<std::vector<std::uint8_t>> table;
    int width = 0;
    std::vector<std::uint8_t> out, previous;
    auto reset = [&] {
        table.assign(static_cast<std::size_t>(endCode + 1), {});
        for (int i = 0; i < clearCode; ++i)
            table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i)};
        width = minCodeSize + 1;
        previous.clear();
    };
    reset();
    if (read(width) != clearCode)
        return std::nullopt;
    for (;;) {
        const int code = read(width);
        if (code < 0)
            return std::nullopt;  // ran out of data before the end code
        if (code == clearCode) {
            reset();
            continue;
        }
        if (code == endCode)
            break;
        std::vector<std::uint8_t> entry;
        if (code < static_cast<int>(table.size()) && !table[static_cast<std::size_t>(code)].empty())
            entry = table[static_cast<std::size_t>(code)];
        else if (code == static_cast<int>(table.size()) && !previous.empty()) {
            entry = previous;
            entry.push_back(previous.front());
        } else {
            return std::nullopt;
        }
        out.insert(out.end(), entry.begin(), entry.end());
        if (!previous.empty() && table.size() < 4096) {
            previous.push_back(entry.front());
            table.push_back(previous);
        }
        previous = entry;
        if (static_cast<int>(table.size()) == (1 << width) && width < 12)
            ++width;
    }
    // Only zero padding may follow the end code, and no whole byte of it.
    if (data.size() != (bitPos + 7) / 8)
        return std::nullopt;
    return out;
}

// Every pixel read back must be exactly the palette colour the encoder chose.
void expectDecodesToPalette(const IndexedPicture& indexed, const QImage& decoded)
{
    ASSERT_FALSE(decoded.isNull());
    ASSERT_EQ(decoded.width(), indexed.width);
    ASSERT_EQ(decoded.height(), indexed.height);
    int wrong = 0;
    for (int y = 0; y < indexed.height; ++y) {
        for (int x = 0; x < indexed.width; ++x) {
            const auto i = static_cast<std::size_t>(y) * static_cast<std::size_t>(indexed.width) + static_cast<std::size_t>(x);
            const std::uint32_t expected = indexed.palette[indexed.indexes[i]];
            wrong += (decoded.pixel(x, y) & 0xFFFFFF) != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(GifEncoder, a_flat_picture_comes_back_as_the_same_single_colour)
{
    const RgbPicture flat = picture(640, 300, [](int, int, Dice&) { return 0x3366CCu; });
    const QImage back = decode(encodeGif(flat));
    ASSERT_FALSE(back.isNull());
    ASSERT_EQ(back.size(), QSize(640, 300));
    for (const QPoint at : {QPoint(0, 0), QPoint(639, 299), QPoint(320, 150)})
        EXPECT_EQ(back.pixel(at) & 0xFFFFFF, 0x3366CCu);
}

TEST(GifEncoder, a_picture_of_at_most_256_colours_comes_back_exactly)
{
    const RgbPicture rainbow = picture(97, 61, [](int x, int y, Dice&) {
        return static_cast<std::uint32_t>(((x * 37 + y * 11) % 256) * 0x010203u) & 0xFFFFFFu;
    });
    const IndexedPicture indexed = quantise(rainbow);
    const QImage back = decode(encodeGif(indexed));
    ASSERT_FALSE(back.isNull());
    int wrong = 0;
    for (int y = 0; y < rainbow.height; ++y) {
        for (int x = 0; x < rainbow.width; ++x)
            wrong += (back.pixel(x, y) & 0xFFFFFF) != (rainbow.pixels[static_cast<std::size_t>(y * rainbow.width + x)] & 0xFFFFFF) ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(GifEncoder, a_noisy_picture_of_many_colours_survives_several_full_code_tables)
{
    // Random colours compress badly, so the code table fills and is cleared many times over.
    const RgbPicture noise = picture(180, 140, [](int, int, Dice& d) { return d.next() & 0xFFFFFFu; }, 7);
    const IndexedPicture indexed = quantise(noise);
    EXPECT_EQ(indexed.palette.size(), 256u);
    expectDecodesToPalette(indexed, decode(encodeGif(indexed)));
}

TEST(GifEncoder, many_colours_are_reduced_to_near_neighbours_not_to_arbitrary_ones)
{
    const RgbPicture smooth = picture(200, 100, [](int x, int y, Dice&) {
        return static_cast<std::uint32_t>((x * 255 / 199) << 16 | (y * 255 / 99) << 8 | ((x + y) * 255 / 298));
    });
    const QImage back = decode(encodeGif(smooth));
    ASSERT_FALSE(back.isNull());
    double total = 0.0;
    for (int y = 0; y < smooth.height; ++y) {
        for (int x = 0; x < smooth.width; ++x) {
            const std::uint32_t want = smooth.pixels[static_cast<std::size_t>(y * smooth.width + x)];
            const QRgb got = back.pixel(x, y);
            total += std::abs(qRed(got) - static_cast<int>((want >> 16) & 0xFF)) +
                     std::abs(qGreen(got) - static_cast<int>((want >> 8) & 0xFF)) +
                     std::abs(qBlue(got) - static_cast<int>(want & 0xFF));
        }
    }
    EXPECT_LT(total / (smooth.width * smooth.height), 12.0);  // summed over the three channels
}

TEST(GifEncoder, every_length_of_image_data_ends_with_the_end_code_at_the_width_a_reader_expects)
{
    // The end code is read one bit wider when the last code just filled a width;
    // sweeping the length crosses each of those boundaries, and past 4096 codes
    // the table is cleared and the widths start again.
    Dice dice(3);
    std::vector<std::uint8_t> indexes;
    for (int length = 1; length <= 40000; ++length) {
        indexes.push_back(static_cast<std::uint8_t>(dice.next() % 8));
        if (length > 2500 && length % 373 != 0)
            continue;  // every length while the widths grow, then samples across the clears
        const auto back = strictLzwDecode(lzwCompress(indexes, 3), 3);
        ASSERT_TRUE(back.has_value()) << "length " << length;
        ASSERT_EQ(*back, indexes) << "length " << length;
    }
}

TEST(GifEncoder, an_empty_picture_is_only_a_clear_code_and_an_end_code)
{
    const auto back = strictLzwDecode(lzwCompress({}, 2), 2);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->empty());
}

TEST(GifEncoder, every_palette_size_gets_a_colour_table_the_reader_accepts)
{
    for (int colours : {1, 2, 3, 4, 5, 16, 17, 128, 129, 256}) {
        const RgbPicture p = picture(colours, 3, [](int x, int, Dice&) { return static_cast<std::uint32_t>(x) * 0x010101u; });
        const IndexedPicture indexed = quantise(p);
        ASSERT_EQ(indexed.palette.size(), static_cast<std::size_t>(colours));
        SCOPED_TRACE(colours);
        expectDecodesToPalette(indexed, decode(encodeGif(indexed)));
    }
}

TEST(GifEncoder, the_same_picture_always_gives_the_same_bytes)
{
    const RgbPicture noise = picture(64, 64, [](int, int, Dice& d) { return d.next() & 0xFFFFFFu; }, 11);
    EXPECT_EQ(encodeGif(noise), encodeGif(noise));
}

}  // namespace
