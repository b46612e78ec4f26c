// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/assets/wav_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vortigo::assets {

// The game's six sounds, each built from a fixed recipe so that every run of
// the generator writes the same bytes.
struct NamedSound {
    std::string fileName;  // exactly as the game asks for it, letter case included
    MonoSound sound;
};

std::vector<NamedSound> makeGameSounds();

// The building blocks, kept public so that the recipes read like a score.
// A Track holds samples in [-1, 1] before they are scaled to 16 bits.
class Track {
public:
    Track(int sampleRate, double seconds);

    int sampleRate() const { return m_rate; }
    double seconds() const { return static_cast<double>(m_samples.size()) / m_rate; }

    // A tone of base frequency hz starting at start, lasting length seconds,
    // with harmonics given as (ratio, relative amplitude) pairs. The envelope
    // rises linearly over attack seconds and then decays exponentially with the
    // time constant decay; the last release seconds fade linearly to zero so no
    // tone ever ends on a step. glideTo, when positive, is the frequency the tone
    // slides to (exponentially) by its end; vibratoHz/vibratoDepth wobble it.
    struct Tone {
        double start = 0.0;
        double length = 0.1;
        double hz = 440.0;
        double glideTo = 0.0;
        double gain = 0.5;
        double attack = 0.004;
        double decay = 1.0;
        double release = 0.01;
        double vibratoHz = 0.0;
        double vibratoDepth = 0.0;  // fraction of the frequency
        std::vector<std::pair<double, double>> partials{{1.0, 1.0}};
    };
    void addTone(const Tone& tone);

    // White noise from a fixed seed, smoothed by a one-pole low-pass whose
    // cut-off slides from fromHz to toHz, with the same envelope rules as a tone.
    struct Noise {
        double start = 0.0;
        double length = 0.1;
        double fromHz = 4000.0;
        double toHz = 4000.0;
        double gain = 0.3;
        double attack = 0.002;
        double decay = 0.1;
        double release = 0.01;
        std::uint32_t seed = 1;
    };
    void addNoise(const Noise& noise);

    // Scales the mix so its loudest sample reaches peak (of full scale), then
    // fades the first and last fadeSeconds so the file starts and ends at rest.
    MonoSound finish(double peak, double fadeSeconds = 0.003) const;

private:
    double envelope(double t, double length, double attack, double decay, double release) const;

    int m_rate;
    std::vector<double> m_samples;
};

}  // namespace vortigo::assets
