#include "VideoProbe.h"

#include "RunTool.h"

#include <cstring>
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
    std::istringstream report(runTool(
        {"ffprobe", "-v", "error", "-count_frames", "-show_entries",
         "stream=codec_type,codec_name,pix_fmt,width,height,start_time,duration,nb_read_frames",
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
        result.push_back({f["codec_type"], f["codec_name"], f["pix_fmt"],
                          static_cast<int>(number(f["width"])),
                          static_cast<int>(number(f["height"])), number(f["start_time"]),
                          number(f["duration"]), static_cast<long>(number(f["nb_read_frames"]))});
    }
    return result;
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
