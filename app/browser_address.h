// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop's opener is handed for a web address that carries a
// query: a browser would end the address at a "#" and read "%XX" as an
// escape, so those two characters of the query go percent-encoded, and the
// page receives every character the player typed. Nothing else changes.
#pragma once

#include <string>

namespace vortigo {

/// For "http://" and "https://" addresses: "#" becomes "%23" and "%" becomes
/// "%25" after the first "?". Any other text comes back unchanged.
std::string browserAddress(const std::string& address);

}  // namespace vortigo
