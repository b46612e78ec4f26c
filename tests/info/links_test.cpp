// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/links.h"

#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

namespace vortigo {
namespace {

TEST(HelpPage, OpensThePageBesideTheProgramFromAnyCurrentFolderEvenOneThatIsGone)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "vortigo-program-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path programFolder = std::filesystem::canonical(pattern);
    std::filesystem::current_path(std::filesystem::temp_directory_path());

    test::FakePlatform platform;
    openHelpPage(platform, programFolder);
    EXPECT_EQ(std::filesystem::current_path(), programFolder);
    openHelpPage(platform, programFolder / "sparita");
    EXPECT_EQ(platform.commands.size(), 2u);
    for (const auto& command : platform.commands) {
        EXPECT_EQ(command.line, "start vortigo.htm");
        EXPECT_EQ(command.style, 2);
    }

    std::filesystem::current_path(previous);
    std::filesystem::remove_all(programFolder);
}

}  // namespace
}  // namespace vortigo
