#include "WinePrefix.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace windowstest {

int runToEnd(const std::vector<std::string>& argv, const Environment& environment,
             const std::string& workingDirectory, int seconds) {
    testsupport::ProcessOptions options;
    options.argv = argv;
    options.environment = environment;
    options.workingDirectory = workingDirectory;
    testsupport::ChildProcess child(options);
    auto status = child.waitForExit(std::chrono::seconds(seconds));
    if (!status) {
        throw std::runtime_error(argv.front() + " did not end within " + std::to_string(seconds) +
                                 " s");
    }
    return *status;
}

WinePrefix::WinePrefix(const std::string& display) {
    const std::string prefix = dir_.file("prefix");
    std::filesystem::create_directory(prefix);
    environment_ = {{"WINEPREFIX", prefix},
                    // No Mono or Gecko: the installers would ask for downloads.
                    {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                    {"WINEDEBUG", "-all"},
                    {"WINEARCH", std::nullopt},
                    {"DISPLAY", display}};

    // In the foreground and persistent: a child of ours that does not quit
    // between two runs.
    testsupport::ProcessOptions server;
    server.argv = {"wineserver", "--foreground", "--persistent"};
    server.environment = environment_;
    server.stderrPath = dir_.file("wineserver.log");
    server_ = std::make_unique<testsupport::ChildProcess>(server);

    testsupport::ProcessOptions boot;
    boot.argv = {"wineboot", "--init"};
    boot.environment = environment_;
    boot.stderrPath = dir_.file("wineboot.log");
    boot_ = std::make_unique<testsupport::ChildProcess>(boot);
    auto status = boot_->waitForExit(std::chrono::seconds(120));
    if (status != 0) {
        throw std::runtime_error("wineboot --init failed: " +
                                 testsupport::readFile(dir_.file("wineboot.log")));
    }
}

WinePrefix::~WinePrefix() {
    // Ends the server and with it every process of the prefix (services,
    // explorer), which live outside our process groups.
    try {
        runToEnd({"wineserver", "--kill"}, environment_, dir_.path(), 30);
    } catch (const std::exception&) {
    }
    server_->waitForExit(std::chrono::seconds(30));
}

} // namespace windowstest
