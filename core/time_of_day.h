// SPDX-License-Identifier: GPL-3.0-or-later
// A clock of the time of day as a plain function and its argument: what the
// random draws read before every draw, so a reading costs one call and no
// more.
#pragma once

namespace vortigo {

struct TimeOfDay {
    /// Seconds since midnight, with their fraction, read from source.
    double (*read)(void* source) = nullptr;
    void* source = nullptr;
};

}  // namespace vortigo
