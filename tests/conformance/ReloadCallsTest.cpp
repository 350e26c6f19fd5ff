// Space in the recorded run: fragment.glsl was replaced by a shader whose
// uniforms sit at other locations, and Space was held for two seconds.
#include "RecordedRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace conformance;

namespace {

std::vector<Frame> reloadFrames(const std::vector<Frame>& frames) {
    std::vector<Frame> reloads;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(reloads),
                 [](const Frame& f) { return f.reload.has_value(); });
    return reloads;
}

// The resident size sampled nearest to `at` seconds after the window appeared.
long residentAt(const RecordedRun& run, double at) {
    auto nearest = std::min_element(run.residentKib.begin(), run.residentKib.end(),
                                    [at](const auto& a, const auto& b) {
                                        return std::abs(a.first - at) < std::abs(b.first - at);
                                    });
    if (nearest == run.residentKib.end()) {
        throw std::runtime_error("no resident size was sampled");
    }
    return nearest->second;
}

} // namespace

TEST(Reload, UniformsGoToTheReloadedProgramsOwnLocations) {
    auto frames = recordedRun().frames();
    ASSERT_FALSE(frames.empty());
    const Frame& first = frames.front();
    auto reloads = reloadFrames(frames);
    ASSERT_FALSE(reloads.empty()) << "Space did not rebuild the program";
    const Frame& reload = reloads.front();
    ASSERT_TRUE(reload.reload->linked);
    ASSERT_NE(reload.reload->fragmentSource.find("uniform vec4 tint;"), std::string::npos)
        << "the rebuild did not read the replaced fragment.glsl";
    // Only meaningful if the driver placed the uniforms elsewhere this time.
    ASSERT_NE(reload.timeLocation, first.timeLocation);
    ASSERT_NE(reload.sizeLocation, first.sizeLocation);

    // frames() has already matched every write to the location that the
    // lookup in the current program returned; here: the current program is
    // the reloaded one, in the reload frame and in every frame after it.
    bool reached = false;
    for (const Frame& frame : frames) {
        reached = reached || frame.firstCall == reload.firstCall;
        if (reached && !frame.reload) {
            EXPECT_NE(frame.currentProgram, first.currentProgram);
            EXPECT_EQ(frame.timeLocation, reload.timeLocation);
            EXPECT_EQ(frame.sizeLocation, reload.sizeLocation);
        }
    }
    EXPECT_EQ(reload.currentProgram, reload.reload->program);
}

TEST(HeldSpace, RebuildsOnceInEveryFrameWhileHeldAndTheLoopRunsOn) {
    auto frames = recordedRun().frames();
    std::vector<size_t> rebuilt;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].reload) {
            rebuilt.push_back(i);
        }
    }
    ASSERT_GE(rebuilt.size(), 10u) << "two seconds of Space rebuilt too seldom";
    // One unbroken stretch of frames, each with its own new program.
    EXPECT_EQ(rebuilt.back() - rebuilt.front() + 1, rebuilt.size());
    std::set<std::string> programs;
    for (size_t i : rebuilt) {
        EXPECT_TRUE(frames[i].reload->linked);
        programs.insert(frames[i].reload->program);
    }
    EXPECT_EQ(programs.size(), rebuilt.size());
    // The loop kept drawing with the clock running while Space was down.
    double heldFor = frames[rebuilt.back()].timeValue - frames[rebuilt.front()].timeValue;
    EXPECT_GT(heldFor, 1.0) << "the rebuilds covered only " << heldFor << " s of the hold";
}

TEST(HeldSpace, MemoryGrowsWithTheRebuiltProgramsOnly) {
    const RecordedRun& run = recordedRun();
    auto reloads = reloadFrames(run.frames());
    ASSERT_FALSE(reloads.empty());
    double holdStart = run.fact("hold_start_s");
    double holdEnd = run.fact("hold_end_s");
    double exit = run.fact("exit_s");
    // Steady before the hold, from one second after the window appeared.
    long before = residentAt(run, holdStart);
    // Allowances of 2 MiB take in pages that the driver and apitrace touch
    // late; a leak of some hundreds of bytes a frame, over the thousands of
    // frames of a run, would exceed them.
    EXPECT_LE(before - residentAt(run, 1.0), 2048) << "KiB of growth without any reload";
    // While held: a bounded amount per program built.
    long afterHold = residentAt(run, holdEnd + 1.0);
    double perProgram = double(afterHold - before) / double(reloads.size());
    EXPECT_LT(perProgram, 1024.0) << "KiB per rebuilt program";
    // Steady again once Space is up, to the end of the run.
    long end = residentAt(run, exit - 0.5);
    EXPECT_LE(end - afterHold, 2048) << "KiB of growth after the last reload";
    RecordProperty("resident_kib_before_hold", std::to_string(before));
    RecordProperty("resident_kib_after_hold", std::to_string(afterHold));
    RecordProperty("resident_kib_at_end", std::to_string(end));
    RecordProperty("programs_built", std::to_string(reloads.size()));
}
