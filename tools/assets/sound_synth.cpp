// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/assets/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vortigo::assets {

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Frequency of a note given in semitones from A4 (440 Hz).
double note(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// Semitone offsets from A4 of the notes the recipes use.
constexpr int C5 = 3, E5 = 7, G5 = 10, C6 = 15, E6 = 19, G6 = 22;
constexpr int G4 = -2, Fs4 = -3, F4 = -4, E4 = -5;

// Soft, slightly hollow timbre for melodies; bell partials for chimes.
const std::vector<std::pair<double, double>> kWarm{{1.0, 1.0}, {2.0, 0.35}, {3.0, 0.18}, {4.0, 0.08}};
const std::vector<std::pair<double, double>> kBell{{1.0, 1.0}, {2.0, 0.45}, {2.76, 0.22}, {5.4, 0.08}};
const std::vector<std::pair<double, double>> kOddBuzz{{1.0, 1.0}, {3.0, 0.33}, {5.0, 0.2}, {7.0, 0.14}};

// The player clicked beside the grid: a dull bonk that drops in pitch.
MonoSound collapse()
{
    Track t(kRate, 0.26);
    t.addTone({.start = 0.0, .length = 0.26, .hz = 180.0, .glideTo = 60.0, .gain = 0.9,
               .attack = 0.002, .decay = 0.07, .release = 0.03,
               .partials = {{1.0, 1.0}, {1.5, 0.25}, {2.0, 0.1}}});
    t.addNoise({.start = 0.0, .length = 0.05, .fromHz = 1800.0, .toHz = 300.0, .gain = 0.35,
                .attack = 0.001, .decay = 0.015, .release = 0.01, .seed = 7});
    return t.finish(0.7);
}

// A letter clicked: a short, crisp pop about 60 ms long.
MonoSound letterTick()
{
    Track t(kRate, 0.06);
    t.addTone({.start = 0.0, .length = 0.06, .hz = 1900.0, .glideTo = 1300.0, .gain = 0.8,
               .attack = 0.0015, .decay = 0.014, .release = 0.008,
               .partials = {{1.0, 1.0}, {2.0, 0.2}}});
    t.addNoise({.start = 0.0, .length = 0.012, .fromHz = 6000.0, .toHz = 3000.0, .gain = 0.25,
                .attack = 0.0005, .decay = 0.004, .release = 0.004, .seed = 11});
    return t.finish(0.55, 0.0015);
}

// A wrong letter while errors are still allowed: a rough buzz inside a burst of noise.
MonoSound wrongLetter()
{
    Track t(kRate, 0.42);
    t.addTone({.start = 0.0, .length = 0.42, .hz = 98.0, .glideTo = 82.0, .gain = 0.5,
               .attack = 0.004, .decay = 0.22, .release = 0.06, .partials = kOddBuzz});
    t.addTone({.start = 0.0, .length = 0.42, .hz = 104.0, .glideTo = 86.0, .gain = 0.35,
               .attack = 0.004, .decay = 0.2, .release = 0.06, .partials = kOddBuzz});
    t.addNoise({.start = 0.0, .length = 0.35, .fromHz = 5000.0, .toHz = 500.0, .gain = 0.6,
                .attack = 0.002, .decay = 0.08, .release = 0.05, .seed = 23});
    return t.finish(0.75);
}

// The game is lost: four notes stepping down, the last one sagging and wobbling.
MonoSound gameLost()
{
    Track t(kRate, 0.98);
    const int steps[] = {G4, Fs4, F4};
    for (int i = 0; i < 3; ++i) {
        t.addTone({.start = 0.19 * i, .length = 0.2, .hz = note(steps[i]), .gain = 0.5,
                   .attack = 0.012, .decay = 0.5, .release = 0.04, .partials = kWarm});
    }
    t.addTone({.start = 0.57, .length = 0.41, .hz = note(E4), .glideTo = note(E4) * 0.94, .gain = 0.55,
               .attack = 0.012, .decay = 0.4, .release = 0.12, .vibratoHz = 6.0,
               .vibratoDepth = 0.012, .partials = kWarm});
    return t.finish(0.7, 0.004);
}

// A round is won: a quick rising arpeggio that lands on a ringing chord.
MonoSound roundWon()
{
    Track t(kRate, 1.35);
    const int run[] = {C5, E5, G5, C6};
    for (int i = 0; i < 4; ++i) {
        t.addTone({.start = 0.09 * i, .length = 0.16, .hz = note(run[i]), .gain = 0.45,
                   .attack = 0.003, .decay = 0.12, .release = 0.03, .partials = kBell});
    }
    const int chord[] = {C6, E6, G6};
    for (int n : chord) {
        t.addTone({.start = 0.36, .length = 0.99, .hz = note(n), .gain = 0.33,
                   .attack = 0.004, .decay = 0.38, .release = 0.15, .vibratoHz = 5.0,
                   .vibratoDepth = 0.003, .partials = kBell});
    }
    t.addNoise({.start = 0.36, .length = 0.25, .fromHz = 9000.0, .toHz = 6000.0, .gain = 0.05,
                .attack = 0.002, .decay = 0.06, .release = 0.05, .seed = 31});
    return t.finish(0.75);
}

// Sound switched on: two bell notes, a fourth apart, rising.
MonoSound soundOn()
{
    Track t(kRate, 0.7);
    t.addTone({.start = 0.0, .length = 0.4, .hz = note(G5), .gain = 0.5,
               .attack = 0.003, .decay = 0.16, .release = 0.06, .partials = kBell});
    t.addTone({.start = 0.14, .length = 0.56, .hz = note(C6), .gain = 0.5,
               .attack = 0.003, .decay = 0.2, .release = 0.1, .partials = kBell});
    return t.finish(0.7);
}

}  // namespace

Track::Track(int sampleRate, double seconds)
    : m_rate(sampleRate),
      m_samples(static_cast<std::size_t>(std::lround(seconds * sampleRate)), 0.0)
{
}

double Track::envelope(double t, double length, double attack, double decay, double release) const
{
    if (t < 0.0 || t >= length)
        return 0.0;
    double level = attack > 0.0 && t < attack ? t / attack : std::exp(-(t - attack) / decay);
    const double untilEnd = length - t;
    if (release > 0.0 && untilEnd < release)
        level *= untilEnd / release;
    return level;
}

void Track::addTone(const Tone& tone)
{
    const auto first = static_cast<std::size_t>(std::lround(tone.start * m_rate));
    const auto count = static_cast<std::size_t>(std::lround(tone.length * m_rate));
    // The phase is integrated sample by sample so glides and vibrato stay smooth.
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < m_samples.size(); ++i) {
        const double t = static_cast<double>(i) / m_rate;
        double hz = tone.hz;
        if (tone.glideTo > 0.0)
            hz *= std::pow(tone.glideTo / tone.hz, t / tone.length);
        if (tone.vibratoDepth > 0.0)
            hz *= 1.0 + tone.vibratoDepth * std::sin(kTwoPi * tone.vibratoHz * t);
        double value = 0.0;
        for (const auto& [ratio, amplitude] : tone.partials) {
            // Higher partials die away sooner, as they do on struck things.
            value += amplitude * std::sin(phase * ratio) * std::exp(-t * (ratio - 1.0) * 3.0);
        }
        m_samples[first + i] += tone.gain * envelope(t, tone.length, tone.attack, tone.decay, tone.release) * value;
        phase += kTwoPi * hz / m_rate;
    }
}

void Track::addNoise(const Noise& noise)
{
    const auto first = static_cast<std::size_t>(std::lround(noise.start * m_rate));
    const auto count = static_cast<std::size_t>(std::lround(noise.length * m_rate));
    std::uint32_t state = noise.seed ? noise.seed : 1;  // xorshift32 must not start at 0
    double filtered = 0.0;
    for (std::size_t i = 0; i < count && first + i < m_samples.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double white = static_cast<double>(state) / 2147483648.0 - 1.0;
        const double t = static_cast<double>(i) / m_rate;
        const double cutoff = noise.fromHz * std::pow(noise.toHz / noise.fromHz, t / noise.length);
        const double alpha = 1.0 - std::exp(-kTwoPi * cutoff / m_rate);
        filtered += alpha * (white - filtered);
        m_samples[first + i] += noise.gain * envelope(t, noise.length, noise.attack, noise.decay, noise.release) * filtered;
    }
}

MonoSound Track::finish(double peak, double fadeSeconds) const
{
    double loudest = 0.0;
    for (double s : m_samples)
        loudest = std::max(loudest, std::abs(s));
    const double scale = loudest > 0.0 ? peak / loudest : 0.0;
    const auto fade = static_cast<std::size_t>(std::lround(fadeSeconds * m_rate));

    MonoSound out;
    out.sampleRate = m_rate;
    out.samples.reserve(m_samples.size());
    const std::size_t n = m_samples.size();
    for (std::size_t i = 0; i < n; ++i) {
        double gain = scale;
        if (fade > 0 && i < fade)
            gain *= static_cast<double>(i) / fade;
        if (fade > 0 && n - 1 - i < fade)
            gain *= static_cast<double>(n - 1 - i) / fade;
        const double v = std::clamp(m_samples[i] * gain, -1.0, 1.0);
        out.samples.push_back(static_cast<std::int16_t>(std::lround(v * 32767.0)));
    }
    return out;
}

std::vector<NamedSound> makeGameSounds()
{
    return {
        {"COLLAPSE.WAV", collapse()},
        {"SND0002.WAV", letterTick()},
        {"explode2.WAV", wrongLetter()},
        {"perdi.WAV", gameLost()},
        {"VINCI.WAV", roundWon()},
        {"SOUND2.wav", soundOn()},
    };
}

}  // namespace vortigo::assets
