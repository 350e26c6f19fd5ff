#include "TimelineStrip.h"

#include "Waveform.h"

#include <glad/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr OverlayBatch::Colour background{0, 0, 0, 170};
constexpr OverlayBatch::Colour wave{90, 160, 220, 210};
constexpr OverlayBatch::Colour second{255, 255, 255, 90};
constexpr OverlayBatch::Colour barLine{255, 200, 80, 170};
constexpr OverlayBatch::Colour beatTick{255, 200, 80, 110};
constexpr OverlayBatch::Colour loopArea{80, 140, 255, 80};
constexpr OverlayBatch::Colour loopEdge{120, 170, 255, 230};
constexpr OverlayBatch::Colour markLineColour{255, 90, 200, 230};
constexpr OverlayBatch::Colour text{235, 235, 235, 255};

bool sameLoop(const std::optional<PieceClock::Loop>& a, const std::optional<PieceClock::Loop>& b) {
    return a.has_value() == b.has_value() && (!a || (a->from == b->from && a->to == b->to));
}

} // namespace

std::string soundStatus(const Timeline& timeline) {
    const auto& sound = timeline.soundtrack();
    std::string status;
    if (!sound) {
        status = "analysing audio.mp3";
    } else if (sound->state == SoundtrackView::State::None) {
        status = "no sound: there is no audio.mp3";
    } else if (sound->state == SoundtrackView::State::NotDecodable) {
        status = "no sound: " + sound->problem;
    }
    if (const auto& grid = timeline.grid()) {
        char tempo[64];
        std::snprintf(tempo, sizeof tempo, "%.1f BPM, %d beats a bar", grid->bpm,
                      grid->beatsPerBar);
        status += (status.empty() ? "" : " - ") + std::string(tempo);
    } else if (sound && sound->state == SoundtrackView::State::Decoded) {
        status = "no steady beat";
    }
    return status;
}

void TimelineStrip::addWaveform(const StripLayout& strip, const SoundtrackView& sound) {
    const auto& levels = sound.levels;
    if (levels.empty()) {
        return;
    }
    // The bins of the track that the piece plays at each column's time;
    // the loudest of them, so that a short hit is not lost between columns.
    const double binsPerPixel = PieceClock::length * Waveform::binsPerSecond / strip.width;
    const auto trackBins = static_cast<double>(levels.size());
    const float middle = static_cast<float>(strip.top) + strip.height * 0.5f;
    // The loudest moment reaches the strip's edges, however loud the track.
    const int peak = std::max<int>(1, *std::max_element(levels.begin(), levels.end()));
    const float reach = strip.height * 0.45f;
    for (int x = 0; x < strip.width; ++x) {
        int loudest = 0;
        for (double bin = x * binsPerPixel; bin < (x + 1) * binsPerPixel; bin += 1.0) {
            double at = bin;
            if (sound.ended) {
                at = std::fmod(bin, trackBins); // the demo plays it again
            }
            if (at < trackBins) {
                loudest = std::max<int>(loudest, levels[static_cast<std::size_t>(at)]);
            }
        }
        const float half = reach * static_cast<float>(loudest) / static_cast<float>(peak);
        if (half >= 0.5f) {
            batch_.addRect(static_cast<float>(x), middle - half, 1.0f, 2.0f * half, wave);
        }
    }
}

void TimelineStrip::addGrid(const StripLayout& strip, const BeatGrid& grid) {
    const float top = static_cast<float>(strip.top);
    const float thin = static_cast<float>(std::max(1, strip.scale / 2));
    for (long index = grid.beatIndexAt(0.0); grid.beatTime(index) < PieceClock::length; ++index) {
        const double time = grid.beatTime(index);
        if (time < 0.0) {
            continue;
        }
        const float x = static_cast<float>(strip.xAt(time));
        const bool bar = ((index % grid.beatsPerBar) + grid.beatsPerBar) % grid.beatsPerBar == 0;
        if (bar) {
            batch_.addRect(x, top, thin, static_cast<float>(strip.height), barLine);
        } else {
            const float tick = static_cast<float>(strip.height) * 0.3f;
            batch_.addRect(x, top + static_cast<float>(strip.height) - tick, thin, tick, beatTick);
        }
    }
}

void TimelineStrip::layOut(const StripLayout& strip, const Timeline& timeline,
                           const std::optional<PieceClock::Loop>& loop) {
    laidOut_ = true;
    laidOutWidth_ = strip.width;
    laidOutTop_ = strip.top;
    laidOutRevision_ = timeline.revision();
    laidOutLoop_ = loop;

    batch_.clear();
    const float top = static_cast<float>(strip.top);
    const float height = static_cast<float>(strip.height);
    const float unit = static_cast<float>(strip.scale);
    batch_.addRect(0.0f, top, static_cast<float>(strip.width), height, background);
    if (loop) {
        const float from = static_cast<float>(strip.xAt(loop->from));
        const float to = static_cast<float>(strip.xAt(loop->to));
        batch_.addRect(from, top, to - from, height, loopArea);
        batch_.addRect(from, top, unit, height, loopEdge);
        batch_.addRect(to - unit, top, unit, height, loopEdge);
    }
    if (const auto& sound = timeline.soundtrack(); sound) {
        addWaveform(strip, *sound);
    }
    for (int s = 1; s < static_cast<int>(PieceClock::length); ++s) {
        const float x = static_cast<float>(strip.xAt(s));
        batch_.addRect(x, top, 1.0f, unit * (s % 5 == 0 ? 6.0f : 3.0f), second);
    }
    if (const auto& grid = timeline.grid()) {
        addGrid(strip, *grid);
    }
    const auto& marks = timeline.marks();
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const float x = static_cast<float>(strip.xAt(marks[i]));
        batch_.addRect(x - unit * 0.5f, top, unit, height, markLineColour);
        batch_.addText(x + unit, top + height - 8.0f * unit, strip.scale, std::to_string(i + 1),
                       markLineColour);
    }
    // The words on a darker ground of their own, over the waveform.
    const std::string status = soundStatus(timeline);
    batch_.addRect(0.0f, top, (OverlayBatch::widthOf(status) + 4.0f) * unit, 10.0f * unit,
                   background);
    batch_.addText(2.0f * unit, top + 2.0f * unit, strip.scale, status, text);
    batch_.upload();
}

void TimelineStrip::draw(const StripLayout& strip, const Timeline& timeline,
                         const std::optional<PieceClock::Loop>& loop, double time) {
    if (strip.width <= 0 || strip.height <= 0) {
        return;
    }
    if (!laidOut_ || strip.width != laidOutWidth_ || strip.top != laidOutTop_ ||
        timeline.revision() != laidOutRevision_ || !sameLoop(loop, laidOutLoop_)) {
        layOut(strip, timeline, loop);
    }
    batch_.draw(strip.width, strip.top + strip.height);
    // The playhead, which moves every frame: a cleared column rather than
    // a buffer filled again.
    const int width = std::max(2, strip.scale);
    const int x = static_cast<int>(std::lround(strip.xAt(time))) - width / 2;
    glEnable(GL_SCISSOR_TEST);
    glScissor(std::max(0, x), 0, width, strip.height);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
}
