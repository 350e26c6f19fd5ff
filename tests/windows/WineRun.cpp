#include "WineRun.h"

#include "RunTool.h"

#include <filesystem>

using namespace std::chrono_literals;
using namespace testsupport;

namespace windowstest {

void WindowsPackage::SetUp() {
    server = std::make_unique<XvfbServer>();
    prefix = std::make_unique<WinePrefix>(server->display());
    unpacked = std::make_unique<TempDir>();
    ProcessOptions inUnpacked;
    inUnpacked.workingDirectory = unpacked->path();
    runTool({VELLOMIRKE_CMAKE, "-E", "tar", "xf", VELLOMIRKE_WINDOWS_ZIP}, 60s, inUnpacked);
    // Double-clicking the program plays the sample piece beside it.
    for (const char* file : {"vellomirke-demo.exe", "vellomirke-live.exe", "vertex.glsl",
                             "fragment.glsl", "audio.mp3", "README.txt", "LICENSE.txt"}) {
        ASSERT_TRUE(std::filesystem::is_regular_file(path(file))) << file << " not in the zip";
    }
}

void WindowsPackage::TearDown() {
    unpacked.reset();
    prefix.reset();
    server.reset();
}

std::string WindowsPackage::folder() const {
    return unpacked->file(VELLOMIRKE_WINDOWS_FOLDER);
}

WindowsPackage* const package =
    static_cast<WindowsPackage*>(::testing::AddGlobalTestEnvironment(new WindowsPackage));

WineRun::WineRun() : ListenedRun(package->server->display()) {}

void WineRun::start(const std::string& wineDebug, const std::string& program,
                    const std::vector<std::string>& options) {
    for (const auto& [name, value] : package->prefix->environment()) {
        run.environment()[name] = value;
    }
    run.environment()["WINEDEBUG"] = wineDebug;
    std::vector<std::string> command = {"wine", package->path(program)};
    command.insert(command.end(), options.begin(), options.end());
    run.start(command);
}

int WineRun::liveCommand(const std::vector<std::string>& args, std::string& errors) {
    start("-all", "vellomirke-live.exe", args);
    const std::optional<int> status = run.waitForExit(120s);
    errors = run.errors();
    return status.value_or(-1);
}

XWindow WineRun::startLive(const std::vector<std::string>& options, const std::string& wineDebug,
                           bool timeline) {
    std::vector<std::string> args = options;
    if (!timeline) {
        args.insert(args.begin(), "--no-timeline");
    }
    start(wineDebug, "vellomirke-live.exe", args);
    return run.waitForTitledWindow("vellomirke-live - ", 90s);
}

std::optional<int> WineRun::escape() {
    run.press({"Escape"});
    auto status = run.waitForExit();
    run.release({"Escape"});
    return status;
}

} // namespace windowstest
