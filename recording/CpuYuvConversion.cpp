#include "CpuYuvConversion.h"

#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace {

// Fixed point with 16 fractional bits: exact to well within one step of the
// 8-bit result, and every sum fits an int32 lane of a vector register.
constexpr int fractionBits = 16;

constexpr std::int32_t fixed(double value) {
    return static_cast<std::int32_t>(value * (1 << fractionBits) + (value < 0 ? -0.5 : 0.5));
}

// BT.709 in its limited range: luma 16 to 235, chroma 16 to 240 around 128.
constexpr double kr = 0.2126, kg = 0.7152, kb = 0.0722;
constexpr double lumaScale = 219.0 / 255.0;
constexpr double cbScale = 224.0 / 255.0 / 1.8556;
constexpr double crScale = 224.0 / 255.0 / 1.5748;

constexpr std::int32_t yR = fixed(lumaScale * kr), yG = fixed(lumaScale * kg),
                       yB = fixed(lumaScale * kb);
constexpr std::int32_t cbR = fixed(-cbScale * kr), cbG = fixed(-cbScale * kg),
                       cbB = fixed(cbScale * (1.0 - kb));
constexpr std::int32_t crR = fixed(crScale * (1.0 - kr)), crG = fixed(-crScale * kg),
                       crB = fixed(-crScale * kb);
// The offsets carry the half step that rounds to nearest. Chroma is taken
// from sums of four pixels, so its result has two more fractional bits.
constexpr std::int32_t yOffset = (16 << fractionBits) + (1 << (fractionBits - 1));
constexpr std::int32_t cOffset = (128 << (fractionBits + 2)) + (1 << (fractionBits + 1));

// Each pixel's four bytes are loaded as one 32-bit word, in which red and
// blue sit as below on a little-endian machine; green is the second byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");

std::uint32_t pixel(const std::uint8_t* row, int x) {
    std::uint32_t word;
    std::memcpy(&word, row + 4 * static_cast<std::ptrdiff_t>(x), sizeof word);
    return word;
}

template <PixelOrder order> constexpr int redShift = order == PixelOrder::rgba ? 0 : 16;
template <PixelOrder order> constexpr int blueShift = order == PixelOrder::rgba ? 16 : 0;

template <PixelOrder order> std::int32_t red(std::uint32_t p) {
    return static_cast<std::int32_t>((p >> redShift<order>)&0xff);
}
template <PixelOrder order> std::int32_t green(std::uint32_t p) {
    return static_cast<std::int32_t>((p >> 8) & 0xff);
}
template <PixelOrder order> std::int32_t blue(std::uint32_t p) {
    return static_cast<std::int32_t>((p >> blueShift<order>)&0xff);
}

template <PixelOrder order>
void lumaRow(const std::uint8_t* __restrict in, int width, std::uint8_t* __restrict out) {
    for (int x = 0; x < width; ++x) {
        const std::uint32_t p = pixel(in, x);
        out[x] = static_cast<std::uint8_t>(
            (yOffset + yR * red<order>(p) + yG * green<order>(p) + yB * blue<order>(p)) >>
            fractionBits);
    }
}

// The chroma of `pairs` 2 x 2 blocks of two picture rows, from their sums.
template <PixelOrder order>
void chromaRow(const std::uint8_t* __restrict top, const std::uint8_t* __restrict bottom, int pairs,
               std::uint8_t* __restrict cb, std::uint8_t* __restrict cr) {
    for (int x = 0; x < pairs; ++x) {
        const std::uint32_t a = pixel(top, 2 * x), b = pixel(top, 2 * x + 1);
        const std::uint32_t c = pixel(bottom, 2 * x), d = pixel(bottom, 2 * x + 1);
        const std::int32_t r = red<order>(a) + red<order>(b) + red<order>(c) + red<order>(d);
        const std::int32_t g =
            green<order>(a) + green<order>(b) + green<order>(c) + green<order>(d);
        const std::int32_t bl = blue<order>(a) + blue<order>(b) + blue<order>(c) + blue<order>(d);
        cb[x] = static_cast<std::uint8_t>((cOffset + cbR * r + cbG * g + cbB * bl) >>
                                          (fractionBits + 2));
        cr[x] = static_cast<std::uint8_t>((cOffset + crR * r + crG * g + crB * bl) >>
                                          (fractionBits + 2));
    }
}

template <PixelOrder order>
void convert(const std::uint8_t* pixels, const PlaneLayout& layout, std::uint8_t* planes) {
    const int width = layout.width, height = layout.height;
    std::uint8_t* luma = planes;
    std::uint8_t* cb = luma + static_cast<std::size_t>(width) * height;
    std::uint8_t* cr = cb + static_cast<std::size_t>(layout.chromaWidth) * layout.chromaHeight;
    // Picture row y is row height - 1 - y of the pixels: the flip costs nothing.
    auto row = [&](int y) { return pixels + static_cast<std::size_t>(height - 1 - y) * width * 4; };
    const int pairs = width / 2;
    for (int y = 0; y < height; y += 2) {
        // An odd last row pairs with itself for its chroma, as the GPU pass's
        // lookup clamped to the edge does.
        const bool single = y + 1 == height;
        const std::uint8_t* top = row(y);
        const std::uint8_t* bottom = single ? top : row(y + 1);
        std::uint8_t* lumaTop = luma + static_cast<std::size_t>(y) * width;
        std::uint8_t* cbRow = cb + static_cast<std::size_t>(y / 2) * layout.chromaWidth;
        std::uint8_t* crRow = cr + static_cast<std::size_t>(y / 2) * layout.chromaWidth;
        lumaRow<order>(top, width, lumaTop);
        if (!single) {
            lumaRow<order>(bottom, width, lumaTop + width);
        }
        chromaRow<order>(top, bottom, pairs, cbRow, crRow);
        if (width % 2 == 1) {
            // The odd last column likewise pairs with itself.
            std::uint8_t edge[2][8];
            for (int i : {0, 4}) {
                std::memcpy(edge[0] + i, top + 4 * (width - 1), 4);
                std::memcpy(edge[1] + i, bottom + 4 * (width - 1), 4);
            }
            chromaRow<order>(edge[0], edge[1], 1, cbRow + pairs, crRow + pairs);
        }
    }
}

} // namespace

void convertToYuv420(const std::uint8_t* pixels, PixelOrder order, const PlaneLayout& layout,
                     std::uint8_t* planes) {
    if (order == PixelOrder::bgra) {
        convert<PixelOrder::bgra>(pixels, layout, planes);
    } else {
        convert<PixelOrder::rgba>(pixels, layout, planes);
    }
}
