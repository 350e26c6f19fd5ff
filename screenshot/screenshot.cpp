// vellomirke-screenshot [--wait-for-picture] OUT.png: writes the whole screen
// of $DISPLAY as PNG. With --wait-for-picture it first waits, up to 20 s, for
// a picture that a person can see: a program just started may not have drawn
// its first frame yet, or may be fading in from black, and a shot of an empty
// or black screen shows nothing.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "PngFile.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
struct ImageDestroyer {
    void operator()(XImage* i) const { XDestroyImage(i); }
};

// The colour masks of a TrueColor visual say where each channel sits.
unsigned channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    unsigned long max = mask >> shift;
    return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / max);
}

struct Shot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The root window's pixels as 8-bit RGB; false when the server gives none.
bool readScreen(Display* display, Shot& screen) {
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    std::unique_ptr<XImage, ImageDestroyer> image(
        XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap));
    if (!image) {
        return false;
    }
    screen.width = attributes.width;
    screen.height = attributes.height;
    screen.rgb.resize(static_cast<size_t>(attributes.width) * attributes.height * 3);
    size_t at = 0;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long pixel = XGetPixel(image.get(), x, y);
            screen.rgb[at++] = static_cast<std::uint8_t>(channel(pixel, image->red_mask));
            screen.rgb[at++] = static_cast<std::uint8_t>(channel(pixel, image->green_mask));
            screen.rgb[at++] = static_cast<std::uint8_t>(channel(pixel, image->blue_mask));
        }
    }
    return true;
}

// Below this level in every channel the screen looks black.
constexpr std::uint8_t visibleLevel = 16;

bool black(const Shot& screen) {
    return std::all_of(screen.rgb.begin(), screen.rgb.end(),
                       [](std::uint8_t c) { return c < visibleLevel; });
}

} // namespace

int main(int argc, char** argv) {
    const bool waitForPicture = argc == 3 && std::strcmp(argv[1], "--wait-for-picture") == 0;
    if (argc != 2 && !waitForPicture) {
        std::fprintf(stderr, "usage: %s [--wait-for-picture] OUT.png\n", argv[0]);
        return 2;
    }
    const char* out = argv[argc - 1];
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    Shot screen;
    // A piece may well start black: after the deadline the screen is saved
    // as it is.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (true) {
        if (!readScreen(display.get(), screen)) {
            std::fprintf(stderr, "cannot read the screen\n");
            return 1;
        }
        if (!waitForPicture || !black(screen) || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!writeRgbPng(out, screen.width, screen.height, screen.rgb)) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    return 0;
}
