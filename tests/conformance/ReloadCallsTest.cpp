// Space in the recorded run: fragment.glsl was replaced by a shader whose
// uniforms sit at other locations, and Space was held for a counted number of
// frames.
#include "ConformanceRecording.h"

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

// The resident size sampled nearest to `at` seconds after the first frame.
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

// The largest resident size sampled from `from` seconds to `to`.
long largestBetween(const RecordedRun& run, double from, double to) {
    long largest = residentAt(run, from);
    for (auto [at, kib] : run.residentKib) {
        largest = at >= from && at <= to ? std::max(largest, kib) : largest;
    }
    return largest;
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
    // The frames counted while Space was down, less the one in flight when it
    // went down and the one whose event poll came before the key's event.
    const size_t held = static_cast<size_t>(recordedRun().fact("hold_frames"));
    ASSERT_GE(rebuilt.size(), held - 2) << "Space held for " << held << " frames";
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
    EXPECT_GT(heldFor, 0.0) << "the clock stood still while Space was down";
}

TEST(HeldSpace, MemoryGrowsWithTheRebuiltProgramsOnly) {
    const RecordedRun& run = recordedRun();
    auto reloads = reloadFrames(run.frames());
    ASSERT_FALSE(reloads.empty());
    double holdStart = run.fact("hold_start_s");
    double afterHoldAt = run.fact("after_hold_s");
    // Allowances of 2 MiB take in pages that the driver and apitrace touch
    // late; a leak of some hundreds of bytes a frame, over the thousands of
    // frames of a run, would exceed them.
    // Steady before the hold, from some frames after the first.
    long settled = residentAt(run, run.fact("settled_s"));
    long before = residentAt(run, holdStart);
    EXPECT_LE(largestBetween(run, run.fact("settled_s"), holdStart) - settled, 2048)
        << "KiB of growth without any reload";
    // While held: a bounded amount per program built.
    long afterHold = residentAt(run, afterHoldAt);
    double perProgram = double(afterHold - before) / double(reloads.size());
    EXPECT_LT(perProgram, 1024.0) << "KiB per rebuilt program";
    // Steady again once Space is up, to the end of the run.
    long end = largestBetween(run, afterHoldAt, run.fact("exit_s"));
    EXPECT_LE(end - afterHold, 2048) << "KiB of growth after the last reload";
    RecordProperty("resident_kib_before_hold", std::to_string(before));
    RecordProperty("resident_kib_after_hold", std::to_string(afterHold));
    RecordProperty("resident_kib_at_end", std::to_string(end));
    RecordProperty("programs_built", std::to_string(reloads.size()));
}
