// The frame loop as the GL calls show it: each frame exactly clear, current
// program, the two uniforms, one draw and the swap; the time that it feeds the
// shader; how a run ends by time and by Escape; and the viewport, set at
// start-up and changed only by a resize event.
#include "ConformanceRecording.h"
#include "DemoContract.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace conformance;

TEST(Frames, EveryFrameIsTheFrameSequenceAndNothingElse) {
    // frames() checks every call of every frame, and that only the context's
    // teardown follows the last one; buffer or texture work anywhere in the
    // loop would make it throw CallMismatch, which fails the test.
    EXPECT_GT(recordedRun().frames().size(), 30u) << "a thirty-second run draws more frames";
}

TEST(Frames, TimeValueGrowsFromFrameToFrame) {
    auto frames = recordedRun().frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_GT(frames.front().timeValue, 0.0) << "the clock counts from glfwInit, before the window";
    for (size_t i = 1; i < frames.size(); ++i) {
        ASSERT_GT(frames[i].timeValue, frames[i - 1].timeValue) << "frame " << i;
    }
}

TEST(Frames, RunEndsWithTheFirstFrameAtThirtySeconds) {
    const RecordedRun& run = recordedRun();
    auto frames = run.frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_GE(frames.back().timeValue, demo::lengthSeconds);
    for (size_t i = 0; i + 1 < frames.size(); ++i) {
        ASSERT_LT(frames[i].timeValue, demo::lengthSeconds)
            << "frame " << i << " of " << frames.size();
    }
    EXPECT_EQ(run.fact("status"), 0);
    EXPECT_EQ(run.output, "") << "a run with valid shaders prints nothing";
}

TEST(Frames, TheFrameThatSeesEscapeIsStillDrawnAndIsTheLast) {
    // Escape went down together with Space, which rebuilds the program on
    // every frame that sees it down: the frame that saw Escape shows as the
    // one rebuild, and a frame after it would rebuild again.
    const RecordedRun& run = escapedRun();
    EXPECT_EQ(run.fact("status"), 0);
    EXPECT_EQ(run.output, "");
    auto frames = run.frames();
    ASSERT_GT(frames.size(), 1u);
    for (size_t i = 0; i + 1 < frames.size(); ++i) {
        ASSERT_FALSE(frames[i].reload) << "frame " << i << " rebuilt before Escape";
    }
    EXPECT_TRUE(frames.back().reload) << "the frame that saw Escape is not the last drawn";
    EXPECT_LT(frames.back().timeValue, demo::lengthSeconds)
        << "the run ended by time, not by Escape";
}

namespace {

// The viewport that the demo sets at start-up, as the trace dump writes it.
const std::string demoViewport =
    "0 0 " + std::to_string(demo::width) + " " + std::to_string(demo::height);

std::vector<std::string> viewports(const RecordedRun& run) {
    std::vector<std::string> found;
    for (const TraceCall& call : run.calls) {
        if (call.name == "glViewport") {
            found.push_back(viewportOf(call));
        }
    }
    return found;
}

} // namespace

TEST(Viewport, StartsAtTheDemosSizeAndFollowsTheResizeEventOnly) {
    // On a 1920x1080 screen no resize comes.
    EXPECT_EQ(viewports(recordedRun()), std::vector<std::string>{demoViewport});
    // On a 1280x720 one, the resize comes with an event poll between frames.
    const RecordedRun& run = escapedRun();
    ASSERT_EQ(viewports(run), (std::vector<std::string>{demoViewport, "0 0 1280 720"}));
    auto frames = run.frames();
    size_t resizedAfter = 0;
    while (resizedAfter < frames.size() && frames[resizedAfter].viewport.empty()) {
        ++resizedAfter;
    }
    EXPECT_LT(resizedAfter + 1, frames.size()) << "no frame was drawn after the resize";
    RecordProperty("frames_before_resize", std::to_string(resizedAfter + 1));
}
