// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound_rules.h"

namespace vortigo {

double soundPauseSeconds(const std::string& fileName)
{
    std::string upper = fileName;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    if (upper == "SND0002.WAV")
        return 0.0;
    // Single precision, as the pause was always measured.
    return static_cast<float>(fileName.size()) / 20.0f;
}

void PlaySound(Platform& platform, bool soundOn, const std::string& fileName)
{
    if (!soundOn)
        return;
    platform.playSound(fileName);
    const double pause = soundPauseSeconds(fileName);
    if (pause > 0)
        platform.pause(pause);
}

}  // namespace vortigo
