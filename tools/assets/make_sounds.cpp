// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the game's six wave files into the folder given as the only argument.
#include "tools/assets/sound_synth.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const auto& [name, sound] : vortigo::assets::makeGameSounds()) {
        const std::string path = folder + "/" + name;
        if (!vortigo::assets::writeWav(path, sound)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%-14s %6.3f s\n", name.c_str(),
                    static_cast<double>(sound.samples.size()) / sound.sampleRate);
    }
    return 0;
}
