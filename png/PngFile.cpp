// The part of the PNG writer that is the same on every platform: the checks,
// the file, and whether it all reached the disk.
#include "PngFile.h"

#include "PngEncoding.h"

#include <cerrno>
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
        errno = EINVAL;
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    errno = 0; // what a failed write sets, if it sets anything
    // Buffered data reaches the disk only at the flush: a full disk shows there.
    if (encodePng(file.get(), width, height, rgb) && std::fflush(file.get()) == 0 &&
        std::ferror(file.get()) == 0) {
        return true;
    }
    // No broken picture is left behind; the caller is told why, not what the
    // clean-up did.
    const int cause = errno != 0 ? errno : EIO;
    file.reset();
    std::remove(path.c_str());
    errno = cause;
    return false;
}
