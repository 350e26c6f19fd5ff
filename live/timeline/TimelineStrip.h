#pragma once

#include "OverlayBatch.h"
#include "PieceClock.h"
#include "StripLayout.h"
#include "Timeline.h"

#include <optional>

// The timeline drawn along the window's foot: the soundtrack's loudness over
// the piece's 30 s (a shorter track repeated as the demo repeats it), the
// seconds, the bars and beats where the tempo is known, the loop, the marks,
// a line that says what is known of the sound, and the playhead. Drawn into
// the window alone, never into the demo's frame. All but the playhead is
// laid out again only when it changes. Needs the context current for its
// whole life.
class TimelineStrip {
  public:
    void draw(const StripLayout& strip, const Timeline& timeline,
              const std::optional<PieceClock::Loop>& loop, double time);

  private:
    void layOut(const StripLayout& strip, const Timeline& timeline,
                const std::optional<PieceClock::Loop>& loop);
    void addWaveform(const StripLayout& strip, const SoundtrackView& sound);
    void addGrid(const StripLayout& strip, const BeatGrid& grid);

    OverlayBatch batch_;
    // What the batch was laid out for.
    int laidOutWidth_ = -1, laidOutTop_ = -1;
    unsigned laidOutRevision_ = 0;
    std::optional<PieceClock::Loop> laidOutLoop_;
    bool laidOut_ = false;
};

// What the strip says of the sound, in words: "analysing audio.mp3",
// "no steady beat", "128.0 BPM, 4 beats a bar" and the like.
std::string soundStatus(const Timeline& timeline);
