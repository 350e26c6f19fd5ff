#include "PlaneLayout.h"

#include <cstring>

PlaneLayout::PlaneLayout(int width, int height)
    : width(width), height(height), chromaWidth((width + 1) / 2), chromaHeight((height + 1) / 2),
      rowTexels(2 * ((width + 7) / 8)), chromaRows((chromaHeight + 1) / 2),
      targetHeight(height + 2 * chromaRows) {}

std::size_t PlaneLayout::targetBytes() const {
    return static_cast<std::size_t>(rowTexels) * 4 * targetHeight;
}

std::size_t PlaneLayout::planeBytes() const {
    return static_cast<std::size_t>(width) * height +
           2 * static_cast<std::size_t>(chromaWidth) * chromaHeight;
}

void PlaneLayout::unpack(const std::uint8_t* target, std::uint8_t* planes) const {
    const std::size_t rowBytes = static_cast<std::size_t>(rowTexels) * 4;
    for (int row = 0; row < height; ++row) {
        std::memcpy(planes, target + rowBytes * row, width);
        planes += width;
    }
    for (int plane = 0; plane < 2; ++plane) {
        const std::uint8_t* first = target + rowBytes * (height + plane * chromaRows);
        for (int row = 0; row < chromaHeight; ++row) {
            std::memcpy(planes, first + rowBytes * (row / 2) + rowBytes / 2 * (row % 2),
                        chromaWidth);
            planes += chromaWidth;
        }
    }
}
