#pragma once

#include "Program.h"

#include <glad/gl.h>

#include <string>
#include <vector>

// The first problem lines of the latest build in plain text over the foot of
// the window, light on a dark translucent band so that they read on any
// picture; nothing while the piece builds cleanly. Drawn into the window
// alone, never into the demo's frame, which F12's shots read. The letters
// are Debian's header-only stb_easy_font: quads, no font file or texture.
// Needs the context current for its whole life.
class ProblemBand {
  public:
    ProblemBand();
    ~ProblemBand();
    ProblemBand(const ProblemBand&) = delete;
    ProblemBand& operator=(const ProblemBand&) = delete;

    // The lines to show: the build's errors, then the strict check's warnings.
    void show(const std::vector<std::string>& errors, const std::vector<std::string>& warnings);

    // Draws the band over the window's back buffer, `width` x `height`.
    void draw(int width, int height);

  private:
    struct Line {
        std::string text;
        bool error;
    };

    // The band's and the letters' quads for a window of this size.
    void layOut(int width, int height);

    std::vector<Line> lines_;
    Program program_; // empty where it did not build: no band, the console has it all
    GLuint vertexArray_ = 0;
    GLuint vertices_ = 0;
    GLuint indices_ = 0;
    GLsizei indexCount_ = 0;
    int laidOutWidth_ = -1; // the window size that the buffers were made for
    int laidOutHeight_ = -1;
};
