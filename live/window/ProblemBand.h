#pragma once

#include "OverlayBatch.h"

#include <string>
#include <vector>

// The first problem lines of the latest build in plain text over the foot of
// the window (above the timeline where it is shown), light on a dark
// translucent band so that they read on any picture; nothing while the piece
// builds cleanly. Drawn into the window alone, never into the demo's frame,
// which F12's shots read. Needs the context current for its whole life.
class ProblemBand {
  public:
    // The lines to show: the build's errors, then the strict check's warnings.
    void show(const std::vector<std::string>& errors, const std::vector<std::string>& warnings);

    // Draws the band over the window's back buffer, `width` x `height`, its
    // foot `above` pixels over the window's.
    void draw(int width, int height, int above);

  private:
    struct Line {
        std::string text;
        bool error;
    };

    // The band's and the letters' quads for a window of this size.
    void layOut(int width, int height, int above);

    std::vector<Line> lines_;
    OverlayBatch batch_;    // empty where its program did not build: the console has it all
    int laidOutWidth_ = -1; // the window size and place that the batch was made for
    int laidOutHeight_ = -1;
    int laidOutAbove_ = -1;
};
