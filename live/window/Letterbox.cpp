#include "Letterbox.h"

Rect letterbox(int windowWidth, int windowHeight) {
    if (windowWidth <= 0 || windowHeight <= 0) {
        return {0, 0, 0, 0};
    }
    // Integer cross-multiplication keeps an exact 16:9 window exactly full.
    long long w = windowWidth, h = windowHeight;
    if (w * 9 > h * 16) {
        int width = static_cast<int>(h * 16 / 9);
        return {(windowWidth - width) / 2, 0, width, windowHeight};
    }
    int height = static_cast<int>(w * 9 / 16);
    return {0, (windowHeight - height) / 2, windowWidth, height};
}
