// A captured run as the GL sees it. The capture's pass sits between each of
// the demo's draws and its buffer swap, and once more before the context goes.
// Without it, what is left must be the demo's own frame loop call for call,
// and the GL state that the demo finds after each pass must be the state it
// left before it.
#include "ChildProcess.h"
#include "RecordedRun.h"
#include "TempDir.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;
using namespace testsupport;
using conformance::TraceCall;

namespace {

int runToEnd(const ProcessOptions& options, std::chrono::seconds timeout) {
    ChildProcess process(options);
    auto status = process.waitForExit(timeout);
    if (!status) {
        throw std::runtime_error(options.argv[0] + " still running after " +
                                 std::to_string(timeout.count()) + " s");
    }
    return *status;
}

// The GL parameters (every glGet value) after call `call` of `trace`, as
// glretrace dumps them.
std::string parametersAfter(const TempDir& dir, const std::string& display, long call) {
    ProcessOptions options;
    options.argv = {"glretrace", "-D", std::to_string(call), dir.file("run.trace")};
    options.environment = {{"DISPLAY", display}};
    options.stdoutPath = dir.file("state.json");
    if (runToEnd(options, 60s) != 0) {
        throw std::runtime_error("glretrace failed at call " + std::to_string(call));
    }
    std::string state = readFile(dir.file("state.json"));
    size_t begin = state.find("\"parameters\"");
    size_t end = state.find("\n  \"shaders\"");
    if (begin == std::string::npos || end == std::string::npos) {
        throw std::runtime_error("no GL parameters in glretrace's dump at call " +
                                 std::to_string(call));
    }
    return state.substr(begin, end - begin);
}

std::string firstDifference(const std::string& a, const std::string& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) {
        ++at;
    }
    size_t line = a.rfind('\n', at);
    line = line == std::string::npos ? 0 : line + 1;
    return a.substr(line, a.find('\n', at) - line) + "  became  " +
           b.substr(line, b.find('\n', at) - line);
}

} // namespace

// Once with each way of converting the frames to YUV: the GPU pass, and the
// plain read-back that the CPU converts.
class CapturedCalls : public testing::TestWithParam<const char*> {};

INSTANTIATE_TEST_SUITE_P(Conversion, CapturedCalls, testing::Values("gpu", "cpu"));

TEST_P(CapturedCalls, TheDemosCallsAndStateAreAsWithoutTheCapture) {
    XvfbServer server;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("capture-clock.frag", "fragment.glsl");
    ProcessOptions demo;
    demo.argv = {"apitrace",
                 "trace",
                 "--api",
                 "gl",
                 "-o",
                 dir.file("run.trace"),
                 VELLOMIRKE_BUILD_DIR "/vellomirke-demo"};
    demo.workingDirectory = dir.path();
    demo.environment = {{"DISPLAY", server.display()},
                        {"SDL_AUDIODRIVER", "dummy"},
                        {"LD_PRELOAD", VELLOMIRKE_CAPTURE_LIBRARY},
                        {"VELLOMIRKE_CAPTURE_FPS", "1"},
                        {"VELLOMIRKE_CAPTURE_VIDEO", dir.file("video.mp4")},
                        {"VELLOMIRKE_CAPTURE_CONVERT", GetParam()}};
    demo.stdoutPath = dir.file("demo.out");
    demo.stderrPath = dir.file("demo.err");
    ASSERT_EQ(runToEnd(demo, 120s), 0) << readFile(dir.file("demo.err"));
    ProcessOptions dump;
    dump.argv = {"apitrace", "dump", "-v", "--multiline=false", dir.file("run.trace")};
    dump.stdoutPath = dir.file("calls.dump");
    ASSERT_EQ(runToEnd(dump, 60s), 0);

    // The passes: from each draw to its swap, and after the last swap until
    // the context is released.
    conformance::RecordedRun run;
    std::vector<std::pair<long, long>> passes; // last call before, last call of
    std::vector<TraceCall> calls;
    for (TraceCall& call : conformance::parseTraceDump(readFile(dir.file("calls.dump")))) {
        if (!call.fake) {
            calls.push_back(std::move(call));
        }
    }
    size_t lastSwap = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        lastSwap = calls[i].name == "glXSwapBuffers" ? i : lastSwap;
    }
    bool inPass = false;
    int readsBack = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        const TraceCall& call = calls[i];
        bool endsPass = call.name == "glXSwapBuffers" || call.name == "glXMakeCurrent";
        if (inPass && !endsPass) {
            readsBack += call.name == "glReadPixels";
            passes.back().second = call.number;
            continue;
        }
        inPass = call.name == "glDrawElements" || i == lastSwap;
        if (inPass) {
            passes.emplace_back(call.number, call.number);
        }
        run.calls.push_back(call);
    }
    ASSERT_EQ(readsBack, 31) << "the capture read back a frame per frame drawn";

    try {
        auto frames = run.frames();
        ASSERT_EQ(frames.size(), 31u);
        for (size_t k = 0; k < frames.size(); ++k) {
            EXPECT_EQ(frames[k].timeValue, static_cast<double>(k)) << "frame " << k;
        }
    } catch (const conformance::CallMismatch& e) {
        FAIL() << e.what();
    }

    // The first pass sets the capture up, the second is like every later one,
    // the last reads back the frames still in flight.
    for (auto [before, after] : {passes[0], passes[1], passes.back()}) {
        std::string left = parametersAfter(dir, server.display(), before);
        std::string found = parametersAfter(dir, server.display(), after);
        EXPECT_TRUE(left == found)
            << "calls " << before << " to " << after << ": " << firstDifference(left, found);
    }
}
