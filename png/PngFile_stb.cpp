// The PNG writer where libpng is not at hand (the Windows build): Debian's
// header-only stb_image_write, its implementation compiled here alone.
#include "PngFile.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

// stb hands the encoded file over in pieces; a short write marks the file
// as failed.
void append(void* context, void* data, int size) {
    FILE* file = static_cast<FILE*>(context);
    std::fwrite(data, 1, static_cast<size_t>(size), file);
}

} // namespace

bool writeRgbPng(const std::string& path, int width, int height,
                 const std::vector<std::uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) {
        return false;
    }
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    if (stbi_write_png_to_func(append, file.get(), width, height, 3, rgb.data(), width * 3) == 0) {
        return false;
    }
    // Buffered data reaches the disk only at close: a full disk shows there.
    return std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
}
