#pragma once

// Where the 16:9 picture goes in a window of any size: as large as fits,
// centred, with black bars on the two sides that are left over.
struct Rect {
    int x, y, width, height; // GL window coordinates, origin bottom left
};

Rect letterbox(int windowWidth, int windowHeight);
