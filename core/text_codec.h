// SPDX-License-Identifier: GPL-3.0-or-later
// The game's files and its record hold single-byte Latin-1 text; the
// platform seam and the windows speak UTF-8. These convert at the border.
#pragma once

#include <string>
#include <string_view>

namespace vortigo {

std::string latin1ToUtf8(std::string_view latin1);

/// Characters outside Latin-1 (and broken sequences) become '?'.
std::string utf8ToLatin1(std::string_view utf8);

}  // namespace vortigo
