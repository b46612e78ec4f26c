// SPDX-License-Identifier: GPL-3.0-or-later
#include "score_format.h"

namespace vortigo {

std::string groupDigits(std::int64_t value, int minDigits, const std::string& separator)
{
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits;
    while (magnitude > 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    }
    while (static_cast<int>(digits.size()) < minDigits)
        digits.insert(digits.begin(), '0');

    std::string out = negative ? "-" : "";
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out.push_back(digits[i]);
    }
    return out;
}

std::string formatScore(std::int32_t score, const std::string& separator)
{
    return groupDigits(score, 0, separator);
}

std::string formatTablePoints(std::int32_t points, const std::string& separator)
{
    // A negative entry (only a hand-edited file has one) keeps its sign in front.
    if (points < 0)
        return "- " + groupDigits(-static_cast<std::int64_t>(points), 5, separator);
    return " " + groupDigits(points, 5, separator);
}

}  // namespace vortigo
