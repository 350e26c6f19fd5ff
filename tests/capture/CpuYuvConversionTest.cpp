// The capture's CPU conversion on pixels whose BT.709 limited-range values
// are known.
#include "CpuYuvConversion.h"
#include "Pictures.h"

#include <gtest/gtest.h>

#include <vector>

using testsupport::Rgb;

namespace {

// Pixels as glReadPixels gives them, bottom row first.
std::vector<std::uint8_t> pixels(const std::vector<Rgb>& bottomRowFirst, PixelOrder order) {
    std::vector<std::uint8_t> bytes;
    for (Rgb c : bottomRowFirst) {
        auto r = std::uint8_t(c.r), g = std::uint8_t(c.g), b = std::uint8_t(c.b);
        bool rgba = order == PixelOrder::rgba;
        bytes.insert(bytes.end(), {rgba ? r : b, g, rgba ? b : r, 255});
    }
    return bytes;
}

std::vector<int> converted(const std::vector<Rgb>& bottomRowFirst, PixelOrder order, int width,
                           int height) {
    PlaneLayout layout(width, height);
    std::vector<std::uint8_t> planes(layout.planeBytes());
    convertToYuv420(pixels(bottomRowFirst, order).data(), order, layout, planes.data());
    return {planes.begin(), planes.end()};
}

} // namespace

TEST(CpuYuvConversion, FlatColoursGiveTheirBt709LimitedRangeSamples) {
    struct Case {
        Rgb colour;
        int y, cb, cr;
    };
    for (Case c : {Case{{255, 255, 255}, 235, 128, 128}, Case{{0, 0, 0}, 16, 128, 128},
                   Case{{255, 0, 0}, 63, 102, 240}, Case{{0, 255, 0}, 173, 42, 26},
                   Case{{0, 0, 255}, 32, 240, 118}}) {
        for (PixelOrder order : {PixelOrder::rgba, PixelOrder::bgra}) {
            EXPECT_EQ(converted(std::vector<Rgb>(4, c.colour), order, 2, 2),
                      (std::vector<int>{c.y, c.y, c.y, c.y, c.cb, c.cr}))
                << testsupport::describe(c.colour)
                << (order == PixelOrder::rgba ? " RGBA" : " BGRA");
        }
    }
}

// A 3 x 3 picture whose bottom row, read first, is red: the planes come out
// top row first, and the odd last row and column take their chroma from
// their own pixels.
TEST(CpuYuvConversion, FlipsThePictureAndPairsOddEdgesWithThemselves) {
    const Rgb red{255, 0, 0}, black{0, 0, 0};
    const std::vector<Rgb> picture{red, red, red, black, black, black, black, black, black};
    EXPECT_EQ(converted(picture, PixelOrder::bgra, 3, 3),
              (std::vector<int>{16, 16, 16, 16, 16, 16, 63, 63, 63, // luma
                                128, 128, 102, 102,                 // Cb
                                128, 128, 240, 240}));              // Cr
}
