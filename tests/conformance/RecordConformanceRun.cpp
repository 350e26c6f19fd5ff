// Records two runs of the demo under apitrace, for the checks in this folder
// to read.
//
// The whole run, in OUTPUT_DIRECTORY: the demo starts with probe.frag; after
// some frames fragment.glsl is replaced by reordered-uniforms.frag and Space
// is held for a counted number of frames, and the run goes on until it ends by
// itself at thirty seconds. Its resident size is sampled all along.
//
// The short run, in OUTPUT_DIRECTORY/escape: on a 1280x720 screen, so that a
// framebuffer resize reaches the demo, ended after some frames by Escape and
// Space pressed together, so that the frame which sees Escape rebuilds the
// program as well and shows in the trace.
//
// Usage: record_conformance_run OUTPUT_DIRECTORY
// Writes in each: calls.dump (apitrace dump -v --multiline=false --blobs,
// with the blob_call*.bin files beside it), rss.txt ("seconds KiB" per line,
// time counted from the first frame), run.txt ("key value" lines) and
// stdout.txt. Exits nonzero only when a run could not be recorded; whether the
// run itself was right is for the checks to say.
#include "DemoRun.h"
#include "RunTool.h"
#include "TracedDemo.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <optional>
#include <thread>

using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

// Frames let pass before anything is measured, frames watched for growth
// before Space goes down, and frames that Space is held for.
constexpr int settleFrames = 20;
constexpr int steadyFrames = 200;
constexpr int holdFrames = 12;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The demo is the child that `apitrace trace` starts.
pid_t findDemo(DemoRun& run) {
    const std::string pid = std::to_string(run.process().pid());
    pid_t demo = -1;
    if (!waitUntil(
            [&] {
                std::istringstream children(
                    readFile("/proc/" + pid + "/task/" + pid + "/children"));
                return children >> demo && demo > 0;
            },
            10s)) {
        throw std::runtime_error("no demo process under apitrace");
    }
    return demo;
}

// VmRSS of a process in KiB; nothing once it has gone.
std::optional<long> residentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return std::nullopt;
}

// Samples a process's resident size every 100 ms on a thread of its own,
// until the process has gone or the value goes away.
class RssLog {
  public:
    RssLog(pid_t pid, Clock::time_point origin, const std::filesystem::path& path)
        : out_(path), sampler_([this, pid, origin] {
              while (!stop_) {
                  auto kib = residentKib(pid);
                  if (!kib) {
                      break;
                  }
                  out_ << secondsSince(origin) << ' ' << *kib << '\n';
                  std::this_thread::sleep_for(100ms);
              }
          }) {}
    ~RssLog() {
        stop_ = true;
        sampler_.join();
    }

  private:
    std::ofstream out_;
    std::atomic<bool> stop_{false};
    std::thread sampler_;
};

void startTraced(DemoRun& run, const std::filesystem::path& out) {
    std::filesystem::create_directories(out);
    run.useShaders("probe.frag");
    run.start(conformance::tracedDemo(run, run.dir().file("demo.trace")));
    run.waitForFirstFrame();
}

// Waits for the end, then keeps what the checks read.
void finish(DemoRun& run, const std::filesystem::path& out, std::ofstream& facts,
            Clock::time_point origin) {
    auto status = run.waitForExit(90s);
    if (!status) {
        throw std::runtime_error("the demo did not end under apitrace");
    }
    facts << "exit_s " << secondsSince(origin) << '\n' << "status " << *status << '\n';
    std::filesystem::copy_file(run.dir().file(".demo-stdout"), out / "stdout.txt");
    // Blobs (buffer contents) are written to the working directory.
    ProcessOptions inOut;
    inOut.workingDirectory = out.string();
    std::ofstream(out / "calls.dump") << runTool(
        {"apitrace", "dump", "-v", "--multiline=false", "--blobs", run.dir().file("demo.trace")},
        120s, inOut);
}

void recordWholeRun(const std::filesystem::path& out) {
    DemoRun run;
    startTraced(run, out);
    auto origin = Clock::now();
    std::ofstream facts(out / "run.txt");
    RssLog rss(findDemo(run), origin, out / "rss.txt");
    run.waitForFrames(settleFrames);
    facts << "settled_s " << secondsSince(origin) << '\n';
    run.waitForFrames(steadyFrames);

    // Replaced in one rename, so that no rebuild can see half a file.
    run.dir().copyTestFile("reordered-uniforms.frag", "fragment.glsl.new");
    std::filesystem::rename(run.dir().file("fragment.glsl.new"), run.dir().file("fragment.glsl"));
    facts << "hold_start_s " << secondsSince(origin) << '\n';
    run.hold({"space"}, holdFrames);
    facts << "hold_end_s " << secondsSince(origin) << '\n' << "hold_frames " << holdFrames << '\n';
    run.waitForFrames(settleFrames);
    facts << "after_hold_s " << secondsSince(origin) << '\n';
    finish(run, out, facts, origin);
}

void recordEscapedRun(const std::filesystem::path& out) {
    DemoRun::Screen small;
    small.geometry = "1280x720x24";
    DemoRun run(small);
    startTraced(run, out);
    auto origin = Clock::now();
    std::ofstream facts(out / "run.txt");
    std::ofstream(out / "rss.txt");
    run.waitForFrames(settleFrames);
    run.press({"Escape", "space"});
    finish(run, out, facts, origin);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: record_conformance_run OUTPUT_DIRECTORY\n";
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::filesystem::remove_all(out);
    try {
        recordWholeRun(out);
        recordEscapedRun(out / "escape");
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "recording failed: " << e.what() << '\n';
        return 1;
    }
}
