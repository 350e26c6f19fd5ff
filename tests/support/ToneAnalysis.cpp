#include "ToneAnalysis.h"

#include "ChildProcess.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iomanip>
#include <numeric>
#include <sstream>

namespace audiotest {

namespace {

constexpr double pi = 3.14159265358979323846;

// Energy of `window` at `frequency`, as a share of the window's whole energy:
// about 1 for a pure tone at that frequency, about 0 for a tone an octave away
// (a 20 ms window resolves 50 Hz).
double toneShare(const float* window, std::size_t length, int rate, double frequency,
                 double energy) {
    double coefficient = 2.0 * std::cos(2.0 * pi * frequency / rate);
    double previous = 0.0, beforePrevious = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        double current = window[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    double power = previous * previous + beforePrevious * beforePrevious -
                   coefficient * previous * beforePrevious;
    return 2.0 * power / (static_cast<double>(length) * energy);
}

// Cuts the signal into 20 ms windows, names each window after the tone that
// carries most of its energy, and joins equal neighbours into spans.
std::vector<ToneSpan> toneSpans(const std::vector<float>& samples, int rate,
                                const std::vector<double>& tones) {
    const std::size_t window = static_cast<std::size_t>(rate / 50);
    // Below this RMS (about -46 dBFS) a window counts as silence.
    const double silentEnergy = 0.005 * 0.005 * static_cast<double>(window);
    std::vector<ToneSpan> spans;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        const float* w = &samples[start];
        const double energy = std::inner_product(w, w + window, w, 0.0);
        double frequency = energy < silentEnergy ? 0.0 : -1.0;
        if (frequency != 0.0) {
            for (double tone : tones) {
                if (toneShare(w, window, rate, tone, energy) > 0.6) {
                    frequency = tone;
                }
            }
        }
        if (!spans.empty() && spans.back().frequency == frequency) {
            spans.back().length += window;
        } else {
            spans.push_back({frequency, start, window});
        }
    }
    return spans;
}

std::vector<ToneSpan> noticeableSpans(const std::vector<ToneSpan>& spans, std::size_t shortest) {
    std::vector<ToneSpan> kept;
    for (const ToneSpan& span : spans) {
        if (span.length < shortest) {
            continue;
        }
        if (!kept.empty() && kept.back().frequency == span.frequency) {
            kept.back().length = span.start + span.length - kept.back().start;
        } else {
            kept.push_back(span);
        }
    }
    return kept;
}

} // namespace

std::size_t frameCount(const std::string& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::size_t>(size / bytesPerFrame);
}

std::vector<float> readStereoAsMono(const std::string& path) {
    const std::string bytes = testsupport::readFile(path);
    std::size_t frames = bytes.size() / bytesPerFrame;
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const auto* frame = reinterpret_cast<const unsigned char*>(&bytes[i * bytesPerFrame]);
        auto left = static_cast<std::int16_t>(frame[0] | (frame[1] << 8));
        auto right = static_cast<std::int16_t>(frame[2] | (frame[3] << 8));
        samples[i] = (static_cast<float>(left) + static_cast<float>(right)) / 65536.0f;
    }
    return samples;
}

std::optional<std::size_t> firstAudibleFrame(const std::vector<float>& samples, float level) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) >= level) {
            return i;
        }
    }
    return std::nullopt;
}

std::vector<ToneSpan> spansOfTones(const std::vector<float>& samples,
                                   const std::vector<double>& tones, double shortest) {
    // Dropouts first: a tone that a busy machine interrupts for a few
    // windows is one tone to a listener, however long `shortest` asks it to
    // last.
    const auto glitch = static_cast<std::size_t>(std::min(shortest, 0.1) * deviceRate);
    return noticeableSpans(noticeableSpans(toneSpans(samples, deviceRate, tones), glitch),
                           static_cast<std::size_t>(shortest * deviceRate));
}

std::string describe(const std::vector<ToneSpan>& spans) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(3);
    for (const ToneSpan& span : spans) {
        text << (&span == &spans.front() ? "" : ", ");
        if (span.frequency > 0) {
            text << static_cast<int>(span.frequency) << " Hz";
        } else {
            text << (span.frequency == 0 ? "silence" : "other");
        }
        text << " for " << static_cast<double>(span.length) / deviceRate << " s at "
             << static_cast<double>(span.start) / deviceRate << " s";
    }
    return text.str();
}

} // namespace audiotest
