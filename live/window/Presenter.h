#pragma once

#include "DemoFrame.h"
#include "ProblemBand.h"
#include "Program.h"
#include "TimelineStrip.h"

#include <glad/gl.h>

// Shows the demo's picture in the window: scaled, letterboxed to 16:9, and,
// while the latest build is failing, inside a thin red frame; the latest
// build's problems over the window's foot (ProblemBand.h), and under them the
// timeline (TimelineStrip.h) where it is shown. Needs the context current
// for its whole life.
class Presenter {
  public:
    Presenter();
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // The timeline to draw, at the piece's `time`.
    struct StripScene {
        const Timeline& timeline;
        std::optional<PieceClock::Loop> loop;
        double time;
    };

    // Draws `frame` into the window's back buffer, with `strip` where it is
    // given; the swap is the caller's.
    void present(const DemoFrame& frame, int windowWidth, int windowHeight, bool buildFailing,
                 const StripScene* strip);

    // The latest build's errors and warnings, shown from the next present on.
    void showProblems(const std::vector<std::string>& errors,
                      const std::vector<std::string>& warnings) {
        band_.show(errors, warnings);
    }

  private:
    Program program_; // empty where it did not build: the picture is blitted
    GLuint vertexArray_ = 0;
    ProblemBand band_;
    TimelineStrip strip_;
};
