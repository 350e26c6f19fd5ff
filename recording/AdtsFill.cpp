#include "AdtsFill.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::size_t headerBytes = 7; // without CRC
constexpr std::size_t largestFrame = (1u << 13) - 1;
constexpr long sampleRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                22050, 16000, 12000, 11025, 8000,  7350};

// The syntax element of a fill element and the extension type that says its
// payload is filler; the filler's own first nibble is 0000 and every byte
// after it 10100101.
constexpr unsigned fillElement = 6;
constexpr unsigned fillData = 1;
constexpr unsigned fillByte = 0xA5;
// A fill element counts up to 14 bytes in 4 bits, and up to 15 + 255 - 1 with
// an escape byte.
constexpr std::size_t largestFill = 15 + 255 - 1;

class BitWriter {
  public:
    void put(unsigned value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            putBit((value >> i) & 1u);
        }
    }
    void putBit(unsigned bit) {
        if (used_ == 0) {
            bytes_.push_back(0);
        }
        bytes_.back() |= static_cast<std::uint8_t>(bit << (7 - used_));
        used_ = (used_ + 1) % 8;
    }
    std::size_t bitCount() const { return bytes_.size() * 8 - (used_ ? 8 - used_ : 0); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    int used_ = 0; // bits used of the last byte; 0 when it is full
};

void putFillElement(BitWriter& out, std::size_t count) {
    out.put(fillElement, 3);
    if (count < 15) {
        out.put(static_cast<unsigned>(count), 4);
    } else {
        out.put(15, 4);
        out.put(static_cast<unsigned>(count - 15 + 1), 8);
    }
    if (count == 0) {
        return;
    }
    out.put(fillData, 4);
    out.put(0, 4);
    for (std::size_t i = 1; i < count; ++i) {
        out.put(fillByte, 8);
    }
}

// Fill elements of `fillBytes` bytes of payload in all, ahead of `block`,
// whose elements follow bit for bit: the raw data block ends with its own
// END element, and whatever came after that (its byte alignment) comes after
// it still, followed by zero bits up to the next whole byte.
std::vector<std::uint8_t> filledBlock(const std::uint8_t* block, std::size_t size,
                                      std::size_t fillBytes) {
    BitWriter out;
    while (fillBytes > 0) {
        std::size_t count = std::min(fillBytes, largestFill);
        putFillElement(out, count);
        fillBytes -= count;
    }
    for (std::size_t i = 0; i < size; ++i) {
        out.put(block[i], 8);
    }
    return out.bytes();
}

std::runtime_error refused(std::size_t offset, const std::string& why) {
    return std::runtime_error("ADTS frame at byte " + std::to_string(offset) + ": " + why);
}

} // namespace

long adtsFrameFloorBytes(long bitsPerSecond, long sampleRate) {
    const long long bits = static_cast<long long>(bitsPerSecond) * 1024;
    return static_cast<long>((bits + 8LL * sampleRate - 1) / (8LL * sampleRate));
}

std::string fillAdtsToBitRate(const std::string& adts, long bitsPerSecond) {
    std::string out;
    out.reserve(adts.size());
    std::size_t offset = 0;
    while (offset < adts.size()) {
        if (adts.size() - offset < headerBytes) {
            throw refused(offset, "cut short inside its header");
        }
        const auto* h = reinterpret_cast<const std::uint8_t*>(adts.data()) + offset;
        if (h[0] != 0xFF || (h[1] & 0xF6) != 0xF0) {
            throw refused(offset, "no ADTS sync word");
        }
        if ((h[1] & 0x01) == 0) {
            throw refused(offset, "it carries a CRC, which filling would invalidate");
        }
        if ((h[6] & 0x03) != 0) {
            throw refused(offset, "it holds more than one raw data block");
        }
        const unsigned rateIndex = (h[2] >> 2) & 0x0F;
        if (rateIndex >= std::size(sampleRates)) {
            throw refused(offset, "no sample rate");
        }
        const std::size_t frameBytes =
            (static_cast<std::size_t>(h[3] & 0x03) << 11) | (h[4] << 3) | (h[5] >> 5);
        if (frameBytes < headerBytes) {
            throw refused(offset, "its length is shorter than its header");
        }
        if (frameBytes > adts.size() - offset) {
            throw refused(offset, "cut short");
        }

        const std::size_t blockBytes = frameBytes - headerBytes;
        const long floor = adtsFrameFloorBytes(bitsPerSecond, sampleRates[rateIndex]);
        std::vector<std::uint8_t> block(h + headerBytes, h + frameBytes);
        if (static_cast<long>(blockBytes) < floor) {
            // Each fill element costs up to two bytes of its own besides its
            // payload: start below the gap by that much and grow the filler a
            // byte at a time until the block reaches the floor.
            const std::size_t gap = static_cast<std::size_t>(floor) - blockBytes;
            const std::size_t overhead = 2 * ((gap + largestFill - 1) / largestFill);
            std::size_t fill = gap > overhead ? gap - overhead : 0;
            do {
                block = filledBlock(h + headerBytes, blockBytes, fill++);
            } while (static_cast<long>(block.size()) < floor);
        }
        const std::size_t newFrameBytes = headerBytes + block.size();
        if (newFrameBytes > largestFrame) {
            throw refused(offset, "filled, it would be longer than an ADTS frame can say");
        }
        std::uint8_t header[headerBytes];
        std::copy(h, h + headerBytes, header);
        header[3] = static_cast<std::uint8_t>((header[3] & 0xFC) | (newFrameBytes >> 11));
        header[4] = static_cast<std::uint8_t>((newFrameBytes >> 3) & 0xFF);
        header[5] = static_cast<std::uint8_t>((header[5] & 0x1F) | ((newFrameBytes & 0x07) << 5));
        out.append(reinterpret_cast<const char*>(header), headerBytes);
        out.append(reinterpret_cast<const char*>(block.data()), block.size());
        offset += frameBytes;
    }
    return out;
}
