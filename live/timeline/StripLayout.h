#pragma once

// Where the timeline's strip lies in a window: along its foot, the whole
// width, the piece's 30 s from left to right. In window pixels from the top
// left, as the pointer reports them.
struct StripLayout {
    int width = 0;
    int top = 0;    // the strip's top edge
    int height = 0; // the strip's height
    int scale = 1;  // window pixels to a pixel of the font

    static StripLayout forWindow(int width, int height);

    bool contains(double x, double y) const;
    // The piece's time under `x`, within the piece.
    double timeAt(double x) const;
    double xAt(double time) const;
};
