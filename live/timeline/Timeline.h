#pragma once

#include "BeatGrid.h"
#include "PieceClock.h"
#include "SoundtrackAnalysis.h"

#include <optional>
#include <string>
#include <vector>

// What the timeline knows and the keys that move over it: the soundtrack's
// loudness and beat grid, the loop, the marks, and whether the strip is
// shown. The grid is the one given on the command line or, without one, the
// one the soundtrack's analysis found. Nothing here draws or touches a file.
class Timeline {
  public:
    // A grid given by hand (--bpm) wins over the analysis.
    Timeline(std::optional<BeatGrid> given, int beatsPerBar, bool shown);

    // The analysis, once it is done.
    void setSoundtrack(SoundtrackView view);
    // None while the analysis runs.
    const std::optional<SoundtrackView>& soundtrack() const { return soundtrack_; }
    const std::optional<BeatGrid>& grid() const { return grid_; }
    int beatsPerBar() const { return beatsPerBar_; }

    bool shown() const { return shown_; }
    void toggleShown() { shown_ = !shown_; }

    // [ and ]: to the previous or next beat (bar), or a second without a grid.
    void stepBeat(PieceClock& clock, double now, int direction, bool wholeBar) const;
    // , and .: a frame back or forward, paused there.
    void stepFrame(PieceClock& clock, double now, int direction) const;
    // L: loops the bar under the time (the second, without a grid), or ends
    // the loop.
    void toggleLoop(PieceClock& clock, double now) const;

    // M: marks `time`, on the nearest sixteenth where there is a grid and
    // `snapped`; returns the line of GLSL that names it.
    std::string mark(double time, bool snapped);
    const std::vector<double>& marks() const { return marks_; }

    // For the title: "bar 7.3 . 128 BPM" (with a middle dot), or "" without a grid.
    std::string titleText(double time) const;

    // Changes whenever something that the strip draws, other than the time,
    // changes.
    unsigned revision() const { return revision_; }

  private:
    std::optional<BeatGrid> grid_;
    bool given_;
    int beatsPerBar_;
    bool shown_;
    std::optional<SoundtrackView> soundtrack_;
    std::vector<double> marks_;
    unsigned revision_ = 0;
};

// The line of GLSL for mark `number` at `time`: "const float mark3 = 12.375;
// // bar 7, beat 3", the comment "// 12.375 s" without a grid.
std::string markLine(int number, double time, const std::optional<BeatGrid>& grid);

// Frames a second that , and . step by: the demo's.
constexpr double frameStep = 1.0 / 60.0;
