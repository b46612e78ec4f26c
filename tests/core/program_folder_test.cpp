// SPDX-License-Identifier: GPL-3.0-or-later
// The program finds its folder by the bytes of its name, UTF-8 or not.
#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

#include <fcntl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vortigo {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, IsFoundByItsBytesEvenWhenTheyAreNotUtf8)
{
    test::TestFolder root("vortigo-folder");
    // "gioco" with a Latin-1 è: not valid UTF-8.
    for (const std::string& name : {std::string("gioco\xE8"), std::string("gioco \xC3\xA8 UTF-8")}) {
        const fs::path folder = root.path() / name;
        fs::create_directories(folder);
        const fs::path probe = folder / "sonda";
        fs::copy_file(VORTIGO_FOLDER_PROBE, probe);
        const fs::path output = root.path() / "uscita";
        const int code = test::runInChild([&] {
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0 || ::dup2(fd, 1) < 0)
                return 101;
            ::execl(probe.c_str(), "sonda", static_cast<char*>(nullptr));
            return 102;
        });
        ASSERT_EQ(code, 0);
        EXPECT_EQ(test::readBytes(output), folder.native());
    }
}

}  // namespace
}  // namespace vortigo
