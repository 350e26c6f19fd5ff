// vellomirke-live: runs a piece in a window for its author, drawn exactly as
// the demo draws it, rebuilt on every save, with the time and the music under
// the author's control. Start-up and the frame loop; each job it drives has
// a file of its own.
#include "Builder.h"
#include "DemoFrame.h"
#include "FrameShot.h"
#include "Importer.h"
#include "KeyActions.h"
#include "Music.h"
#include "Options.h"
#include "PieceClock.h"
#include "Presenter.h"
#include "Watcher.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

void onGlfwError(int, const char* description) {
    std::cerr << "vellomirke-live: " << description << std::endl;
}

void onKey(GLFWwindow* window, int key, int, int action, int mods) {
    auto* pending = static_cast<std::vector<KeyAction>*>(glfwGetWindowUserPointer(window));
    KeyAction wanted = keyAction(key, action, mods);
    if (wanted != KeyAction::None) {
        pending->push_back(wanted);
    }
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

std::string folderName(const std::string& dir) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(dir, error);
    std::string name = (error ? std::filesystem::path(dir) : path).filename().string();
    return name.empty() ? dir : name;
}

// "fragment.glsl:8:2: error: ..." lines, once per build.
void report(const std::vector<std::string>& problems) {
    for (const std::string& line : problems) {
        std::cerr << line << '\n';
    }
    std::cerr.flush();
}

// Shows the piece, the time and the frame rate, a few times a second and at
// once after a key changed the time.
class TitleBar {
  public:
    TitleBar(GLFWwindow* window, std::string folder)
        : window_(window), folder_(std::move(folder)) {}

    void frameDrawn(double now, double time, bool paused, bool force) {
        ++frames_;
        if (!force && now - since_ < 0.25) {
            return;
        }
        if (now - since_ >= 0.25) {
            fps_ = frames_ / (now - since_);
            frames_ = 0;
            since_ = now;
        }
        char text[512];
        std::snprintf(text, sizeof text, "vellomirke-live - %s - %5.2f s - %.0f fps%s",
                      folder_.c_str(), time, fps_, paused ? " - paused" : "");
        glfwSetWindowTitle(window_, text);
    }

  private:
    GLFWwindow* window_;
    std::string folder_;
    double since_ = 0.0;
    int frames_ = 0;
    double fps_ = 0.0;
};

int runPiece(const Options& options) {
    std::error_code error;
    if (!std::filesystem::is_directory(options.dir, error)) {
        std::cerr << "vellomirke-live: " << options.dir << ": not a folder\n";
        return 1;
    }
    // Watching starts before the first build, so that no save is missed.
    Watcher watcher(options.dir);
    if (!watcher.watching()) {
        std::cerr << "vellomirke-live: cannot watch " << options.dir
                  << " for saves; Space rebuilds\n";
    }
    Music music(options.dir + "/audio.mp3");

    glfwSetErrorCallback(onGlfwError);
    GlfwSession glfw;
    if (!glfw.started) {
        return 1;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* window =
        options.fullscreen
            ? glfwCreateWindow(1920, 1080, "vellomirke-live", glfwGetPrimaryMonitor(), nullptr)
            : glfwCreateWindow(1280, 720, "vellomirke-live", nullptr, nullptr);
    if (window == nullptr) {
        std::cerr << "vellomirke-live: cannot open a window with OpenGL 3.3 core\n";
        return 1;
    }
    std::vector<KeyAction> pending;
    glfwSetWindowUserPointer(window, &pending);
    glfwSetKeyCallback(window, onKey);
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
    Program program;
    bool failing = false;
    auto rebuild = [&] {
        BuildResult built = buildPiece(options.dir);
        report(built.problems);
        failing = !built.program;
        if (built.program) {
            program = std::move(built.program);
        }
    };
    rebuild();

    TitleBar title(window, folderName(options.dir));
    PieceClock clock(glfwGetTime());
    music.follow(0.0, false);
    double lastTime = 0.0;
    while (!glfwWindowShouldClose(window)) {
        glfwPollEvents();
        const double now = glfwGetTime();
        bool jumped = false;
        bool shotWanted = false;
        for (KeyAction action : pending) {
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
        pending.clear();
        if (watcher.saved()) {
            rebuild();
        }

        const double time = clock.at(now);
        // Running past the end starts the piece, and its music, again at 0.
        if (!clock.paused() && time < lastTime) {
            jumped = true;
        }
        if (jumped) {
            music.follow(time, clock.paused());
        }
        lastTime = time;

        frame.draw(program.id(), static_cast<float>(time));
        if (shotWanted) {
            std::string saved = saveFrameShot(frame, options.dir, time);
            std::cerr << "vellomirke-live: "
                      << (saved.empty() ? "could not save the picture in " + options.dir
                                        : "saved " + saved)
                      << std::endl;
        }
        int width = 0, height = 0;
        glfwGetFramebufferSize(window, &width, &height);
        presentFrame(frame.framebuffer(), DemoFrame::width, DemoFrame::height, width, height,
                     failing);
        glfwSwapBuffers(window);
        title.frameDrawn(now, time, clock.paused(), jumped);
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
    case Options::Mode::Run:
        break;
    }
    return runPiece(options);
}
