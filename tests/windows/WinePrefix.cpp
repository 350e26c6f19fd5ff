#include "WinePrefix.h"

#include "RunTool.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

namespace windowstest {

namespace {

// The processes, other than zombies, whose environment holds `variable`.
std::vector<pid_t> processesWith(const std::string& variable) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos ||
            std::stol(name) == ::getpid()) {
            continue;
        }
        std::ifstream environ(entry.path() / "environ", std::ios::binary);
        const std::string all{std::istreambuf_iterator<char>(environ), {}};
        // Entries end with a NUL; a zombie's environment reads empty.
        const std::string nul(1, '\0');
        if ((nul + all).find(nul + variable + nul) != std::string::npos) {
            found.push_back(static_cast<pid_t>(std::stol(name)));
        }
    }
    return found;
}

} // namespace

WinePrefix::WinePrefix(const std::string& display) {
    const std::string prefix = dir_.file("prefix");
    std::filesystem::create_directory(prefix);
    inPrefix_.environment = {{"WINEPREFIX", prefix},
                             // No Mono or Gecko: the installers would ask for downloads.
                             {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                             {"WINEDEBUG", "-all"},
                             {"WINEARCH", std::nullopt},
                             {"DISPLAY", display}};

    // In the foreground and persistent: a child of ours that does not quit
    // between two runs.
    testsupport::ProcessOptions server = inPrefix_;
    server.argv = {"wineserver", "--foreground", "--persistent"};
    server.stderrPath = dir_.file("wineserver.log");
    server_ = std::make_unique<testsupport::ChildProcess>(server);
    testsupport::ProcessOptions boot = inPrefix_;
    boot.argv = {"wineboot", "--init"};
    boot.stderrPath = dir_.file("wineboot.log");
    boot_ = std::make_unique<testsupport::ChildProcess>(boot);
    if (boot_->waitForExit(std::chrono::seconds(120)) != 0) {
        throw std::runtime_error("wineboot --init failed: " +
                                 testsupport::readFile(boot.stderrPath));
    }
    // Xvfb has no window manager. Wine's X11 driver would wait two seconds
    // for one each time a window closes before letting the program go on;
    // unmanaged windows close at once, as on Windows. The demo's alone:
    // around an unmanaged window that is not full screen, Wine draws a frame
    // and title bar of its own, which vellomirke-live's window would then
    // show on the X server beside its picture.
    testsupport::runTool({"wine", "reg", "add",
                          "HKCU\\Software\\Wine\\AppDefaults\\vellomirke-demo.exe\\X11 Driver",
                          "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f"},
                         std::chrono::seconds(60), inPrefix_);
}

WinePrefix::~WinePrefix() {
    // Ends the server and with it every process of the prefix (services,
    // explorer), which live outside our process groups.
    try {
        testsupport::runTool({"wineserver", "--kill"}, std::chrono::seconds(30), inPrefix_);
    } catch (const std::exception&) {
    }
    server_->waitForExit(std::chrono::seconds(30));
    // The server kills only the processes it knows. One that Wine was
    // starting at that moment (still "wine64", not yet connected) lives on,
    // and may start a server of its own for the prefix: every process that
    // runs in the prefix is ended here, until none is left.
    const std::string inThisPrefix = "WINEPREFIX=" + *inPrefix_.environment.at("WINEPREFIX");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (auto left = processesWith(inThisPrefix);
         !left.empty() && std::chrono::steady_clock::now() < deadline;
         left = processesWith(inThisPrefix)) {
        for (const pid_t pid : left) {
            ::kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

int WinePrefix::wineMajorVersion() {
    // "wine-10.0 (Debian 10.0~repack-6)"
    const std::string version = testsupport::runTool({"wine", "--version"});
    return version.rfind("wine-", 0) == 0 ? std::atoi(version.c_str() + 5) : 0;
}

} // namespace windowstest
