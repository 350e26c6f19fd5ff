#include "WinePrefix.h"

#include "RunTool.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace windowstest {

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
}

int WinePrefix::wineMajorVersion() {
    // "wine-10.0 (Debian 10.0~repack-6)"
    const std::string version = testsupport::runTool({"wine", "--version"});
    return version.rfind("wine-", 0) == 0 ? std::atoi(version.c_str() + 5) : 0;
}

} // namespace windowstest
