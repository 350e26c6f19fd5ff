#include "LiveProcess.h"

#include <cstdio>
#include <stdexcept>

using namespace testsupport;

LiveProcess::LiveProcess(const std::string& display, const TempDir& dir,
                         std::map<std::string, std::optional<std::string>> environment)
    : stdoutPath_(dir.file(".live-stdout")), stderrPath_(dir.file(".live-stderr")) {
    environment.emplace("DISPLAY", display);
    environment.emplace("SDL_AUDIODRIVER", "dummy");
    ProcessOptions options;
    options.argv = {VELLOMIRKE_LIVE_BINARY, dir.path()};
    options.environment = environment;
    options.stdoutPath = stdoutPath_;
    options.stderrPath = stderrPath_;
    process_ = std::make_unique<ChildProcess>(options);
}

XWindow LiveProcess::waitForWindow(XClient& x) {
    auto window = x.waitForWindow("vellomirke-live", std::chrono::seconds(30), true);
    if (!window) {
        throw std::runtime_error("vellomirke-live's window did not appear; stderr: " + errors());
    }
    return *window;
}

int runLiveCommand(const std::vector<std::string>& args, const TempDir& scratch,
                   std::string& errors) {
    ProcessOptions options;
    options.argv = {VELLOMIRKE_LIVE_BINARY};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    options.stdoutPath = scratch.file(".command-stdout");
    options.stderrPath = scratch.file(".command-stderr");
    ChildProcess process(options);
    auto status = process.waitForExit(std::chrono::seconds(30));
    errors = readFile(options.stderrPath);
    return status.value_or(-1);
}

void saveByRename(const TempDir& dir, const std::string& name, const std::string& content) {
    dir.write(name + ".saving", content);
    if (std::rename(dir.file(name + ".saving").c_str(), dir.file(name).c_str()) != 0) {
        throw std::runtime_error("cannot rename into " + dir.file(name));
    }
}
