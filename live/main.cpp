// vellomirke-live: runs a piece in a window for its author, drawn exactly as
// the demo draws it, rebuilt on every save, with the time and the music under
// the author's control. Start-up and the frame loop; each job it drives has
// a file of its own.
#include "Builder.h"
#include "DemoContract.h"
#include "DemoFrame.h"
#include "FolderName.h"
#include "FrameShot.h"
#include "Importer.h"
#include "KeyActions.h"
#include "Music.h"
#include "Options.h"
#include "PieceClock.h"
#include "Presenter.h"
#include "Watcher.h"
#include "WebExport.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

// glfwTerminate also destroys the window and its context; everything GL is
// gone before it runs.
struct GlfwSession {
    bool started = glfwInit() == GLFW_TRUE;
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

// Shows the piece, the time and the frame rate (frames shown in the window
// per second), a few times a second and at once after a key changed the
// time. The title is first set after the first frame has been shown.
class TitleBar {
  public:
    static constexpr double period = 0.25; // seconds between updates

    TitleBar(GLFWwindow* window, std::string folder, double now)
        : window_(window), folder_(std::move(folder)), since_(now) {}

    void frameShown() { ++frames_; }

    // At once when `force`, otherwise once a period.
    void update(double now, double time, bool paused, bool force) {
        const bool due = now - since_ >= period;
        if (!force && !due) {
            return;
        }
        if (due) {
            fps_ = frames_ / (now - since_);
            frames_ = 0;
            since_ = now;
        }
        char text[512];
        std::snprintf(text, sizeof text, "vellomirke-live - %s - %5.2f s - %.0f fps%s",
                      folder_.c_str(), time, fps_, paused ? " - paused" : "");
        if (text != shown_) {
            shown_ = text;
            glfwSetWindowTitle(window_, text);
        }
    }

    // While no frames are drawn: seconds until the title next changes. A
    // running time changes it every period; a paused one only until the
    // frame rate has come down to 0.
    double untilChange(double now, bool paused) const {
        if (paused && fps_ == 0.0 && frames_ == 0) {
            return std::numeric_limits<double>::infinity();
        }
        return std::max(0.0, since_ + period - now);
    }

  private:
    GLFWwindow* window_;
    std::string folder_;
    double since_;
    int frames_ = 0;
    double fps_ = 0.0;
    std::string shown_;
};

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
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* window = options.fullscreen
                             ? glfwCreateWindow(demo::width, demo::height, "vellomirke-live",
                                                glfwGetPrimaryMonitor(), nullptr)
                             : glfwCreateWindow(1280, 720, "vellomirke-live", nullptr, nullptr);
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
    bool timed = false; // the program reads timeValue: its picture moves with the time
    bool drawn = false; // the frame holds the picture of this build at this time
    auto rebuild = [&] {
        BuildResult built = buildPiece(options.dir);
        report(built.problems);
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
    // Opened once the first picture is shown: nothing of it is needed before.
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
        bool jumped = false;
        bool shotWanted = false;
        for (KeyAction action : events.keys) {
            switch (action) {
            case KeyAction::Quit:
                glfwSetWindowShouldClose(window, GLFW_TRUE);
                break;
            case KeyAction::Rebuild:
                rebuild();
                break;
            case KeyAction::TogglePause:
                clock.togglePause(now);
                jumped = true;
                break;
            case KeyAction::SeekBack:
            case KeyAction::SeekForward:
            case KeyAction::SeekBackFar:
            case KeyAction::SeekForwardFar: {
                const bool back = action == KeyAction::SeekBack || action == KeyAction::SeekBackFar;
                const bool far =
                    action == KeyAction::SeekBackFar || action == KeyAction::SeekForwardFar;
                clock.seekBy(now, (back ? -1.0 : 1.0) * (far ? 5.0 : 1.0));
                jumped = true;
                break;
            }
            case KeyAction::Home:
                clock.seekTo(now, 0.0);
                jumped = true;
                break;
            case KeyAction::SaveShot:
                shotWanted = true;
                break;
            case KeyAction::None:
                break;
            }
        }
        events.keys.clear();
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
        if (shotWanted) {
            std::string saved = saveFrameShot(frame, options.dir, time);
            std::cerr << "vellomirke-live: "
                      << (saved.empty() ? "could not save the picture in " + options.dir
                                        : "saved " + saved)
                      << std::endl;
        }
        if (draw || events.needsPresent) {
            events.needsPresent = false;
            int width = 0, height = 0;
            glfwGetFramebufferSize(window, &width, &height);
            presenter.present(frame, width, height, failing);
            glfwSwapBuffers(window);
            title.frameShown();
        }
        title.update(now, time, clock.paused(), jumped || !music);
        if (!music) {
            music.emplace(options.dir + "/audio.mp3");
            music->follow(clock.at(glfwGetTime()), clock.paused());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    switch (options.mode) {
    case Options::Mode::Help:
        std::cout << helpText();
        return 0;
    case Options::Mode::Invalid:
        std::cerr << "vellomirke-live: " << options.error
                  << "\nTry 'vellomirke-live --help' for the options and keys.\n";
        return 2;
    case Options::Mode::Import:
        return importShader(options.importSource, options.dir, options.force);
    case Options::Mode::ExportWeb:
        return exportWeb(options.dir, options.out, options.force);
    case Options::Mode::Run:
        break;
    }
    return runPiece(options);
}
