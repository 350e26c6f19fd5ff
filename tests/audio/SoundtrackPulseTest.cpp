// The soundtrack through a real sound server: a private PulseAudio daemon
// with a null sink, whose monitor parec records.
#include "AudioTestSupport.h"
#include "DemoProcess.h"
#include "PulseServer.h"
#include "TestTrack.h"
#include "ToneAnalysis.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace std::chrono_literals;
using namespace testsupport;
using namespace audiotest;

namespace {

bool heardInOrder(const std::vector<ToneSpan>& spans, double first, double second) {
    auto low = std::find_if(spans.begin(), spans.end(),
                            [&](const ToneSpan& s) { return s.frequency == first; });
    return low != spans.end() &&
           std::any_of(low, spans.end(), [&](const ToneSpan& s) { return s.frequency == second; });
}

} // namespace

TEST(SoundtrackThroughPulseAudio, TheServerHearsTheTrack) {
    TempDir dir;
    copyProbeShaders(dir);
    writeTwoToneTrack(dir, "audio.mp3");
    // Declared in this order, they stop in the reverse one: demo, recorder,
    // server - also when an assertion ends the test early.
    PulseServer pulse(dir);
    const std::string recording = dir.file("monitor.raw");
    MonitorRecorder recorder(pulse, recording);
    XvfbServer server;
    // SDL picks its driver itself, as it would for a user.
    Environment audio = pulse.clientEnvironment();
    audio["SDL_AUDIODRIVER"] = std::nullopt;
    DemoProcess demo(server.display(), dir, audio);
    XClient x(server.display());
    XWindow window = demo.waitForWindow(x);

    // A whole tone of each, low before high: long enough spans that only the
    // track, not a click or a glitch, can account for them.
    std::vector<ToneSpan> spans;
    bool heard = waitUntil(30s, [&] {
        spans =
            noticeableSpans(toneSpans(readStereoAsMono(recording), deviceRate, {lowTone, highTone}),
                            static_cast<std::size_t>(0.8 * toneSeconds * deviceRate));
        return heardInOrder(spans, lowTone, highTone);
    });
    x.sendCloseRequest(window);
    auto status = demo.waitForExit(10s);
    EXPECT_TRUE(heard) << "recorded " << frameCount(recording)
                       << " frames: " << describe(spans, deviceRate)
                       << "\nparec: " << readFile(recording + ".log")
                       << "\ndemo: " << demo.errors();
    ASSERT_TRUE(status) << "the demo ignored the close request";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo.output(), "");
}
