// Records one whole run of the demo under apitrace, for the checks in this
// folder to read: the demo starts with probe.frag, runs three seconds, then
// fragment.glsl is replaced by reordered-uniforms.frag and Space is held for
// two seconds, and the run goes on until it ends by itself at thirty seconds.
// Its resident size is sampled all along.
//
// Usage: record_conformance_run OUTPUT_DIRECTORY
// Writes there: calls.dump (apitrace dump -v --multiline=false --blobs, with
// the blob_call*.bin files beside it), rss.txt ("seconds KiB" per line, time
// counted from the window's appearance), run.txt ("key value" lines) and
// stdout.txt. Exits nonzero only when the run could not be recorded; whether
// the run itself was right is for the checks to say.
#include "ChildProcess.h"
#include "DemoProcess.h"
#include "ProcStatus.h"
#include "TempDir.h"
#include "XClient.h"
#include "XvfbServer.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

using namespace std::chrono_literals;
using namespace testsupport;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The demo is the child that `apitrace trace` starts.
pid_t findDemo(ChildProcess& tracer) {
    auto deadline = Clock::now() + 10s;
    while (Clock::now() < deadline) {
        auto children = conformance::childrenOf(tracer.pid());
        if (!children.empty()) {
            return children.front();
        }
        std::this_thread::sleep_for(10ms);
    }
    return -1;
}

class RssLog {
  public:
    RssLog(pid_t pid, Clock::time_point origin, const std::string& path)
        : pid_(pid), origin_(origin), out_(path) {}

    // Samples every 100 ms for `duration`, or until the process exits.
    void sampleFor(std::chrono::milliseconds duration, ChildProcess& tracer) {
        auto end = Clock::now() + duration;
        while (Clock::now() < end && tracer.running()) {
            if (auto kib = conformance::residentKib(pid_)) {
                out_ << secondsSince(origin_) << ' ' << *kib << '\n';
            }
            std::this_thread::sleep_for(100ms);
        }
        out_.flush();
    }

  private:
    pid_t pid_;
    Clock::time_point origin_;
    std::ofstream out_;
};

int record(const std::filesystem::path& out) {
    XvfbServer server;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("probe.frag", "fragment.glsl");

    ProcessOptions options;
    options.argv = {"apitrace", "trace", "--api", "gl", "-o", dir.file("demo.trace"), demoBinary()};
    options.workingDirectory = dir.path();
    options.environment = {{"DISPLAY", server.display()}, {"SDL_AUDIODRIVER", "dummy"}};
    options.stdoutPath = (out / "stdout.txt").string();
    options.stderrPath = (out / "apitrace.log").string();
    auto started = Clock::now();
    ChildProcess tracer(options);

    XClient x(server.display());
    if (!x.waitForWindow("Vellomirke2017Demo", 60s)) {
        std::cerr << "the demo's window did not appear under apitrace\n";
        return 1;
    }
    auto windowShown = Clock::now();
    pid_t demo = findDemo(tracer);
    if (demo < 0) {
        std::cerr << "no demo process under apitrace\n";
        return 1;
    }
    std::ofstream run(out / "run.txt");
    run << "window_after_start_s " << secondsSince(started) << '\n';
    RssLog rss(demo, windowShown, (out / "rss.txt").string());
    rss.sampleFor(3s, tracer);

    // Replaced in one rename, so that no rebuild can see half a file.
    dir.copyTestFile("reordered-uniforms.frag", "fragment.glsl.new");
    std::filesystem::rename(dir.file("fragment.glsl.new"), dir.file("fragment.glsl"));
    run << "hold_start_s " << secondsSince(windowShown) << '\n';
    x.pressKey("space");
    rss.sampleFor(2s, tracer);
    x.releaseKey("space");
    run << "hold_end_s " << secondsSince(windowShown) << '\n';

    rss.sampleFor(60s, tracer);
    auto status = tracer.waitForExit(0ms);
    if (!status) {
        std::cerr << "the demo was still running 60 s after Space\n";
        return 1;
    }
    run << "exit_s " << secondsSince(windowShown) << '\n';
    run << "status " << *status << '\n';
    run.close();

    // Blobs (buffer contents) are written to the working directory.
    ProcessOptions dump;
    dump.argv = {"apitrace", "dump", "-v", "--multiline=false", "--blobs", dir.file("demo.trace")};
    dump.workingDirectory = out.string();
    dump.stdoutPath = (out / "calls.dump").string();
    dump.stderrPath = (out / "apitrace-dump.log").string();
    ChildProcess dumper(dump);
    auto dumped = dumper.waitForExit(120s);
    if (!dumped || *dumped != 0) {
        std::cerr << "apitrace dump failed\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: record_conformance_run OUTPUT_DIRECTORY\n";
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::filesystem::remove_all(out);
    std::filesystem::create_directories(out);
    try {
        return record(out);
    } catch (const std::exception& e) {
        std::cerr << "recording failed: " << e.what() << '\n';
        return 1;
    }
}
