#include "Timeline.h"

#include <cmath>
#include <cstdio>

Timeline::Timeline(std::optional<BeatGrid> given, int beatsPerBar, bool shown)
    : grid_(given), given_(given.has_value()), beatsPerBar_(beatsPerBar), shown_(shown) {}

void Timeline::setSoundtrack(SoundtrackView view) {
    if (!given_ && view.tempo) {
        grid_ = BeatGrid{view.tempo->bpm, view.tempo->firstDownbeat, beatsPerBar_};
    }
    soundtrack_ = std::move(view);
    ++revision_;
}

void Timeline::stepBeat(PieceClock& clock, double now, int direction, bool wholeBar) const {
    const double time = clock.at(now);
    if (!grid_) {
        clock.seekBy(now, direction);
        return;
    }
    double target = 0.0;
    if (wholeBar) {
        target = direction > 0 ? grid_->nextBar(time) : grid_->previousBar(time);
    } else {
        target = direction > 0 ? grid_->nextBeat(time) : grid_->previousBeat(time);
    }
    clock.seekTo(now, target);
}

void Timeline::stepFrame(PieceClock& clock, double now, int direction) const {
    if (!clock.paused()) {
        clock.togglePause(now);
    }
    clock.seekBy(now, direction * frameStep);
}

void Timeline::toggleLoop(PieceClock& clock, double now) const {
    if (clock.loop()) {
        clock.endLoop(now);
        return;
    }
    const double time = clock.at(now);
    if (grid_) {
        const double start = grid_->barStart(time);
        clock.setLoop(now, start, start + grid_->barLength());
    } else {
        clock.setLoop(now, std::floor(time), std::floor(time) + 1.0);
    }
}

std::string Timeline::mark(double time, bool snapped) {
    if (snapped && grid_) {
        time = std::fmin(std::fmax(0.0, grid_->nearestSixteenth(time)), PieceClock::length);
    }
    marks_.push_back(time);
    ++revision_;
    return markLine(static_cast<int>(marks_.size()), time, grid_);
}

std::string Timeline::titleText(double time) const {
    if (!grid_) {
        return "";
    }
    const BeatGrid::Position at = grid_->positionAt(time);
    char text[64];
    std::snprintf(text, sizeof text, "bar %ld.%d \xc2\xb7 %.0f BPM", at.bar, at.beat, grid_->bpm);
    return text;
}

std::string markLine(int number, double time, const std::optional<BeatGrid>& grid) {
    char comment[64];
    if (grid) {
        const BeatGrid::Position at = grid->positionAt(time);
        // A beat and a fraction of it, in sixteenths where it is on one.
        const double beat = at.beat + at.fraction;
        if (at.fraction < 1e-6) {
            std::snprintf(comment, sizeof comment, "bar %ld, beat %d", at.bar, at.beat);
        } else {
            std::snprintf(comment, sizeof comment, "bar %ld, beat %.2f", at.bar, beat);
        }
    } else {
        std::snprintf(comment, sizeof comment, "%.3f s", time);
    }
    char line[128];
    std::snprintf(line, sizeof line, "const float mark%d = %.3f; // %s", number, time, comment);
    return line;
}
