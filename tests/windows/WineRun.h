#pragma once

#include "AudioTestSupport.h"
#include "WinePrefix.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace windowstest {

// One X server, one Wine prefix and one unpacked zip for the whole binary:
// the prefix's desktop process stays on the display it started on.
struct WindowsPackage : ::testing::Environment {
    void SetUp() override;
    void TearDown() override;
    std::string path(const std::string& name) const { return folder() + "/" + name; }
    // The unpacked zip's folder, which holds the sample piece.
    std::string folder() const;
    std::unique_ptr<testsupport::XvfbServer> server;
    std::unique_ptr<WinePrefix> prefix;
    std::unique_ptr<testsupport::TempDir> unpacked;
};
// The binary's package, set up before its first case.
extern WindowsPackage* const package;

// The packaged program in a directory of its own, with what it plays
// recorded from the null sink's monitor.
struct WineRun : audiotest::ListenedRun {
    WineRun();

    // `wineDebug` selects Wine's traces on the program's standard error.
    void start(const std::string& wineDebug = "-all",
               const std::string& program = "vellomirke-demo.exe",
               const std::vector<std::string>& options = {});

    // vellomirke-live.exe run with `args` to its end, as runLiveCommand runs
    // the Linux program: its exit status, with its standard error in `errors`.
    int liveCommand(const std::vector<std::string>& args, std::string& errors);

    // vellomirke-live.exe with `options` started in the piece's folder, as an
    // author does; its window once the title shows the first frame. The
    // timeline is hidden unless `timeline`.
    testsupport::XWindow startLive(const std::vector<std::string>& options = {},
                                   const std::string& wineDebug = "-all", bool timeline = false);

    // Escape, held until the program has ended; its exit status.
    std::optional<int> escape();
};

} // namespace windowstest
