#include "AudioTestSupport.h"

#include "ToneTrack.h"

#include <algorithm>

namespace audiotest {

using testsupport::waitUntil;

void writeTwoToneTrack(const testsupport::TempDir& dir, const std::string& name) {
    testsupport::writeTones(dir, name, {{lowTone, toneSeconds}, {highTone, toneSeconds}},
                            deviceRate);
}

std::string useDiskDriver(testsupport::DemoRun& run) {
    const std::string capture = run.dir().file("capture.raw");
    run.environment()["SDL_AUDIODRIVER"] = "disk";
    run.environment()["SDL_DISKAUDIOFILE"] = capture;
    return capture;
}

std::string playTestTrack(testsupport::DemoRun& run) {
    run.useShaders("probe.frag");
    writeTwoToneTrack(run.dir(), "audio.mp3");
    return useDiskDriver(run);
}

std::optional<std::size_t> waitForSound(const std::string& path,
                                        std::chrono::milliseconds timeout) {
    std::optional<std::size_t> onset;
    waitUntil([&] { return (onset = firstAudibleFrame(readStereoAsMono(path))).has_value(); },
              timeout);
    return onset;
}

std::vector<float> waitForSoundLasting(const std::string& path, double seconds, std::size_t from,
                                       std::chrono::milliseconds timeout) {
    std::vector<float> heard;
    waitUntil(
        [&] {
            heard = readStereoAsMono(path);
            heard.erase(heard.begin(),
                        heard.begin() + static_cast<long>(std::min(from, heard.size())));
            heard.erase(heard.begin(),
                        heard.begin() +
                            static_cast<long>(firstAudibleFrame(heard).value_or(heard.size())));
            return static_cast<double>(heard.size()) >= seconds * deviceRate;
        },
        timeout);
    return heard;
}

std::vector<float> ListenedRun::listen(double seconds) {
    const std::size_t from = frameCount(recording);
    const std::size_t to = from + static_cast<std::size_t>(seconds * deviceRate);
    if (!waitUntil([&] { return frameCount(recording) >= to; })) {
        return {};
    }
    auto samples = readStereoAsMono(recording);
    return {samples.begin() + static_cast<long>(from), samples.begin() + static_cast<long>(to)};
}

std::vector<double> ListenedRun::tones(double shortest) const {
    std::vector<double> heard;
    for (const ToneSpan& span :
         spansOfTones(readStereoAsMono(recording), {lowTone, highTone}, shortest)) {
        if (span.frequency > 0) {
            heard.push_back(span.frequency);
        }
    }
    return heard;
}

bool ListenedRun::waitToHear(const std::vector<double>& inOrder,
                             std::chrono::milliseconds timeout) {
    return waitUntil(
        [&] {
            const std::vector<double> heard = tones();
            return std::search(heard.begin(), heard.end(), inOrder.begin(), inOrder.end()) !=
                   heard.end();
        },
        timeout);
}

std::string ListenedRun::heard() const {
    return describe(spansOfTones(readStereoAsMono(recording)));
}

} // namespace audiotest
