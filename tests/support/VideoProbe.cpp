#include "VideoProbe.h"

#include "RunTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

namespace videoprobe {

using testsupport::runTool;

namespace {

double number(const std::string& text) {
    return text.empty() || text == "N/A" ? -1 : std::stod(text);
}

} // namespace

std::vector<Stream> streams(const std::string& video) {
    std::istringstream report(
        runTool({"ffprobe", "-v", "error", "-count_frames", "-show_entries",
                 "stream=codec_type,codec_name,profile,level,avg_frame_rate,pix_fmt,color_space,"
                 "color_transfer,color_primaries,"
                 "color_range,width,height,channels,start_time,duration,nb_read_frames,bit_rate",
                 "-of", "default=noprint_wrappers=0", video}));
    // Each stream's "key=value" lines, after its "[STREAM]".
    std::vector<std::map<std::string, std::string>> fields;
    std::string line;
    while (std::getline(report, line)) {
        auto equals = line.find('=');
        if (line == "[STREAM]") {
            fields.emplace_back();
        } else if (!fields.empty() && equals != std::string::npos) {
            fields.back()[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    std::vector<Stream> result;
    for (auto& f : fields) {
        result.push_back({f["codec_type"], f["codec_name"], f["profile"],
                          static_cast<int>(number(f["level"])), f["avg_frame_rate"], f["pix_fmt"],
                          f["color_space"], f["color_transfer"], f["color_primaries"],
                          f["color_range"], static_cast<int>(number(f["width"])),
                          static_cast<int>(number(f["height"])),
                          static_cast<int>(number(f["channels"])), number(f["start_time"]),
                          number(f["duration"]), static_cast<long>(number(f["nb_read_frames"])),
                          static_cast<long>(number(f["bit_rate"]))});
    }
    return result;
}

namespace {

// What every file of the capture holds, whatever its purpose: 1920x1080 H.264
// in yuv420p tagged BT.709 in limited range, stereo AAC-LC, the index first.
void expectSharedFormat(const std::vector<Stream>& found, const std::string& video) {
    const Stream& picture = found[0];
    EXPECT_EQ(picture.type, "video");
    EXPECT_EQ(picture.codec, "h264");
    EXPECT_EQ(picture.pixelFormat, "yuv420p");
    EXPECT_EQ(picture.width, 1920);
    EXPECT_EQ(picture.height, 1080);
    for (const std::string* tag :
         {&picture.colourSpace, &picture.colourTransfer, &picture.colourPrimaries}) {
        EXPECT_EQ(*tag, "bt709");
    }
    EXPECT_EQ(picture.colourRange, "tv");
    const Stream& sound = found[1];
    EXPECT_EQ(sound.type, "audio");
    EXPECT_EQ(sound.codec, "aac");
    EXPECT_EQ(sound.profile, "LC");
    EXPECT_EQ(sound.channels, 2);

    auto boxes = topLevelBoxes(video);
    auto index = std::find(boxes.begin(), boxes.end(), "moov");
    auto media = std::find(boxes.begin(), boxes.end(), "mdat");
    EXPECT_TRUE(index < media && media != boxes.end())
        << "the index is not ahead of the media: " << ::testing::PrintToString(boxes);
}

} // namespace

void expectDeliveryFormat(const std::string& video, long audioBitRate) {
    auto found = streams(video);
    ASSERT_EQ(found.size(), 2u) << video;
    expectSharedFormat(found, video);
    EXPECT_EQ(found[0].profile, "High");
    // The encoder aims at an average that simple or quiet sound stays below
    // (a tone with a second of silence in five: about four fifths of it).
    EXPECT_GT(found[1].bitRate, audioBitRate * 7 / 10);
    EXPECT_LT(found[1].bitRate, audioBitRate * 11 / 10);
}

void expectPartyFormat(const std::string& video, long audioBitRate) {
    auto found = streams(video);
    ASSERT_EQ(found.size(), 2u) << video;
    expectSharedFormat(found, video);
    const Stream& picture = found[0];
    EXPECT_EQ(picture.profile, "Main");
    EXPECT_GT(picture.level, 0);
    EXPECT_LE(picture.level, 41);
    EXPECT_EQ(picture.frameRate, "30/1");
    EXPECT_GE(picture.bitRate, 6000000);
    auto options = x264Options(video);
    EXPECT_NE(std::find(options.begin(), options.end(), "rc=2pass"), options.end())
        << "not encoded in two passes: " << ::testing::PrintToString(options);
    EXPECT_GE(found[1].bitRate, audioBitRate);
}

std::vector<std::string> x264Options(const std::string& video) {
    std::ifstream in(video, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // x264 writes its settings as text into the stream: "x264 - core 164 ...
    // options: cabac=1 ref=3 ...", ended by a NUL.
    const std::string mark = "options: ";
    auto start = bytes.find("x264 - core");
    if (start == std::string::npos || (start = bytes.find(mark, start)) == std::string::npos) {
        return {};
    }
    std::istringstream text(
        bytes.substr(start + mark.size(), bytes.find('\0', start) - start - mark.size()));
    std::vector<std::string> options;
    for (std::string option; text >> option;) {
        options.push_back(option);
    }
    return options;
}

std::vector<std::string> topLevelBoxes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> types;
    unsigned char header[16];
    // Each box: a 32-bit big-endian size and a type, or size 1 and a 64-bit
    // size after the type; size 0 runs to the end of the file.
    while (in.read(reinterpret_cast<char*>(header), 8)) {
        types.emplace_back(reinterpret_cast<char*>(header) + 4, 4);
        std::uint64_t size = 0;
        for (int i = 0; i < 4; ++i) {
            size = size << 8 | header[i];
        }
        std::uint64_t headerSize = 8;
        if (size == 1 && in.read(reinterpret_cast<char*>(header) + 8, 8)) {
            size = 0;
            for (int i = 8; i < 16; ++i) {
                size = size << 8 | header[i];
            }
            headerSize = 16;
        }
        if (size == 0 || size < headerSize) {
            break;
        }
        in.seekg(static_cast<std::streamoff>(size - headerSize), std::ios::cur);
    }
    return types;
}

testsupport::Rgb SmallFrame::at(int x, int y) const {
    const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

std::vector<SmallFrame> frames(const std::string& video, int width, int height) {
    // Converted to RGB before shrinking: shrinking the 4:2:0 picture itself
    // smears colour across the small picture.
    std::string filter = "format=rgb24,scale=" + std::to_string(width) + ":" +
                         std::to_string(height) + ":flags=area";
    std::string raw = runTool({"ffmpeg", "-v", "error", "-nostdin", "-i", video, "-vf", filter,
                               "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 3;
    if (raw.size() % frameBytes != 0) {
        throw std::runtime_error("ffmpeg returned part of a frame");
    }
    std::vector<SmallFrame> result;
    for (std::size_t offset = 0; offset < raw.size(); offset += frameBytes) {
        SmallFrame frame{width, height, std::vector<std::uint8_t>(frameBytes)};
        std::memcpy(frame.rgb.data(), raw.data() + offset, frameBytes);
        result.push_back(std::move(frame));
    }
    return result;
}

std::vector<std::int16_t> audio(const std::string& video, int rate) {
    std::string raw = runTool({"ffmpeg", "-v", "error", "-nostdin", "-i", video, "-map", "0:a:0",
                               "-ac", "1", "-ar", std::to_string(rate), "-f", "s16le", "-"});
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

} // namespace videoprobe
