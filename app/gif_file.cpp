// SPDX-License-Identifier: GPL-3.0-or-later
#include "gif_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

namespace vortigo {

namespace {

constexpr std::size_t kMaxPixels = std::size_t{16} * 1024 * 1024;
constexpr int kMaxCodes = 4096;  // codes are at most 12 bits wide
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

// The bytes of the file, read front to back; reading past the end gives 0 and
// marks the reader as run out.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}

    bool runOut() const { return m_runOut; }

    int byte()
    {
        if (m_pos >= m_bytes.size()) {
            m_runOut = true;
            return 0;
        }
        return static_cast<unsigned char>(m_bytes[m_pos++]);
    }

    int word()
    {
        const int low = byte();
        return low | (byte() << 8);
    }

    /// A colour table of 2 << sizeBits colours into the first entries of table.
    void colourTable(int sizeBits, std::array<std::uint32_t, 256>& table)
    {
        table.fill(kOpaqueBlack);
        const int colours = 2 << sizeBits;
        for (int i = 0; i < colours; ++i) {
            const std::uint32_t r = static_cast<std::uint32_t>(byte());
            const std::uint32_t g = static_cast<std::uint32_t>(byte());
            const std::uint32_t b = static_cast<std::uint32_t>(byte());
            table[static_cast<std::size_t>(i)] = kOpaqueBlack | r << 16 | g << 8 | b;
        }
    }

    /// The data sub-blocks up to the empty one that ends them, joined.
    std::string_view subBlocks()
    {
        m_joined.clear();
        for (;;) {
            const std::size_t size = static_cast<std::size_t>(byte());
            if (size == 0 || m_runOut)
                return m_joined;
            const std::size_t available = std::min(size, m_bytes.size() - m_pos);
            m_joined.append(m_bytes.substr(m_pos, available));
            m_pos += available;
            if (available < size) {
                m_runOut = true;
                return m_joined;
            }
        }
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
    bool m_runOut = false;
    std::string m_joined;
};

// Decodes a GIF code stream into out[0, count); returns how many pixels it
// gave before its end code, the end of its data or a code it cannot mean.
std::size_t decodeCodes(std::string_view data, int minCodeSize, std::uint8_t* out, std::size_t count)
{
    // A code above the single pixels stands for a run of pixels already
    // written: where it starts in out and how long it is. Each new code is
    // the previous code's run and the next pixel, which follows it in out.
    std::array<std::uint32_t, kMaxCodes> start{};
    std::array<std::uint16_t, kMaxCodes> length{};
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    int next = clearCode + 2;
    int width = minCodeSize + 1;
    int previous = -1;
    std::size_t previousStart = 0;
    std::size_t previousLength = 0;
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t in = 0;
    std::size_t written = 0;
    while (written < count) {
        while (held < width) {
            if (in == data.size())
                return written;
            bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[in++])) << held;
            held += 8;
        }
        const int code = static_cast<int>(bits & ((1u << width) - 1));
        bits >>= width;
        held -= width;
        if (code == clearCode) {
            next = clearCode + 2;
            width = minCodeSize + 1;
            previous = -1;
            continue;
        }
        if (code == endCode)
            return written;

        std::size_t runLength = 1;
        if (code < clearCode) {
            out[written] = static_cast<std::uint8_t>(code);
        } else if (previous >= 0 && (code < next || (code == next && next < kMaxCodes))) {
            // A run written before, or the code being defined right now: the
            // previous run and its own first pixel, which the copy, going
            // forward from the previous run's start, repeats at the end.
            const auto c = static_cast<std::size_t>(code);
            const std::size_t from = code == next ? previousStart : start[c];
            runLength = code == next ? previousLength + 1 : length[c];
            const std::size_t n = std::min(runLength, count - written);
            if (code == next) {
                for (std::size_t i = 0; i < n; ++i)
                    out[written + i] = out[from + i];
            } else {
                std::copy_n(out + from, n, out + written);  // an earlier run: no overlap
            }
        } else {
            return written;  // a code not defined yet, or a run right after a clear code
        }
        if (previous >= 0 && next < kMaxCodes) {
            start[static_cast<std::size_t>(next)] = static_cast<std::uint32_t>(previousStart);
            length[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previousLength + 1);
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        previous = code;
        previousStart = written;
        previousLength = runLength;
        written = std::min(written + runLength, count);
    }
    return written;
}

// The row of the picture that the n-th decoded row is, for interlaced
// pictures: every 8th row from 0, every 8th from 4, every 4th from 2, then
// every 2nd from 1.
int interlacedRow(int n, int height)
{
    const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    for (const auto& pass : passes) {
        const int rows = height > pass[0] ? (height - pass[0] + pass[1] - 1) / pass[1] : 0;
        if (n < rows)
            return pass[0] + n * pass[1];
        n -= rows;
    }
    return -1;
}

}  // namespace

std::optional<GifPicture> readGif(std::string_view bytes)
{
    if (bytes.size() < 13 || (bytes.substr(0, 6) != "GIF87a" && bytes.substr(0, 6) != "GIF89a"))
        return std::nullopt;
    ByteReader in(bytes.substr(6));
    GifPicture picture;
    picture.width = in.word();
    picture.height = in.word();
    const int screenFlags = in.byte();
    const int background = in.byte();
    in.byte();  // pixel aspect ratio
    const std::size_t pixels = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (pixels == 0 || pixels > kMaxPixels)
        return std::nullopt;
    std::array<std::uint32_t, 256> globalTable{};
    const bool hasGlobalTable = (screenFlags & 0x80) != 0;
    if (hasGlobalTable)
        in.colourTable(screenFlags & 7, globalTable);

    int transparent = -1;
    for (;;) {
        const int block = in.byte();
        if (in.runOut())
            return std::nullopt;
        if (block == 0x21) {  // an extension; only the graphic control one matters
            const int label = in.byte();
            const std::string_view data = in.subBlocks();
            if (label == 0xF9 && data.size() >= 4)
                transparent = (data[0] & 1) != 0 ? static_cast<unsigned char>(data[3]) : -1;
            continue;
        }
        if (block != 0x2C)  // the trailer, or not a GIF block at all
            return std::nullopt;

        const int left = in.word();
        const int top = in.word();
        const int frameWidth = in.word();
        const int frameHeight = in.word();
        const int flags = in.byte();
        std::array<std::uint32_t, 256> localTable{};
        const bool hasLocalTable = (flags & 0x80) != 0;
        if (hasLocalTable)
            in.colourTable(flags & 7, localTable);
        else if (!hasGlobalTable)
            return std::nullopt;
        const int minCodeSize = in.byte();
        if (in.runOut() || minCodeSize < 2 || minCodeSize > 8)
            return std::nullopt;
        const std::string_view codes = in.subBlocks();

        const std::array<std::uint32_t, 256>& table = hasLocalTable ? localTable : globalTable;
        picture.palette.assign(table.begin(), table.end());
        if (transparent >= 0)
            picture.palette[static_cast<std::size_t>(transparent)] &= 0x00FFFFFFu;
        const int fill = transparent >= 0 ? transparent : hasGlobalTable ? background : 0;
        picture.indexes.assign(pixels, static_cast<std::uint8_t>(fill));

        const bool interlaced = (flags & 0x40) != 0;
        if (!interlaced && left == 0 && top == 0 && frameWidth == picture.width && frameHeight == picture.height) {
            decodeCodes(codes, minCodeSize, picture.indexes.data(), pixels);
            return picture;
        }
        // A picture smaller than the screen, or interlaced: decoded apart,
        // then its rows put in place and cut to the screen.
        const std::size_t framePixels = static_cast<std::size_t>(frameWidth) * static_cast<std::size_t>(frameHeight);
        if (framePixels > kMaxPixels)
            return std::nullopt;
        std::vector<std::uint8_t> frame(framePixels, static_cast<std::uint8_t>(fill));
        decodeCodes(codes, minCodeSize, frame.data(), framePixels);
        const int columns = std::max(0, std::min(frameWidth, picture.width - left));
        for (int n = 0; n < frameHeight && columns > 0; ++n) {
            const int row = interlaced ? interlacedRow(n, frameHeight) : n;
            const int y = top + row;
            if (row < 0 || y >= picture.height)
                continue;
            const auto from = frame.begin() + static_cast<std::ptrdiff_t>(n) * frameWidth;
            std::copy(from, from + columns,
                      picture.indexes.begin() + static_cast<std::ptrdiff_t>(y) * picture.width + left);
        }
        return picture;
    }
}

}  // namespace vortigo
