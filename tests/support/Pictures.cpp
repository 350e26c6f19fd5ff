#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace testsupport {

int channel(double fraction) {
    return static_cast<int>(std::lround(std::min(std::max(fraction, 0.0), 1.0) * 255.0));
}

bool near(const Rgb& actual, const Rgb& expected, int tolerance) {
    return std::abs(actual.r - expected.r) <= tolerance &&
           std::abs(actual.g - expected.g) <= tolerance &&
           std::abs(actual.b - expected.b) <= tolerance;
}

std::string describe(const Rgb& c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ")";
}

Rgb centre(const Image& image) {
    if (image.width == 0) {
        return {-1, -1, -1};
    }
    return image.at(image.width / 2, image.height / 2);
}

bool showsPositions(const Image& image, int tolerance) {
    if (image.width != 1920 || image.height != 1080) {
        return false;
    }
    // A grid across the whole screen, corners included. The fragment centre
    // is half a pixel in, and GL counts rows from the bottom.
    for (int x : {0, 1, 480, 959, 1440, 1919}) {
        for (int y : {0, 1, 270, 539, 810, 1079}) {
            Rgb pixel = image.at(x, y);
            int red = channel((x + 0.5) / 1920.0);
            int green = channel((1080 - y - 0.5) / 1080.0);
            if (std::abs(pixel.r - red) > tolerance || std::abs(pixel.g - green) > tolerance) {
                return false;
            }
        }
    }
    return true;
}

bool showsScaledPositions(const Image& image, int top, int width, int height) {
    const int tolerance = 6; // scaling blends neighbouring pixels
    for (int x : {0, width / 4, width / 2, width - 1}) {
        for (int y : {2, height / 3, height - 3}) {
            Rgb pixel = image.at(x, top + y);
            Rgb expected{channel((x + 0.5) / width), channel(1.0 - (y + 0.5) / height), pixel.b};
            if (!near(pixel, expected, tolerance)) {
                return false;
            }
        }
    }
    return true;
}

double encodedTime(const Image& image) {
    return image.at(960, 540).b / 255.0 * 32.0;
}

} // namespace testsupport
