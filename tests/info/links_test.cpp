#include "info/links.h"

#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace vortigo {
namespace {

using test::FakePlatform;

// Two scratch folders, and the current folder put back as it was afterwards.
class HelpPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::random_device seed;
        const std::string tag = std::to_string(seed());
        programFolder = std::filesystem::temp_directory_path() / ("vortigo-program-" + tag);
        elsewhere = std::filesystem::temp_directory_path() / ("vortigo-elsewhere-" + tag);
        std::filesystem::create_directories(programFolder);
        std::filesystem::create_directories(elsewhere);
        programFolder = std::filesystem::canonical(programFolder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(programFolder);
        std::filesystem::remove_all(elsewhere);
    }

    FakePlatform platform;
    std::filesystem::path programFolder;
    std::filesystem::path elsewhere;

private:
    std::filesystem::path m_previous;
};

TEST_F(HelpPage, OpensThePageBesideTheProgramFromAnyCurrentFolder)
{
    std::filesystem::current_path(elsewhere);
    openHelpPage(platform, programFolder);
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].line, "start vortigo.htm");
    EXPECT_EQ(platform.commands[0].style, 2);
    EXPECT_EQ(std::filesystem::current_path(), programFolder);
}

TEST_F(HelpPage, AProgramFolderThatIsGoneStillLetsTheCommandRun)
{
    std::filesystem::current_path(elsewhere);
    openHelpPage(platform, programFolder / "sparita");
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].line, "start vortigo.htm");
}

TEST(MakersLinks, MailAndHomePageOpenMinimisedWithTheirAddresses)
{
    FakePlatform platform;
    openAuthorMail(platform);
    openHomePage(platform);
    ASSERT_EQ(platform.commands.size(), 2u);
    EXPECT_EQ(platform.commands[0].line, "start mailto:autore@vortigo.example");
    EXPECT_EQ(platform.commands[0].style, 2);
    EXPECT_EQ(platform.commands[1].line, "start https://vortigo.example/");
    EXPECT_EQ(platform.commands[1].style, 2);
}

}  // namespace
}  // namespace vortigo
