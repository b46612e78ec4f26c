// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/links.h"

#include "tests/support/fake_platform.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vortigo {
namespace {

TEST(HelpPage, OpensThePageBesideTheProgramFromAnyCurrentFolderEvenOneThatIsGone)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    test::TestFolder program("vortigo-program");
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    test::FakePlatform platform;
    openHelpPage(platform, program.path());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(program.path()));
    openHelpPage(platform, program.path() / "sparita");
    ASSERT_EQ(platform.commands.size(), 2u);
    for (const auto& command : platform.commands)
        EXPECT_EQ(std::pair(command.line, command.style), std::pair(std::string("start vortigo.htm"), 2));
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace vortigo
