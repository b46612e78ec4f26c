// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the sound module, with the real one's two entry points: it
// writes down every file it is asked to play, one line each, in the file
// that VORTIGO_SOUNDS_HEARD names, so a test hears what the real platform
// would have played without a sound card.
#include <QString>

#include <cstdio>
#include <cstdlib>

extern "C" Q_DECL_EXPORT void vortigo_sound_play(const QString* path)
{
    const char* heard = std::getenv("VORTIGO_SOUNDS_HEARD");
    if (FILE* file = heard ? std::fopen(heard, "a") : nullptr) {
        std::fprintf(file, "%s\n", path->toUtf8().constData());
        std::fclose(file);
    }
}

extern "C" Q_DECL_EXPORT void vortigo_sound_stop() {}
