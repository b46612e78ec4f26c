// SPDX-License-Identifier: GPL-3.0-or-later
// Our GIF writer, checked by reading its output back with Qt's GIF reader.
#include "tools/assets/gif_encoder.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace {

using vortigo::assets::encodeGif;
using vortigo::assets::IndexedPicture;
using vortigo::assets::lzwCompress;
using vortigo::assets::quantise;
using vortigo::assets::RgbPicture;

// A strict reader of GIF code streams, as the format describes them: unlike
// Qt's reader it does not stop at the last pixel, it insists on finding the
// end code, at the right width, in the last byte. Empty on any fault.
std::optional<std::vector<std::uint8_t>> strictLzwDecode(const std::vector<std::uint8_t>& data, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize, endCode = clearCode + 1;
    std::size_t bit = 0;
    int width = minCodeSize + 1;
    auto read = [&]() -> int {
        if (bit + static_cast<std::size_t>(width) > data.size() * 8)
            return -1;  // ran out of data before the end code
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        return code;
    };
    std::vector<std::vector<std::uint8_t>> table;
    std::vector<std::uint8_t> out, previous;
    for (int code = read(); code != endCode; code = read()) {
        if (code == clearCode) {
            table.assign(static_cast<std::size_t>(endCode + 1), {});
            for (int i = 0; i < clearCode; ++i)
                table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i)};
            width = minCodeSize + 1;
            previous.clear();
            continue;
        }
        // The stream must open with a clear code, and each code must be known or the next one.
        std::vector<std::uint8_t> entry;
        if (code >= 0 && code < static_cast<int>(table.size()) && !table[static_cast<std::size_t>(code)].empty())
            entry = table[static_cast<std::size_t>(code)];
        else if (code >= 0 && code == static_cast<int>(table.size()) && !previous.empty())
            (entry = previous).push_back(previous.front());
        else
            return std::nullopt;
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
    return data.size() == (bit + 7) / 8 ? std::optional(out) : std::nullopt;
}

TEST(GifEncoder, a_picture_of_many_colours_comes_back_in_the_palette_colours_chosen)
{
    // Random colours compress badly: the code table fills and is cleared many times over.
    std::mt19937 dice(7);
    RgbPicture noise{180, 140, {}};
    for (int i = 0; i < 180 * 140; ++i)
        noise.pixels.push_back(0xFF000000u | (static_cast<std::uint32_t>(dice()) & 0xFFFFFFu));
    const IndexedPicture indexed = quantise(noise);
    ASSERT_EQ(indexed.palette.size(), 256u);
    QImage back;
    const std::vector<std::uint8_t> gif = encodeGif(noise);
    back.loadFromData(QByteArray(reinterpret_cast<const char*>(gif.data()), static_cast<qsizetype>(gif.size())), "GIF");
    back = back.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(back.size(), QSize(180, 140));
    int wrong = 0;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 180; ++x)
            wrong += (back.pixel(x, y) & 0xFFFFFFu) != indexed.palette[indexed.indexes[static_cast<std::size_t>(y * 180 + x)]];
    EXPECT_EQ(wrong, 0);
}

TEST(GifEncoder, every_length_of_image_data_ends_with_the_end_code_at_the_width_a_reader_expects)
{
    // The end code is read one bit wider when the last code just filled a width;
    // sweeping the length crosses each of those boundaries, and past 4096 codes
    // the table is cleared and the widths start again.
    std::mt19937 dice(3);
    std::vector<std::uint8_t> indexes;
    for (int length = 1; length <= 40000; ++length) {
        indexes.push_back(static_cast<std::uint8_t>(dice() % 8));
        if (length > 2500 && length % 373 != 0)
            continue;  // every length while the widths grow, then samples across the clears
        const auto back = strictLzwDecode(lzwCompress(indexes, 3), 3);
        ASSERT_TRUE(back.has_value()) << "length " << length;
        ASSERT_EQ(*back, indexes) << "length " << length;
    }
}

}  // namespace
