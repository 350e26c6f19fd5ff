// The part of the PNG writer that is the same on every platform: the checks,
// the file, and whether it all reached the disk.
#include "PngFile.h"

#include "PngEncoding.h"

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

bool writeRgbPng(const std::string& path, int width, int height,
                 const std::vector<std::uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) {
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file || !encodePng(file.get(), width, height, rgb)) {
        return false;
    }
    // Buffered data reaches the disk only at close: a full disk shows there.
    return std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
}
