// The capture's AAC padding on any bytes: it either refuses them with a
// std::runtime_error that names the frame's byte offset, or writes the same
// frames, each one untouched when it already reaches the floor and otherwise
// grown to the floor (a byte or two over at most) with the frame's own bits,
// unchanged, at its end. Any other exception escapes and fails the run.
//
// Input: one byte that picks the bit rate, then the ADTS frames.
#include "AdtsFill.h"
#include "Property.h"

#include <stdexcept>

using namespace fuzzing;

namespace {

constexpr long sampleRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                22050, 16000, 12000, 11025, 8000,  7350};

std::size_t frameLength(const std::string& bytes, std::size_t at) {
    const auto* h = reinterpret_cast<const std::uint8_t*>(bytes.data()) + at;
    return (static_cast<std::size_t>(h[3] & 0x03) << 11) | (h[4] << 3) | (h[5] >> 5);
}

bool bit(const std::string& bytes, std::size_t index) {
    return (static_cast<std::uint8_t>(bytes[index / 8]) >> (7 - index % 8)) & 1u;
}

// Whether `block` ends with the bits of `original` followed by fewer than
// eight zero bits.
bool endsWithBlock(const std::string& block, const std::string& original) {
    const std::size_t total = block.size() * 8, wanted = original.size() * 8;
    for (std::size_t zeros = 0; zeros < 8 && zeros + wanted <= total; ++zeros) {
        const std::size_t start = total - zeros - wanted;
        bool same = true;
        for (std::size_t i = 0; same && i < wanted; ++i) {
            same = bit(block, start + i) == bit(original, i);
        }
        for (std::size_t i = total - zeros; same && i < total; ++i) {
            same = !bit(block, i);
        }
        if (same) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const long bitRate = 8000 + static_cast<long>(data[0]) * 2000;
    const std::string in = text(data + 1, size - 1);
    std::string out;
    try {
        out = fillAdtsToBitRate(in, bitRate);
    } catch (const std::runtime_error& refusal) {
        PROPERTY(startsWith(refusal.what(), "ADTS frame at byte "));
        return 0;
    }
    std::size_t from = 0, to = 0;
    while (from < in.size()) {
        PROPERTY(to + 7 <= out.size());
        const std::size_t inLength = frameLength(in, from), outLength = frameLength(out, to);
        PROPERTY(to + outLength <= out.size());
        PROPERTY(in.compare(from, 3, out, to, 3) == 0);
        const std::string original = in.substr(from + 7, inLength - 7);
        const std::string block = out.substr(to + 7, outLength - 7);
        const long floor = adtsFrameFloorBytes(
            bitRate, sampleRates[(static_cast<std::uint8_t>(in[from + 2]) >> 2) & 0x0F]);
        if (static_cast<long>(original.size()) >= floor) {
            PROPERTY(block == original);
        } else {
            PROPERTY(static_cast<long>(block.size()) >= floor);
            PROPERTY(static_cast<long>(block.size()) <= floor + 2);
            PROPERTY(endsWithBlock(block, original));
        }
        from += inLength;
        to += outLength;
    }
    PROPERTY(to == out.size());
    return 0;
}
