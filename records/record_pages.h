// SPDX-License-Identifier: GPL-3.0-or-later
// The server's pages: plain, well-formed HTML in Italian that reads on a
// phone. Every value that came from a player goes through htmlEscape; the
// e-mail address is not among the values a page receives.
#pragma once

#include "record_query.h"
#include "world_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vortigo::records {

/// "&", "<", ">", '"' and "'" as entities.
std::string htmlEscape(std::string_view text);

/// Points with "." between thousands, as Italians write them: -1.234.567.
std::string italianPoints(std::int32_t points);

/// The answer to a stored (or already stored) record: the record, its place
/// in its language's table and a link to that table.
std::string recordPage(const Submission& record, int place, bool alreadyStored);

/// The world tables: the three, or the one asked for.
std::string tablePage(const std::vector<WorldTable>& tables);

/// A refusal: the title, the reason, a link back to the tables.
std::string errorPage(std::string_view title, std::string_view reason);

}  // namespace vortigo::records
