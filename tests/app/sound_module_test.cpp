// SPDX-License-Identifier: GPL-3.0-or-later
// Sound comes from a module beside the program, loaded at the first sound.
#include "app/qt_platform.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

using namespace vortigo;

TEST(QtPlatformSound, TheModuleBesideTheProgramLoadsAtTheFirstSoundAndAFolderWithoutItStaysSilent)
{
    {
        QtPlatform platform(VORTIGO_BINARY_DIR);
        EXPECT_FALSE(platform.soundModuleLoaded());
        platform.playSound("SND0002.WAV");
        EXPECT_TRUE(platform.soundModuleLoaded());
        platform.playSound("VINCI.WAV");
    }  // the sound thread stops with the platform
    QtPlatform silent(std::filesystem::temp_directory_path());
    silent.playSound("SND0002.WAV");
    EXPECT_FALSE(silent.soundModuleLoaded());
}
