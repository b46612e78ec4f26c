// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/assets/gif_encoder.h"

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace vortigo::assets {

namespace {

int channel(std::uint32_t rgb, int which)
{
    return static_cast<int>((rgb >> (16 - 8 * which)) & 0xFF);
}

// A box of median cut: a run of the distinct colours, each with its pixel count.
struct ColourCount {
    std::uint32_t rgb;
    std::uint32_t count;
};

struct Box {
    std::size_t begin;
    std::size_t end;
    std::uint64_t pixels;

    int widestChannel(const std::vector<ColourCount>& colours, int* range) const
    {
        std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
        for (std::size_t i = begin; i < end; ++i) {
            for (int c = 0; c < 3; ++c) {
                lo[c] = std::min(lo[c], channel(colours[i].rgb, c));
                hi[c] = std::max(hi[c], channel(colours[i].rgb, c));
            }
        }
        int best = 0;
        for (int c = 1; c < 3; ++c) {
            if (hi[c] - lo[c] > hi[best] - lo[best])
                best = c;
        }
        *range = hi[best] - lo[best];
        return best;
    }
};

std::uint32_t averageColour(const std::vector<ColourCount>& colours, const Box& box)
{
    std::array<std::uint64_t, 3> sum{0, 0, 0};
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c)
            sum[c] += static_cast<std::uint64_t>(channel(colours[i].rgb, c)) * colours[i].count;
        total += colours[i].count;
    }
    std::uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c)
        rgb = (rgb << 8) | static_cast<std::uint32_t>((sum[c] + total / 2) / total);
    return rgb;
}

std::vector<std::uint32_t> medianCut(std::vector<ColourCount> colours, int maxColours)
{
    std::vector<Box> boxes;
    std::uint64_t all = 0;
    for (const auto& c : colours)
        all += c.count;
    boxes.push_back({0, colours.size(), all});

    while (static_cast<int>(boxes.size()) < maxColours) {
        // Split the box whose widest channel, weighted by its pixels, is largest:
        // big flat areas keep their exact shade, busy gradients get more entries.
        int chosen = -1;
        double bestScore = 0.0;
        int chosenChannel = 0;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2)
                continue;
            int range = 0;
            const int ch = boxes[b].widestChannel(colours, &range);
            const double score = static_cast<double>(range) * static_cast<double>(boxes[b].pixels);
            if (range > 0 && score > bestScore) {
                bestScore = score;
                chosen = static_cast<int>(b);
                chosenChannel = ch;
            }
        }
        if (chosen < 0)
            break;

        Box& box = boxes[static_cast<std::size_t>(chosen)];
        const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
        std::sort(first, last, [chosenChannel](const ColourCount& a, const ColourCount& b) {
            const int ca = channel(a.rgb, chosenChannel), cb = channel(b.rgb, chosenChannel);
            return ca != cb ? ca < cb : a.rgb < b.rgb;
        });
        // The split falls where half the box's pixels lie on each side, but
        // always leaves at least one colour in each half.
        std::uint64_t running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            running += colours[i].count;
            split = i + 1;
            if (running * 2 >= box.pixels)
                break;
        }
        Box upper{split, box.end, 0};
        for (std::size_t i = split; i < box.end; ++i)
            upper.pixels += colours[i].count;
        box.end = split;
        box.pixels -= upper.pixels;
        boxes.push_back(upper);
    }

    std::vector<std::uint32_t> palette;
    for (const Box& box : boxes)
        palette.push_back(averageColour(colours, box));
    return palette;
}

std::uint8_t nearest(const std::vector<std::uint32_t>& palette, std::uint32_t rgb)
{
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        long d = 0;
        for (int c = 0; c < 3; ++c) {
            const long diff = channel(palette[i], c) - channel(rgb, c);
            d += diff * diff;
        }
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return static_cast<std::uint8_t>(best);
}

// Packs codes of varying width, least significant bit first, as GIF wants.
class BitWriter {
public:
    void put(int code, int width)
    {
        m_buffer |= static_cast<std::uint32_t>(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_out.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    std::vector<std::uint8_t> take()
    {
        if (m_bits > 0)
            m_out.push_back(static_cast<std::uint8_t>(m_buffer & 0xFF));
        m_bits = 0;
        m_buffer = 0;
        return std::move(m_out);
    }

private:
    std::vector<std::uint8_t> m_out;
    std::uint32_t m_buffer = 0;
    int m_bits = 0;
};

void put16(std::vector<std::uint8_t>& out, int v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

}  // namespace

IndexedPicture quantise(const RgbPicture& picture, int maxColours)
{
    if (maxColours < 1 || maxColours > 256)
        throw std::invalid_argument("a GIF palette holds 1 to 256 colours");
    if (picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        throw std::invalid_argument("pixel count does not match the picture size");

    std::map<std::uint32_t, std::uint32_t> histogram;  // ordered, so the result never depends on hashing
    for (std::uint32_t p : picture.pixels)
        ++histogram[p & 0xFFFFFF];

    IndexedPicture out;
    out.width = picture.width;
    out.height = picture.height;
    if (static_cast<int>(histogram.size()) <= maxColours) {
        for (const auto& entry : histogram)
            out.palette.push_back(entry.first);
    } else {
        std::vector<ColourCount> colours;
        colours.reserve(histogram.size());
        for (const auto& [rgb, count] : histogram)
            colours.push_back({rgb, count});
        out.palette = medianCut(std::move(colours), maxColours);
    }
    if (out.palette.empty())
        out.palette.push_back(0xFFFFFF);  // an empty picture still needs a colour table

    std::unordered_map<std::uint32_t, std::uint8_t> lookup;
    lookup.reserve(histogram.size());
    for (const auto& entry : histogram)
        lookup.emplace(entry.first, nearest(out.palette, entry.first));
    out.indexes.reserve(picture.pixels.size());
    for (std::uint32_t p : picture.pixels)
        out.indexes.push_back(lookup.at(p & 0xFFFFFF));
    return out;
}

std::vector<std::uint8_t> lzwCompress(const std::vector<std::uint8_t>& indexes, int minCodeSize)
{
    constexpr int kMaxCode = 4095;  // codes are at most 12 bits wide
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;

    // next[code * 256 + byte] is the code of string(code) + byte, or 0 when absent
    // (0 can never be such a code: every added string is longer than one index).
    std::vector<std::uint16_t> next(static_cast<std::size_t>(kMaxCode + 1) * 256, 0);
    int width = minCodeSize + 1;
    int lastAssigned = endCode;
    BitWriter bits;
    bits.put(clearCode, width);
    if (indexes.empty()) {
        bits.put(endCode, width);
        return bits.take();
    }

    int current = indexes[0];
    for (std::size_t i = 1; i < indexes.size(); ++i) {
        const std::uint8_t byte = indexes[i];
        const std::size_t slot = static_cast<std::size_t>(current) * 256 + byte;
        if (next[slot] != 0) {
            current = next[slot];
            continue;
        }
        bits.put(current, width);
        next[slot] = static_cast<std::uint16_t>(++lastAssigned);
        // The decoder learns each string one code later than we do, so it
        // widens exactly when our newest code no longer fits the old width.
        if (lastAssigned >= (1 << width) && width < 12)
            ++width;
        if (lastAssigned == kMaxCode) {
            bits.put(clearCode, width);
            std::fill(next.begin(), next.end(), 0);
            width = minCodeSize + 1;
            lastAssigned = endCode;
        }
        current = byte;
    }
    bits.put(current, width);
    // Reading that last code made the decoder add one string of its own; if that
    // filled the current width, it reads the end code one bit wider.
    if (lastAssigned + 1 >= (1 << width) && width < 12 && lastAssigned != endCode)
        ++width;
    bits.put(endCode, width);
    return bits.take();
}

std::vector<std::uint8_t> encodeGif(const IndexedPicture& picture)
{
    if (picture.palette.empty() || picture.palette.size() > 256)
        throw std::invalid_argument("a GIF palette holds 1 to 256 colours");

    int tableBits = 1;  // the colour table holds 2^tableBits entries, at least 2
    while ((1u << tableBits) < picture.palette.size())
        ++tableBits;

    std::vector<std::uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
    put16(out, picture.width);
    put16(out, picture.height);
    // Global colour table present, 8 bits of colour resolution, unsorted.
    out.push_back(static_cast<std::uint8_t>(0x80 | (7 << 4) | (tableBits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // square pixels
    for (int i = 0; i < (1 << tableBits); ++i) {
        const std::uint32_t rgb = i < static_cast<int>(picture.palette.size()) ? picture.palette[static_cast<std::size_t>(i)] : 0;
        out.push_back(static_cast<std::uint8_t>(rgb >> 16));
        out.push_back(static_cast<std::uint8_t>(rgb >> 8));
        out.push_back(static_cast<std::uint8_t>(rgb));
    }

    out.push_back(0x2C);  // image descriptor covering the whole screen, no local table
    put16(out, 0);
    put16(out, 0);
    put16(out, picture.width);
    put16(out, picture.height);
    out.push_back(0);

    const int minCodeSize = std::max(2, tableBits);  // GIF never uses fewer than 2
    out.push_back(static_cast<std::uint8_t>(minCodeSize));
    const std::vector<std::uint8_t> data = lzwCompress(picture.indexes, minCodeSize);
    for (std::size_t pos = 0; pos < data.size(); pos += 255) {
        const std::size_t len = std::min<std::size_t>(255, data.size() - pos);
        out.push_back(static_cast<std::uint8_t>(len));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(pos),
                   data.begin() + static_cast<std::ptrdiff_t>(pos + len));
    }
    out.push_back(0);     // end of the image data
    out.push_back(0x3B);  // trailer
    return out;
}

std::vector<std::uint8_t> encodeGif(const RgbPicture& picture)
{
    return encodeGif(quantise(picture));
}

}  // namespace vortigo::assets
