#pragma once

#include "Program.h"

#include <glad/gl.h>

#include <cstdint>
#include <string>
#include <vector>

// Flat rectangles and plain text drawn over the window's back buffer, in
// window pixels from its top left, blended by their colours' alpha: the
// problem lines and the timeline. Built up, uploaded once, then drawn as
// often as the window is presented. The letters are Debian's header-only
// stb_easy_font: quads, no font file or texture. Needs the context current
// for its whole life.
class OverlayBatch {
  public:
    struct Colour {
        std::uint8_t r, g, b, a;
    };
    static constexpr int lineUnits = 12; // the font's line height, in its own pixels

    OverlayBatch();
    ~OverlayBatch();
    OverlayBatch(const OverlayBatch&) = delete;
    OverlayBatch& operator=(const OverlayBatch&) = delete;

    void clear();
    void addRect(float x, float y, float width, float height, Colour colour);
    // `text` with its top left at (x, y), each of the font's pixels `scale`
    // window pixels; only printable ASCII is drawn, anything else as '?'.
    void addText(float x, float y, int scale, const std::string& text, Colour colour);
    // Hands what was added to the driver; until then draw shows the last.
    void upload();
    // Into the whole of a `width` x `height` window.
    void draw(int width, int height) const;

    // `text`'s width in the font's pixels, and `text` cut to `units` wide,
    // with "..." where it was cut.
    static int widthOf(const std::string& text);
    static std::string fitted(const std::string& text, int units);

  private:
    // stb_easy_font's vertex: x, y, z, then an RGBA colour.
    struct Vertex {
        float x, y, z;
        std::uint8_t colour[4];
    };
    static_assert(sizeof(Vertex) == 16, "the font's vertex layout");

    std::vector<Vertex> vertices_;
    Program program_; // empty where it did not build: nothing is drawn
    GLuint vertexArray_ = 0;
    GLuint buffer_ = 0;
    GLuint indices_ = 0;
    GLsizei indexCount_ = 0;
};
