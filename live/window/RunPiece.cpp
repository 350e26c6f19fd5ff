// The piece in a window: start-up and the frame loop. Each job it drives
// has a file of its own beside this one.
#include "RunPiece.h"

#include "Builder.h"
#include "DemoContract.h"
#include "DemoFrame.h"
#include "FolderName.h"
#include "FrameShot.h"
#include "KeyActions.h"
#include "KeyDispatch.h"
#include "Music.h"
#include "PieceClock.h"
#include "Presenter.h"
#include "StrictCheck.h"
#include "TitleBar.h"
#include "Watcher.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

void onGlfwError(int, const char* description) {
    std::cerr << "vellomirke-live: " << description << std::endl;
}

// What the window's callbacks leave for the frame loop.
struct WindowEvents {
    std::vector<KeyAction> keys;
    bool needsPresent = false; // exposed or resized: show the kept picture again
};

WindowEvents& eventsOf(GLFWwindow* window) {
    return *static_cast<WindowEvents*>(glfwGetWindowUserPointer(window));
}

void onKey(GLFWwindow* window, int key, int, int action, int mods) {
    KeyAction wanted = keyAction(key, action, mods);
    if (wanted != KeyAction::None) {
        eventsOf(window).keys.push_back(wanted);
    }
}

void onNeedsPresent(GLFWwindow* window) {
    eventsOf(window).needsPresent = true;
}

void onFramebufferSize(GLFWwindow* window, int, int) {
    onNeedsPresent(window);
}

// GLFW 3.4 built for Wayland and X11 tries Wayland first, and libwayland
// tells standard error when it finds no Wayland session (no XDG_RUNTIME_DIR:
// over ssh -X, on a virtual X server). With an X display and no Wayland one,
// X11 is the only way anyway. Not on Windows, where Wine hands the Unix
// DISPLAY on to the program.
bool chooseX11WithoutWayland() {
#if defined(GLFW_PLATFORM_X11) && !defined(_WIN32)
    if (std::getenv("DISPLAY") != nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        glfwInitHint(GLFW_PLATFORM, GLFW_PLATFORM_X11);
    }
#endif
    return true;
}

// glfwTerminate also destroys the window and its context; everything GL is
// gone before it runs.
struct GlfwSession {
    bool started = chooseX11WithoutWayland() && glfwInit() == GLFW_TRUE;
    ~GlfwSession() {
        if (started) {
            glfwTerminate();
        }
    }
};

// "fragment.glsl:8:2: error: ..." lines, once per build.
void report(const std::vector<std::string>& problems) {
    for (const std::string& line : problems) {
        std::cerr << line << '\n';
    }
    std::cerr.flush();
}

// The window: 1280x720, or the demo's full screen on the primary monitor,
// with an OpenGL 3.3 core context; null where there is none.
GLFWwindow* openWindow(bool fullscreen) {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    if (!fullscreen) {
        return glfwCreateWindow(1280, 720, "vellomirke-live", nullptr, nullptr);
    }
    GLFWwindow* window = glfwCreateWindow(demo::width, demo::height, "vellomirke-live",
                                          glfwGetPrimaryMonitor(), nullptr);
    // Shown as the demo shows it, with no cursor over the picture: hidden,
    // not captured, so the pointer still leaves the window freely. Beside an
    // editor the window keeps it.
    if (window != nullptr) {
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    }
    return window;
}

// F12: the picture saved beside the piece, and where it went. Where the
// folder takes no file (read-only media), the shot is not put anywhere else:
// the author is told, and the piece runs on.
void saveShot(const DemoFrame& frame, const std::string& dir, double time) {
    const FrameShot shot = saveFrameShot(frame, dir, time);
    std::cerr << "vellomirke-live: "
              << (shot.failure
                      ? shot.failure->describe(shot.path) + "; the picture was not saved anywhere"
                      : "saved " + shot.path)
              << std::endl;
}

// Sleeps until an event comes (a key, an expose, a resize, or the watcher's
// wake after a save), or for `seconds` at most.
void waitForEvents(double seconds) {
    if (std::isinf(seconds)) {
        glfwWaitEvents();
    } else {
        // GLFW takes only a positive timeout.
        glfwWaitEventsTimeout(std::max(seconds, 0.001));
    }
}

} // namespace

int runPiece(const Options& options) {
    std::error_code error;
    if (!std::filesystem::is_directory(options.dir, error)) {
        std::cerr << "vellomirke-live: " << options.dir << ": not a folder\n";
        return 1;
    }

    glfwSetErrorCallback(onGlfwError);
    GlfwSession glfw;
    if (!glfw.started) {
        return 1;
    }
    // Watching starts before the first build, so that no save is missed. A
    // settled save wakes the frame loop from its wait for events; the watcher
    // is gone before glfwTerminate.
    Watcher watcher(options.dir, [] { glfwPostEmptyEvent(); });
    if (!watcher.watching()) {
        std::cerr << "vellomirke-live: cannot watch " << options.dir
                  << " for saves; Space rebuilds\n";
    }
    GLFWwindow* window = openWindow(options.fullscreen);
    if (window == nullptr) {
        std::cerr << "vellomirke-live: cannot open a window with OpenGL 3.3 core\n";
        return 1;
    }
    WindowEvents events;
    glfwSetWindowUserPointer(window, &events);
    glfwSetKeyCallback(window, onKey);
    glfwSetWindowRefreshCallback(window, onNeedsPresent);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwMakeContextCurrent(window);
    if (!gladLoadGL(glfwGetProcAddress)) {
        std::cerr << "vellomirke-live: cannot load the OpenGL entry points\n";
        return 1;
    }
    glfwSwapInterval(1);

    DemoFrame frame;
    if (!frame.complete()) {
        std::cerr << "vellomirke-live: the driver cannot draw into a 1920x1080 target\n";
        return 1;
    }
    Presenter presenter;
    Program program;
    bool failing = false;
    std::optional<PieceTexts> unchecked; // built by the driver, not yet by the strict check
    int warnings = 0;                    // the strict check's, for the title
    bool timed = false; // the program reads timeValue: its picture moves with the time
    bool drawn = false; // the frame holds the picture of this build at this time
    auto rebuild = [&] {
        BuildResult built = buildPiece(options.dir);
        report(built.problems);
        presenter.showProblems(built.problems, {});
        unchecked = std::move(built.texts);
        warnings = 0;
        failing = !built.program;
        if (built.program) {
            program = std::move(built.program);
            timed = glGetUniformLocation(program.id(), demo::timeUniform) >= 0;
        }
        drawn = false;
    };
    rebuild();

    PieceClock clock(glfwGetTime());
    TitleBar title(window, folderName(options.dir), glfwGetTime());
    // Started once the first picture is shown, as nothing of it is needed
    // before; its own thread loads and opens it while the frames go on.
    std::optional<Music> music;
    double lastTime = 0.0;
    while (!glfwWindowShouldClose(window)) {
        // A picture that stands still is drawn once; until something
        // changes, the loop sleeps, waking only to keep the title true and
        // to start the music again where the piece's time wraps.
        const bool nothingPending = events.keys.empty() && !events.needsPresent;
        if (drawn && nothingPending && (clock.paused() || !timed)) {
            const double now = glfwGetTime();
            const double untilWrap = clock.paused() ? std::numeric_limits<double>::infinity()
                                                    : PieceClock::length - clock.at(now);
            waitForEvents(std::min(title.untilChange(now, clock.paused()), untilWrap));
        } else {
            glfwPollEvents();
        }
        const double now = glfwGetTime();
        const KeyRequests asked = dispatchKeys(events.keys, clock, now);
        events.keys.clear();
        if (asked.quit) {
            glfwSetWindowShouldClose(window, GLFW_TRUE);
        }
        for (int i = 0; i < asked.rebuilds; ++i) {
            rebuild();
        }
        bool jumped = asked.jumped;
        if (watcher.saved()) {
            rebuild();
        }

        const double time = clock.at(now);
        // Running past the end starts the piece, and its music, again at 0.
        if (!clock.paused() && time < lastTime) {
            jumped = true;
        }
        if (jumped && music) {
            music->follow(time, clock.paused());
        }
        lastTime = time;

        // A jump shows the picture of the new time; a pause the picture of
        // the moment it was paused.
        const bool draw = !drawn || jumped || (timed && !clock.paused());
        if (draw) {
            frame.draw(program.id(), static_cast<float>(time));
            drawn = true;
        }
        if (asked.shotWanted) {
            saveShot(frame, options.dir, time);
        }
        if (draw || events.needsPresent) {
            events.needsPresent = false;
            int width = 0, height = 0;
            glfwGetFramebufferSize(window, &width, &height);
            presenter.present(frame, width, height, failing);
            glfwSwapBuffers(window);
            title.frameShown();
        }
        // The strict check comes after the new picture, which it never holds
        // back: a process's first check also makes glslang's symbol tables.
        if (unchecked && drawn) {
            const std::vector<std::string> found =
                strictCheck(unchecked->vertex, unchecked->fragment);
            unchecked.reset();
            report(found);
            presenter.showProblems({}, found);
            warnings = static_cast<int>(found.size());
            events.needsPresent = events.needsPresent || !found.empty();
        }
        title.setWarnings(warnings);
        title.update(now, time, clock.paused(), jumped || !music);
        if (!music) {
            music.emplace(options.dir + "/audio.mp3");
            music->follow(clock.at(glfwGetTime()), clock.paused());
        }
    }
    return 0;
}
