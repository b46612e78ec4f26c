// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_rules.h"

#include <cmath>
#include <limits>
#include <string>

namespace vortigo {

double roundEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double lower = std::floor(x);
    const double fraction = x - lower;
    if (fraction > 0.5)
        return lower + 1.0;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

double floorToInt(double x)
{
    return std::floor(x);
}

namespace {

bool isSkippable(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

double readLooseNumber(std::string_view text)
{
    // Collect the significant characters first, dropping blanks wherever they stand.
    std::string compact;
    compact.reserve(text.size() < 64 ? text.size() : 64);
    for (char c : text) {
        if (isSkippable(c))
            continue;
        compact.push_back(c);
        if (compact.size() >= 64)  // no number we read needs more; a hostile field cannot grow this
            break;
    }

    std::size_t i = 0;
    double sign = 1.0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) {
        sign = compact[i] == '-' ? -1.0 : 1.0;
        ++i;
    }
    double value = 0.0;
    bool any = false;
    while (i < compact.size() && compact[i] >= '0' && compact[i] <= '9') {
        value = value * 10.0 + (compact[i] - '0');
        any = true;
        ++i;
    }
    if (i < compact.size() && compact[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < compact.size() && compact[i] >= '0' && compact[i] <= '9') {
            value += (compact[i] - '0') * scale;
            scale /= 10.0;
            any = true;
            ++i;
        }
    }
    if (!any)
        return 0.0;
    if (i < compact.size() && (compact[i] == 'E' || compact[i] == 'e' || compact[i] == 'D' || compact[i] == 'd')) {
        std::size_t j = i + 1;
        int expSign = 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) {
            expSign = compact[j] == '-' ? -1 : 1;
            ++j;
        }
        int exponent = 0;
        bool expDigits = false;
        while (j < compact.size() && compact[j] >= '0' && compact[j] <= '9') {
            if (exponent < 400)
                exponent = exponent * 10 + (compact[j] - '0');
            expDigits = true;
            ++j;
        }
        if (expDigits)
            value *= std::pow(10.0, expSign * exponent);
    }
    return sign * value;
}

std::optional<std::int16_t> toInt16(double value)
{
    if (!std::isfinite(value) || value < std::numeric_limits<std::int16_t>::min()
        || value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

}  // namespace vortigo
