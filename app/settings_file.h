// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file "vortigo.INI": three CR LF lines, "Livello=", "Giocatore1="
// and "Suono=", in the single-byte character set. The settings themselves
// live in Form1's controls; this is only the file's reading and writing.
#pragma once

#include "core/file_writing.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vortigo {

inline constexpr char kSettingsFileName[] = "vortigo.INI";

/// What a settings file says; a setting it does not mention stays unset.
struct SettingsRead {
    std::optional<int> level;               ///< level item 0..3
    std::optional<std::string> playerName;  ///< Latin-1, trailing blanks removed
    std::optional<bool> sound;
};

/// Reads the file's text. Every line is searched for "Livello=", then
/// "Giocatore1=", then "Suono=" (exact case, anywhere in the line); the value
/// is everything after the line's first "=". Unknown level words mean
/// Allenamento, unknown sound words mean off, and the last line of a key wins.
SettingsRead parseSettings(std::string_view text);

/// The file's text as SaveSettings writes it, from the level check marks
/// (items 0..3), the player name (Latin-1) and the sound switch.
std::string formatSettings(const std::array<bool, 4>& levelChecked, std::string_view playerName, bool soundOn);

/// Files larger than this are read only up to here; a real one is a few dozen bytes.
inline constexpr std::size_t kSettingsReadLimit = 64 * 1024;

/// Reads "vortigo.INI" from the folder; nothing when there is no such file.
std::optional<SettingsRead> readSettingsFile(const std::filesystem::path& folder);

/// Replaces "vortigo.INI" in the folder with the text, all or nothing (see
/// replaceFile); says why when it could not.
WriteOutcome writeSettingsFile(const std::filesystem::path& folder, std::string_view text);

/// What the player is told when the settings could not be saved.
std::string settingsWriteFailedMessage(const WriteOutcome& outcome);

}  // namespace vortigo
