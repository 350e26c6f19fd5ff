// A captured run as the GL sees it. The capture's pass sits between each of
// the demo's draws and its buffer swap, and once more before the context goes.
// Without it, what is left must be the demo's own frame loop call for call,
// and the GL state that the demo finds after each pass must be the state it
// left before it.
#include "DemoRun.h"
#include "RecordedRun.h"
#include "RunTool.h"
#include "TracedDemo.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace testsupport;
using conformance::TraceCall;

namespace {

// The GL parameters (every glGet value) after call `call` of `trace`, as
// glretrace dumps them, but for the free memory.
std::string parametersAfter(DemoRun& run, long call) {
    ProcessOptions options;
    options.environment = {{"DISPLAY", run.display()}};
    std::string state = runTool(
        {"glretrace", "-D", std::to_string(call), run.dir().file("run.trace")}, 60s, options);
    size_t begin = state.find("\"parameters\"");
    size_t end = state.find("\n  \"shaders\"");
    if (begin == std::string::npos || end == std::string::npos) {
        throw std::runtime_error("no GL parameters in glretrace's dump at call " +
                                 std::to_string(call));
    }
    // Free memory, which newer drivers report (GL_VBO_FREE_MEMORY_ATI...),
    // is not state that anything sets or puts back: the machine's reading.
    std::istringstream lines(state.substr(begin, end - begin));
    std::string parameters;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("FREE_MEMORY") == std::string::npos &&
            line.find("GPU_MEMORY_INFO") == std::string::npos) {
            parameters += line + '\n';
        }
    }
    return parameters;
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
    DemoRun run;
    run.useShaders("capture-clock.frag");
    run.environment()["LD_PRELOAD"] = VELLOMIRKE_CAPTURE_LIBRARY;
    run.environment()["VELLOMIRKE_CAPTURE_FPS"] = "1";
    run.environment()["VELLOMIRKE_CAPTURE_VIDEO"] = run.dir().file("video.mp4");
    run.environment()["VELLOMIRKE_CAPTURE_CONVERT"] = GetParam();
    run.start(conformance::tracedDemo(run, run.dir().file("run.trace")));
    ASSERT_EQ(run.waitForExit(120s).value_or(-1000), 0) << run.errors();
    std::string dump =
        runTool({"apitrace", "dump", "-v", "--multiline=false", run.dir().file("run.trace")});

    // The passes: from each draw to its swap, and after the last swap until
    // the context is released.
    conformance::RecordedRun traced;
    std::vector<std::pair<long, long>> passes; // last call before, last call of
    const std::vector<TraceCall> calls = conformance::parseTraceDump(dump);
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
        traced.calls.push_back(call);
    }
    ASSERT_EQ(readsBack, 31) << "the capture read back a frame per frame drawn";

    // The first pass sets the capture up, the second is like every later one,
    // the last reads back the frames still in flight.
    for (auto [before, after] : {passes[0], passes[1], passes.back()}) {
        std::string left = parametersAfter(run, before);
        std::string found = parametersAfter(run, after);
        EXPECT_TRUE(left == found)
            << "calls " << before << " to " << after << ": " << firstDifference(left, found);
    }

    // A call out of the frame loop's order throws CallMismatch, which fails
    // the test.
    auto frames = traced.frames();
    ASSERT_EQ(frames.size(), 31u);
    for (size_t k = 0; k < frames.size(); ++k) {
        EXPECT_EQ(frames[k].timeValue, static_cast<double>(k)) << "frame " << k;
    }
}
