// The party video's sound padding on AAC that ffmpeg encoded: every frame
// reaches the floor and decodes to the very same samples; what cannot be
// padded safely is refused, naming the frame.
#include "AdtsFill.h"
#include "RunTool.h"
#include "TempDir.h"
#include "ToneTrack.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace testsupport;

namespace {

// The raw data blocks' sizes of an ADTS stream, read from its headers.
std::vector<long> blockSizes(const std::string& adts) {
    std::vector<long> sizes;
    for (std::size_t at = 0; at + 7 <= adts.size();) {
        const auto* h = reinterpret_cast<const std::uint8_t*>(adts.data()) + at;
        const std::size_t length =
            (static_cast<std::size_t>(h[3] & 0x03) << 11) | (h[4] << 3) | (h[5] >> 5);
        sizes.push_back(static_cast<long>(length) - 7);
        at += length;
    }
    return sizes;
}

std::string decoded(const std::string& file) {
    return runTool({"ffmpeg", "-v", "error", "-i", file, "-f", "s16le", "-"});
}

std::string refusal(const std::string& adts) {
    try {
        fillAdtsToBitRate(adts, 192000);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "nothing refused";
}

} // namespace

TEST(AdtsFill, EveryFrameReachesTheFloorAndDecodesToTheSameSamples) {
    TempDir dir;
    // Silence, which the encoder spends almost nothing on, then a tone, which
    // costs more than the floor in some frames; 44.1 kHz, whose floor is not a
    // whole number of bytes.
    writeTones(dir, "tones.wav", {{0, 1}, {440, 1}}, 44100);
    runTool({"ffmpeg", "-v", "error", "-i", dir.file("tones.wav"), "-c:a", "aac", "-b:a", "192k",
             "-f", "adts", dir.file("plain.aac")});
    const std::string plain = readFile(dir.file("plain.aac"));
    const std::string filled = fillAdtsToBitRate(plain, 192000);
    dir.write("filled.aac", filled);

    const long floor = adtsFrameFloorBytes(192000, 44100);
    EXPECT_EQ(floor, 558); // 192000 * 1024 / 44100 / 8, rounded up
    const auto before = blockSizes(plain), after = blockSizes(filled);
    ASSERT_EQ(before.size(), after.size());
    int padded = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] >= floor) {
            EXPECT_EQ(after[i], before[i]) << "frame " << i;
        } else {
            ++padded;
            EXPECT_GE(after[i], floor) << "frame " << i;
            EXPECT_LE(after[i], floor + 1) << "frame " << i;
        }
    }
    EXPECT_GT(padded, 10) << "the silence was not padded";
    EXPECT_EQ(decoded(dir.file("filled.aac")), decoded(dir.file("plain.aac")));
    // Padded once, a stream stays as it is.
    EXPECT_EQ(fillAdtsToBitRate(filled, 192000), filled);
}

TEST(AdtsFill, RefusesWhatItCannotPadSafelyNamingTheFrame) {
    TempDir dir;
    runTool({"ffmpeg", "-v", "error", "-f", "lavfi", "-i", "anullsrc=r=48000:cl=stereo", "-t",
             "0.2", "-c:a", "aac", "-f", "adts", dir.file("silence.aac")});
    const std::string adts = readFile(dir.file("silence.aac"));
    const std::size_t second = static_cast<std::size_t>(blockSizes(adts)[0]) + 7;
    ASSERT_LT(second + 7, adts.size());

    EXPECT_EQ(fillAdtsToBitRate("", 192000), "");
    EXPECT_EQ(refusal(adts.substr(0, second + 3)),
              "ADTS frame at byte " + std::to_string(second) + ": cut short inside its header");
    EXPECT_EQ(refusal(adts.substr(0, adts.size() - 1)).rfind("ADTS frame at byte ", 0), 0u);
    std::string noSync = adts;
    noSync[second] = 0;
    EXPECT_EQ(refusal(noSync),
              "ADTS frame at byte " + std::to_string(second) + ": no ADTS sync word");
    std::string withCrc = adts;
    withCrc[1] = static_cast<char>(withCrc[1] & 0xFE);
    EXPECT_EQ(refusal(withCrc),
              "ADTS frame at byte 0: it carries a CRC, which filling would invalidate");
}
