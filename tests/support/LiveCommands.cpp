#include "LiveCommands.h"

#include "Messages.h"
#include "Pictures.h"
#include "ReadOnlyFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <filesystem>
#include <regex>

using namespace testsupport;

std::vector<std::string> liveCommand(const DemoRun& run, const std::vector<std::string>& options,
                                     bool timeline) {
    std::vector<std::string> command = {VELLOMIRKE_LIVE_BINARY};
    if (!timeline) {
        command.push_back("--no-timeline");
    }
    command.insert(command.end(), options.begin(), options.end());
    command.push_back(run.dir().path());
    return command;
}

XWindow startLive(DemoRun& run, std::vector<std::string> command) {
    run.start(command.empty() ? liveCommand(run) : std::move(command));
    return run.waitForTitledWindow("vellomirke-live - ");
}

std::optional<FoundTempo> tempoIn(const std::string& output) {
    std::smatch found;
    if (!std::regex_search(
            output, found,
            std::regex("audio\\.mp3: .*; ([0-9.]+) BPM, first downbeat at ([0-9.]+) s"))) {
        return std::nullopt;
    }
    return FoundTempo{std::stod(found[1]), std::stod(found[2])};
}

StillSpan watchStandingStill(DemoRun& run, std::chrono::milliseconds span) {
    const auto startedAt = std::chrono::steady_clock::now();
    const auto usedBefore = run.process().cpuTime();
    // The wait for a frame that should not come is the span itself.
    const bool frameShown = run.x().waitForFrames(run.window(), 1, span);
    const auto used = run.process().cpuTime() - usedBefore;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - startedAt;
    return {used.count() / took.count(), frameShown};
}

void tap(DemoRun& run, const std::string& key) {
    run.press({key});
    run.release({key});
}

namespace {

// A command's run, with its standard output in `output` where given.
int runToTheEnd(ProcessOptions options, const TempDir& scratch, std::string& errors,
                std::string* output) {
    options.environment["DISPLAY"] = std::nullopt;
    options.stdoutPath = scratch.file(".command-stdout");
    options.stderrPath = scratch.file(".command-stderr");
    ChildProcess process(options);
    auto status = process.waitForExit(std::chrono::seconds(30));
    errors = readFile(options.stderrPath);
    if (output != nullptr) {
        *output = readFile(options.stdoutPath);
    }
    return status.value_or(-1);
}

} // namespace

int runLiveCommand(const std::vector<std::string>& args, const TempDir& scratch,
                   std::string& errors, const std::string& readOnlyFolder) {
    ProcessOptions options;
    options.argv = {VELLOMIRKE_LIVE_BINARY};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    if (!readOnlyFolder.empty()) {
        options.argv = onReadOnlyFolder(readOnlyFolder, options.argv);
    }
    return runToTheEnd(options, scratch, errors, nullptr);
}

int runLiveCommand(const std::vector<std::string>& args, const TempDir& scratch,
                   std::string& errors, std::string& output, const Environment& environment) {
    ProcessOptions options;
    options.argv = {VELLOMIRKE_LIVE_BINARY};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    options.environment = environment;
    return runToTheEnd(options, scratch, errors, &output);
}

void saveByRename(const TempDir& dir, const std::string& name, const std::string& content) {
    dir.write(name + ".saving", content);
    std::filesystem::rename(dir.file(name + ".saving"), dir.file(name));
}

void timeTenSaves(DemoRun& run, const std::string& label, const std::string& first,
                  const std::string& second,
                  const std::function<bool(const Image&, int round)>& shows) {
    std::vector<double> milliseconds;
    for (int round = 0; round < 10; ++round) {
        const auto savedAt = std::chrono::steady_clock::now();
        saveByRename(run.dir(), "fragment.glsl", round % 2 == 0 ? first : second);
        const auto shown = [&](const Image& i) { return shows(i, round); };
        ASSERT_TRUE(shown(run.waitForPicture(shown))) << "save " << round << " not shown";
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - savedAt)
                .count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    const double median = (milliseconds[4] + milliseconds[5]) / 2;
    ::testing::Test::RecordProperty("reload_median_ms", std::to_string(median));
    std::cout << label << ": median " << median << " ms, from " << milliseconds.front() << " to "
              << milliseconds.back() << " ms over 10 saves" << std::endl;
}

std::string expectBrokenSaveInARedFrame(DemoRun& run) {
    auto isRed = [](const Rgb& c) { return near(c, {255, 0, 0}); };
    saveByRename(run.dir(), "fragment.glsl", readFile(testDataPath("compile-error.frag")));
    Image framed = run.waitForPicture(
        [&](const Image& i) { return isRed(i.at(0, 0)) && isRed(i.at(640, 719)); });
    EXPECT_TRUE(isRed(framed.at(0, 0))) << describe(framed.at(0, 0)) << "; " << run.errors();
    const double brokenAt = encodedTime(framed);
    Image later =
        run.waitForPicture([&](const Image& i) { return encodedTime(i) > brokenAt + 0.5; });
    EXPECT_GT(encodedTime(later), brokenAt + 0.5) << "the last good piece stopped";
    EXPECT_TRUE(isRed(later.at(0, 0))) << describe(later.at(0, 0));
    const std::string errors = run.errors();
    EXPECT_EQ(occurrences(errors, "fragment.glsl:6:"), 1) << errors;
    EXPECT_EQ(errors.find("link"), std::string::npos) << errors;
    return errors;
}
