// SPDX-License-Identifier: GPL-3.0-or-later
// What the world tables hold, as the store reads them back and the pages
// show them. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vortigo::records {

/// How many rows a world table shows.
inline constexpr int kTableRows = 50;

/// One row of a world table, as read back from the database.
struct TableRow {
    std::string name;
    std::int32_t points = 0;
    int round = 0;
    std::string isoDate;    ///< "yyyy-mm-dd"
    std::string clockTime;  ///< "hh:mm"
    std::string note;
};

/// One language's table, best first.
struct WorldTable {
    int language = 1;
    std::vector<TableRow> rows;
};

}  // namespace vortigo::records
