#include "PngPicture.h"

#include <png.h>

#include <stdexcept>
#include <vector>

namespace testsupport {

Image decodePng(const std::string& bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        throw std::runtime_error("not a PNG picture");
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        throw std::runtime_error(std::string("unreadable PNG: ") + image.message);
    }
    Image out;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        out.pixels.push_back(std::uint32_t(rgb[i]) << 16 | std::uint32_t(rgb[i + 1]) << 8 |
                             rgb[i + 2]);
    }
    return out;
}

} // namespace testsupport
