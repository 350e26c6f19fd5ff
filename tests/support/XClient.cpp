#include "XClient.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <poll.h>
#include <functional>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

// Xlib's default handler exits the process on a BadWindow from a window that
// went away between listing and asking; the tests treat that as "not there".
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string windowTitle(Display* display, Window window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

// The first viewable window below `parent` whose title `matches` accepts.
std::optional<Window> search(Display* display, Window parent,
                             const std::function<bool(const std::string&)>& matches) {
    Window root, parentOut;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) {
        return std::nullopt;
    }
    std::optional<Window> found;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && matches(windowTitle(display, children[i]))) {
            found = children[i];
        } else {
            found = search(display, children[i], matches);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

} // namespace

Rgb Image::at(int x, int y) const {
    std::uint32_t p = pixels.at(static_cast<size_t>(y) * width + x);
    return {int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)};
}

XClient::XClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open display " + display);
    }
    XSetErrorHandler(ignoreXErrors);
    int errorBase = 0;
    if (!XDamageQueryExtension(display_, &damageEventBase_, &errorBase)) {
        XCloseDisplay(display_);
        throw std::runtime_error("the X server on " + display + " has no DAMAGE extension");
    }
}

XClient::~XClient() {
    XCloseDisplay(display_);
}

std::optional<XWindow> XClient::findWindow(const std::string& title) {
    return search(display_, DefaultRootWindow(display_),
                  [&](const std::string& name) { return name == title; });
}

std::optional<XWindow> XClient::waitForWindow(const std::string& title,
                                              std::chrono::milliseconds timeout, bool prefix) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto window = prefix ? search(display_, DefaultRootWindow(display_),
                                      [&](const std::string& name) {
                                          return name.compare(0, title.size(), title) == 0;
                                      })
                             : findWindow(title);
        if (window) {
            return window;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string XClient::title(XWindow window) {
    return windowTitle(display_, window);
}

unsigned XClient::keycode(const std::string& key) {
    KeySym sym = XStringToKeysym(key.c_str());
    if (sym == NoSymbol) {
        throw std::invalid_argument("unknown key " + key);
    }
    return XKeysymToKeycode(display_, sym);
}

void XClient::pressKeys(const std::vector<std::string>& keys) {
    for (const auto& key : keys) {
        XTestFakeKeyEvent(display_, keycode(key), True, CurrentTime);
    }
    XFlush(display_);
}

void XClient::releaseKeys(const std::vector<std::string>& keys) {
    for (const auto& key : keys) {
        XTestFakeKeyEvent(display_, keycode(key), False, CurrentTime);
    }
    XFlush(display_);
}

bool XClient::waitForFrames(XWindow window, int count, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    auto [width, height] = windowSize(window);
    const long frameArea = long(width) * height;
    Damage damage = XDamageCreate(display_, window, XDamageReportRawRectangles);
    XSync(display_, False);
    // A new damage object starts with the whole window reported as damaged;
    // that report is queued by now and is no frame. A frame that raced with
    // the creation goes with it: only frames from here on count.
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
    }
    long area = 0;
    int frames = 0;
    while (frames < count) {
        while (frames < count && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != damageEventBase_ + XDamageNotify) {
                continue;
            }
            const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
            if (notify.damage != damage) {
                continue;
            }
            area += long(notify.area.width) * notify.area.height;
            if (area >= frameArea) {
                ++frames;
                area = 0;
            }
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (frames >= count || left.count() <= 0) {
            break;
        }
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, int(std::min<long>(left.count(), 100)));
    }
    XDamageDestroy(display_, damage);
    XSync(display_, False);
    return frames >= count;
}

void XClient::sendCloseRequest(XWindow window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

void XClient::resizeWindow(XWindow window, int width, int height) {
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
}

void XClient::movePointer(XWindow window, int x, int y) {
    Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    XSync(display_, False);
}

void XClient::drag(XWindow window, int fromX, int toX, int y,
                   const std::vector<std::string>& held) {
    pressKeys(held);
    movePointer(window, fromX, y);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XSync(display_, False);
    // In steps, as a hand moves it, each one a motion event of its own. Xvfb
    // may hand a press over behind the moves that follow it at once; two
    // frames of a running window show that its program has read the press.
    const int steps = fromX == toX ? 0 : 8;
    if (steps > 0) {
        waitForFrames(window, 2, std::chrono::seconds(1));
    }
    for (int i = 1; i <= steps; ++i) {
        movePointer(window, fromX + (toX - fromX) * i / steps, y);
    }
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
    releaseKeys(held);
}

int XClient::visibleCursorPixels() {
    XFixesCursorImage* cursor = XFixesGetCursorImage(display_);
    if (cursor == nullptr) {
        throw std::runtime_error("the X server does not tell its cursor image (XFIXES)");
    }
    int visible = 0;
    for (size_t i = 0; i < size_t(cursor->width) * cursor->height; ++i) {
        // ARGB, alpha in the top byte, in a long per pixel.
        if ((cursor->pixels[i] >> 24) & 0xff) {
            ++visible;
        }
    }
    XFree(cursor);
    return visible;
}

std::pair<int, int> XClient::windowSize(XWindow window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    return {attributes.width, attributes.height};
}

Image XClient::capture(XWindow window) {
    auto [width, height] = windowSize(window);
    Image image;
    if (width <= 0 || height <= 0) {
        return image;
    }
    XImage* x = XGetImage(display_, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (x == nullptr) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int xx = 0; xx < width; ++xx) {
            image.pixels[static_cast<size_t>(y) * width + xx] =
                static_cast<std::uint32_t>(XGetPixel(x, xx, y)) & 0xffffff;
        }
    }
    XDestroyImage(x);
    return image;
}

} // namespace testsupport
