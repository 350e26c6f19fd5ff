#pragma once

#include "ChildProcess.h"
#include "TempDir.h"
#include "XClient.h"
#include "XvfbServer.h"
#include "DemoContract.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

using namespace std::chrono_literals;

using Environment = std::map<std::string, std::optional<std::string>>;

// The demo binary under test.
std::string demoBinary();

// One run of the demo in a test: a private X server, a fresh folder for the
// piece, the process with its standard output and error in files beside the
// piece, and an X connection that presses keys and reads pixels as a person
// at the screen would. Everything it started ends with it.
//
// Waits take generous deadlines: only a broken program reaches them.
class DemoRun {
  public:
    struct Screen {
        std::string geometry = "1920x1080x24";
        std::vector<std::string> serverArgs; // {"-extension", "GLX"}, say
        bool none = false;                   // no X server, DISPLAY unset
    };

    DemoRun();
    explicit DemoRun(Screen screen);
    // On an X server that is already running at `display`, which the run
    // leaves running.
    explicit DemoRun(const std::string& display);

    const TempDir& dir() const { return dir_; }
    // The test data's `vertex` and `fragment` as the piece's shaders.
    void useShaders(const std::string& fragment, const std::string& vertex = "vertex.glsl");
    // What the demo finds in its environment: DISPLAY and SDL's dummy audio
    // driver unless changed here before start().
    Environment& environment() { return environment_; }

    // Starts `command` (the demo under test when empty: a packaged build or
    // the Windows one through Wine otherwise) in the piece's folder.
    void start(std::vector<std::string> command = {});
    // start(), then waitForFirstFrame().
    void startAndShow(std::vector<std::string> command = {});

    // The demo's window once it shows frames: the start-up shader build,
    // with its messages, comes before the first. Throws at the deadline.
    XWindow waitForFirstFrame(std::chrono::milliseconds timeout = 60s,
                              const std::string& title = demo::title);
    // As above for a window whose title only starts with `titlePrefix`:
    // one that shows changing state in its title.
    XWindow waitForFirstFrameOfPrefix(const std::string& titlePrefix,
                                      std::chrono::milliseconds timeout = 60s);
    // The window once its title starts with `titlePrefix`: for a program
    // that titles its window after its first frame has been shown, and that
    // may show no later frame, its picture standing still.
    XWindow waitForTitledWindow(const std::string& titlePrefix,
                                std::chrono::milliseconds timeout = 60s);
    // Waits for `count` more frames to reach the window; throws at the deadline.
    void waitForFrames(int count, std::chrono::milliseconds timeout = 60s);

    XClient& x();
    XWindow window() const { return window_; }
    const std::string& display() const;
    ChildProcess& process() { return *process_; }

    // Keys go down (and up) together in one batch.
    void press(const std::vector<std::string>& keys) { x().pressKeys(keys); }
    void release(const std::vector<std::string>& keys) { x().releaseKeys(keys); }
    // Down for `frames` frames, then up.
    void hold(const std::vector<std::string>& keys, int frames = 2);

    // Moves the pointer across the window as a mouse would and lets the
    // program draw a few frames (each polls its events, so it has seen the
    // motion); then how many pixels of the cursor shown there are visible,
    // 0 for a hidden one. A real motion matters: some systems (Wine) set a
    // window's cursor only when the pointer moves over it.
    int visibleCursorAfterPointerMoves();

    Image picture() { return x().capture(window_); }
    // Captures until `accept` holds; returns the last picture either way.
    Image waitForPicture(const std::function<bool(const Image&)>& accept,
                         std::chrono::milliseconds timeout = 30s);

    std::string output() const { return readFile(dir_.file(".demo-stdout")); }
    std::string errors() const { return readFile(dir_.file(".demo-stderr")); }
    // Reads standard output until `done` holds; returns it either way.
    std::string waitForOutput(const std::function<bool(const std::string&)>& done,
                              std::chrono::milliseconds timeout = 30s);

    // The exit status, or nothing if it still runs at the deadline.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = 60s);
    // Asks the window to close, as a window manager does, and waits for the
    // exit: its status, or -1000 if it still runs at the deadline.
    int close(std::chrono::milliseconds timeout = 60s);

  private:
    XWindow firstFrame(const std::string& title, bool prefix, std::chrono::milliseconds timeout);

    std::unique_ptr<XvfbServer> server_;
    std::string display_;
    TempDir dir_;
    Environment environment_;
    std::unique_ptr<ChildProcess> process_;
    std::unique_ptr<XClient> x_;
    XWindow window_ = 0;
};

// Polls `done` until it holds or `timeout` has passed; returns whether it held.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 30s);

} // namespace testsupport
