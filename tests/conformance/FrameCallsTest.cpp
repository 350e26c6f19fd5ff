// The frame loop as the GL calls show it: each frame exactly clear, current
// program, the two uniforms, one draw and the swap; the time that it feeds the
// shader; and how a run that ends by time ends.
#include "RecordedRun.h"

#include <gtest/gtest.h>

using namespace conformance;

TEST(Frames, EveryFrameIsTheFrameSequenceAndNothingElse) {
    // frames() checks every call of every frame, and that only the context's
    // teardown follows the last one; buffer or texture work anywhere in the
    // loop would stop it.
    try {
        auto frames = recordedRun().frames();
        EXPECT_GT(frames.size(), 30u) << "a thirty-second run draws more frames than that";
    } catch (const CallMismatch& e) {
        FAIL() << e.what();
    }
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
    EXPECT_GE(frames.back().timeValue, 30.0);
    for (size_t i = 0; i + 1 < frames.size(); ++i) {
        ASSERT_LT(frames[i].timeValue, 30.0) << "frame " << i << " of " << frames.size();
    }
    EXPECT_EQ(run.fact("status"), 0);
    EXPECT_EQ(run.output, "") << "a run with valid shaders prints nothing";
}
