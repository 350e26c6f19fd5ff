// fresh_screenshots_check PNG...: exit status 0 when every file is a PNG
// picture that a person can see. A demo that failed to draw, or a shot taken
// before its first frame, shows a black screen: the brightest channel of each
// picture is printed and must reach a level that a black screen does not.
#include "ChildProcess.h"
#include "PngPicture.h"

#include <algorithm>
#include <exception>
#include <iostream>

namespace {

constexpr int darkestVisible = 16;

int brightestChannel(const testsupport::Image& image) {
    int brightest = 0;
    for (std::uint32_t pixel : image.pixels) {
        brightest = std::max(
            {brightest, int(pixel >> 16 & 0xff), int(pixel >> 8 & 0xff), int(pixel & 0xff)});
    }
    return brightest;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: fresh_screenshots_check PNG...\n";
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        try {
            const testsupport::Image image = testsupport::decodePng(testsupport::readFile(argv[i]));
            const int brightest = brightestChannel(image);
            std::cout << argv[i] << ": " << image.width << "x" << image.height
                      << ", brightest channel " << brightest << "\n";
            if (brightest < darkestVisible) {
                std::cout << argv[i] << ": black\n";
                status = 1;
            }
        } catch (const std::exception& e) {
            std::cout << argv[i] << ": " << e.what() << "\n";
            status = 1;
        }
    }
    return status;
}
