// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as vortigo.INI: reading must end well and give settings the game
// can hold; written back and read again, the same settings must come out.
#include "app/settings_file.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>
#include <string>

using namespace vortigo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path& folder = fuzz::scratchFolder();
    fuzz::writeBytes(folder / kSettingsFileName, bytes);

    const std::optional<SettingsRead> read = readSettingsFile(folder);
    fuzz::check(read.has_value(), "a file that is there is read");
    fuzz::check(!read->level || (*read->level >= 0 && *read->level <= 3), "a level is one of the four");
    if (read->playerName) {
        const std::string& name = *read->playerName;
        fuzz::check(name.find_first_of("\r\n") == std::string::npos, "a name lies on one line");
        fuzz::check(name.empty() || name.back() != ' ', "a name has no trailing blanks");
    }

    // What the window would hold after start-up: the file's settings over the
    // design-time ones (Pibo, "Brivo", sound on).
    const int level = read->level.value_or(1);
    const std::string name = read->playerName.value_or("Brivo");
    const bool sound = read->sound.value_or(true);
    const std::string text = formatSettings({level == 0, level == 1, level == 2, level == 3}, name, sound);
    fuzz::check(writeSettingsFile(folder, text).ok(), "the settings are saved");
    fuzz::check(fuzz::readBytes(folder / kSettingsFileName) == text, "the file holds exactly what was saved");

    const std::optional<SettingsRead> back = readSettingsFile(folder);
    fuzz::check(back && back->level == level && back->sound == sound, "level and sound read back as saved");
    fuzz::check(back->playerName == name, "the name reads back as saved");
    return 0;
}
