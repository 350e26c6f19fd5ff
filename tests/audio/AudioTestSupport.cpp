#include "AudioTestSupport.h"

#include "TestTrack.h"
#include "ToneAnalysis.h"

namespace audiotest {

std::string useDiskDriver(testsupport::DemoRun& run) {
    const std::string capture = run.dir().file("capture.raw");
    run.environment()["SDL_AUDIODRIVER"] = "disk";
    run.environment()["SDL_DISKAUDIOFILE"] = capture;
    return capture;
}

std::vector<float> ListenedRun::listen(double seconds) {
    const std::size_t from = frameCount(recording);
    const std::size_t to = from + static_cast<std::size_t>(seconds * deviceRate);
    if (!testsupport::waitUntil([&] { return frameCount(recording) >= to; })) {
        return {};
    }
    auto samples = readStereoAsMono(recording);
    return {samples.begin() + static_cast<long>(from), samples.begin() + static_cast<long>(to)};
}

namespace {

std::vector<ToneSpan> spansOf(const std::string& recording, double shortest) {
    return noticeableSpans(toneSpans(readStereoAsMono(recording), deviceRate, {lowTone, highTone}),
                           static_cast<std::size_t>(shortest * deviceRate));
}

} // namespace

std::vector<double> ListenedRun::tones(double shortest) const {
    std::vector<double> heard;
    for (const ToneSpan& span : spansOf(recording, shortest)) {
        if (span.frequency > 0) {
            heard.push_back(span.frequency);
        }
    }
    return heard;
}

std::string ListenedRun::heard() const {
    return describe(spansOf(recording, 0.1), deviceRate);
}

} // namespace audiotest
