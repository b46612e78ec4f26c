// SPDX-License-Identifier: GPL-3.0-or-later
// The maker's links and the help page, opened with the desktop's default
// programs through "start" command lines.
#pragma once

#include "core/platform.h"

#include <filesystem>

namespace vortigo {

inline constexpr char kHomePageAddress[] = VORTIGO_HOMEPAGE;
inline constexpr char kHomePageCaption[] = VORTIGO_HOMEPAGE_CAPTION;
inline constexpr char kAuthorMailAddress[] = "autore@vortigo.example";

/// "start vortigo.htm", minimised with focus, after making the program's
/// folder the current folder so the page beside the program is found.
void openHelpPage(Platform& platform, const std::filesystem::path& programFolder);

/// "start CREDITS.txt", minimised with focus, from the program's folder like
/// the help page: the licence and the sources of the word lists and fonts.
void openCredits(Platform& platform, const std::filesystem::path& programFolder);

inline constexpr char kCreditsFileName[] = "CREDITS.txt";

/// "start mailto:" and the maker's address.
void openAuthorMail(Platform& platform);

/// "start " and the maker's home page.
void openHomePage(Platform& platform);

}  // namespace vortigo
