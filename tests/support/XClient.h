#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace testsupport {

using XWindow = unsigned long;

struct Rgb {
    int r, g, b;
};

// Pixels read back from the X server, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB

    Rgb at(int x, int y) const;
};

// A connection to an X server, used the way a person at the keyboard would:
// keys go in through XTEST, pictures come back from the server.
class XClient {
  public:
    explicit XClient(const std::string& display);
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // The first viewable top-level window whose title is `title`.
    std::optional<XWindow> findWindow(const std::string& title);
    // With `prefix`, the title need only start with `title`: for windows
    // that show changing state in it.
    std::optional<XWindow> waitForWindow(const std::string& title,
                                         std::chrono::milliseconds timeout, bool prefix = false);
    std::string title(XWindow window);

    // `key` is an X keysym name such as "Escape" or "space". The keys of one
    // call reach the server in one batch, so that one event poll reads them
    // all.
    void pressKeys(const std::vector<std::string>& keys);
    void releaseKeys(const std::vector<std::string>& keys);
    void pressKey(const std::string& key) { pressKeys({key}); }
    void releaseKey(const std::string& key) { releaseKeys({key}); }

    // Waits until `count` frames have reached `window` from now on; false at
    // the timeout. A frame is as much drawing as covers the window once, as
    // the server's damage reports count it: a buffer swap, whether it arrives
    // in one piece or in bands.
    bool waitForFrames(XWindow window, int count, std::chrono::milliseconds timeout);

    // What a window manager sends when the user closes the window:
    // WM_PROTOCOLS / WM_DELETE_WINDOW.
    void sendCloseRequest(XWindow window);

    // Resizes a window as a window manager would, without asking its owner.
    void resizeWindow(XWindow window, int width, int height);

    // Moves the pointer, as a mouse would, to (x, y) inside `window`.
    void movePointer(XWindow window, int x, int y);
    // The left button pressed at (fromX, y) inside `window`, the pointer
    // moved to (toX, y) and the button released there, with `held` keys
    // ("Shift_L") down throughout: a click where fromX is toX. A drag that
    // moves waits for two frames of `window` (a second at most) after the press.
    void drag(XWindow window, int fromX, int toX, int y, const std::vector<std::string>& held = {});
    // How many pixels of the cursor that the server shows now are not fully
    // transparent: 0 for a hidden cursor.
    int visibleCursorPixels();

    Image capture(XWindow window);
    std::pair<int, int> windowSize(XWindow window);

  private:
    unsigned keycode(const std::string& key);
    _XDisplay* display_;
    int damageEventBase_ = 0;
};

} // namespace testsupport
