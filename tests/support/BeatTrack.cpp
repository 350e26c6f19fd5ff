#include "BeatTrack.h"

#include "ChildProcess.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace testsupport {

namespace {

const double pi = std::acos(-1.0);

// Adds `sound(t)` (t in seconds from its start) into `mix` from `start` on,
// for `length` seconds.
template <typename Sound>
void addAt(std::vector<float>& mix, int rate, double start, double length, Sound sound) {
    const auto first = static_cast<long>(std::lround(start * rate));
    const auto count = static_cast<long>(length * rate);
    for (long i = 0; i < count && first + i < static_cast<long>(mix.size()); ++i) {
        if (first + i >= 0) {
            mix[static_cast<std::size_t>(first + i)] += static_cast<float>(sound(double(i) / rate));
        }
    }
}

void writeWave(const std::string& path, const std::vector<float>& mono, int rate) {
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<std::uint32_t>(mono.size() * 4); // 2 channels of 16 bits
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(static_cast<std::uint32_t>(rate));
    u32(static_cast<std::uint32_t>(rate) * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    for (float sample : mono) {
        const auto value = static_cast<std::int16_t>(
            std::lround(std::fmax(-1.0f, std::fmin(1.0f, sample)) * 32767.0f));
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value));
    }
}

} // namespace

void writeBeatTrack(const TempDir& dir, const std::string& name, const BeatPattern& pattern) {
    const int rate = pattern.rate;
    std::vector<float> mix(static_cast<std::size_t>(pattern.seconds * rate), 0.0f);
    const double beat = 60.0 / pattern.bpm;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    // A minor, F, C, G: a bar each.
    const double roots[] = {55.0, 43.65, 65.41, 49.0};

    for (long index = 0;; ++index) {
        const double at = pattern.firstDownbeat + index * beat;
        if (at >= pattern.seconds) {
            break;
        }
        const double root = roots[(index / 4) % 4];
        // The kick: a sine falling from 150 Hz to 50 Hz, dying in a tenth of a second.
        addAt(mix, rate, at, 0.3, [](double t) {
            const double phase = 2 * pi * (50.0 * t + 100.0 * 0.03 * (1.0 - std::exp(-t / 0.03)));
            return 0.6 * std::exp(-t / 0.1) * std::sin(phase);
        });
        // The bass: a root with two overtones, held for most of the beat.
        addAt(mix, rate, at, beat * 0.9, [&](double t) {
            const double envelope = std::fmin(1.0, t / 0.005) * std::exp(-t / 0.4);
            return 0.15 * envelope *
                   (std::sin(2 * pi * root * t) + 0.5 * std::sin(4 * pi * root * t) +
                    0.3 * std::sin(6 * pi * root * t));
        });
        // The hi-hat: a short burst of noise, made bright by a difference.
        const double offbeat = at + beat * (pattern.swung ? 2.0 / 3.0 : 0.5);
        double last = 0.0;
        addAt(mix, rate, offbeat, 0.05, [&](double t) {
            const double n = noise(random);
            const double bright = n - last;
            last = n;
            return 0.08 * std::exp(-t / 0.015) * bright;
        });
        // The pad: a triad two octaves up, struck on the bar's first beat.
        if (index % 4 == 0) {
            addAt(mix, rate, at, beat * 4, [&](double t) {
                const double envelope = std::fmin(1.0, t / 0.01) * std::exp(-t / 1.5);
                return 0.06 * envelope *
                       (std::sin(8 * pi * root * t) + std::sin(8 * pi * root * 1.26 * t) +
                        std::sin(8 * pi * root * 1.5 * t));
            });
        }
    }

    const std::string wave = dir.file(name + ".wav");
    writeWave(wave, mix, rate);
    ProcessOptions lame;
    // Below 32 kHz, MPEG 2 and 2.5 go no higher than 64 kbit/s; such tracks
    // are made mono, as a small file's are.
    lame.argv = {"lame", "--quiet", "-b", "192", wave, dir.file(name)};
    if (rate < 32000) {
        lame.argv = {"lame", "--quiet", "-m", "m", "-b", "32", wave, dir.file(name)};
    }
    ChildProcess process(lame);
    const auto status = process.waitForExit(std::chrono::seconds(60));
    std::remove(wave.c_str());
    if (!status || *status != 0) {
        throw std::runtime_error("lame could not make " + name);
    }
}

} // namespace testsupport
