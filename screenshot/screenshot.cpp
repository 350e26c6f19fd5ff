// vellomirke-screenshot OUT.png: writes the whole screen of $DISPLAY as PNG.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "PngFile.h"

#include <cstdint>
#include <cstdio>
#include <memory>
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    Window root = DefaultRootWindow(display.get());
    XWindowAttributes attributes;
    XGetWindowAttributes(display.get(), root, &attributes);
    std::unique_ptr<XImage, ImageDestroyer> image(XGetImage(
        display.get(), root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap));
    if (!image) {
        std::fprintf(stderr, "cannot read the screen\n");
        return 1;
    }
    std::vector<std::uint8_t> rgb(static_cast<size_t>(attributes.width) * attributes.height * 3);
    size_t at = 0;
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long pixel = XGetPixel(image.get(), x, y);
            rgb[at++] = static_cast<std::uint8_t>(channel(pixel, image->red_mask));
            rgb[at++] = static_cast<std::uint8_t>(channel(pixel, image->green_mask));
            rgb[at++] = static_cast<std::uint8_t>(channel(pixel, image->blue_mask));
        }
    }
    if (!writeRgbPng(argv[1], attributes.width, attributes.height, rgb)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
