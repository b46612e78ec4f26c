// SPDX-License-Identifier: GPL-3.0-or-later
#include "links.h"

#include <string>
#include <system_error>

namespace vortigo {

void openHelpPage(Platform& platform, const std::filesystem::path& programFolder)
{
    // "vortigo.htm" is a bare name: it is found beside the program only once the
    // program's folder is the current one, wherever the current folder was before.
    // If the folder cannot be entered the command still runs; a page that cannot
    // be opened is not reported.
    std::error_code ignored;
    std::filesystem::current_path(programFolder, ignored);
    platform.runCommand("start vortigo.htm", kMinimisedWithFocus);
}

void openCredits(Platform& platform, const std::filesystem::path& programFolder)
{
    std::error_code ignored;
    std::filesystem::current_path(programFolder, ignored);
    platform.runCommand(std::string("start ") + kCreditsFileName, kMinimisedWithFocus);
}

void openAuthorMail(Platform& platform)
{
    platform.runCommand(std::string("start mailto:") + kAuthorMailAddress, kMinimisedWithFocus);
}

void openHomePage(Platform& platform)
{
    platform.runCommand(std::string("start ") + kHomePageAddress, kMinimisedWithFocus);
}

}  // namespace vortigo
