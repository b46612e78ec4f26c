// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser_address.h"

namespace vortigo {

std::string browserAddress(const std::string& address)
{
    const bool web = address.starts_with("http://") || address.starts_with("https://");
    const std::size_t query = address.find('?');
    if (!web || query == std::string::npos)
        return address;
    std::string out = address.substr(0, query + 1);
    for (char c : address.substr(query + 1)) {
        if (c == '#')
            out += "%23";
        else if (c == '%')
            out += "%25";
        else
            out.push_back(c);
    }
    return out;
}

}  // namespace vortigo
