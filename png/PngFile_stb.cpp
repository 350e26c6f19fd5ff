// The PNG writer where libpng is not at hand (the Windows build): Debian's
// header-only stb_image_write, its implementation compiled here alone.
#include "PngEncoding.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace {

// stb hands the encoded file over in pieces; a short write marks the file
// as failed.
void append(void* context, void* data, int size) {
    FILE* file = static_cast<FILE*>(context);
    std::fwrite(data, 1, static_cast<size_t>(size), file);
}

} // namespace

bool encodePng(std::FILE* file, int width, int height, const std::vector<std::uint8_t>& rgb) {
    return stbi_write_png_to_func(append, file, width, height, 3, rgb.data(), width * 3) != 0;
}
