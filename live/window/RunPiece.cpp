// The piece in a window: start-up and the frame loop. Each job it drives
// has a file of its own beside this one.
#include "RunPiece.h"

#include "Builder.h"
#include "DemoContract.h"
#include "DemoFrame.h"
#include "FolderName.h"
#include "FrameShot.h"
#include "KeyDispatch.h"
#include "Music.h"
#include "PieceClock.h"
#include "Presenter.h"
#include "SoundtrackAnalysis.h"
#include "StrictCheck.h"
#include "StripPointer.h"
#include "Timeline.h"
#include "TitleBar.h"
#include "Watcher.h"
#include "WindowEvents.h"

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

// GLFW 3.4 built for Wayland and X11 tries Wayland first, and libwayland
// tells standard error when it finds no Wayland session (no XDG_RUNTIME_DIR:
// over ssh -X, on a virtual X server). With an X display and no Wayland one,
// X11 is the only way anyway. Not on Windows, where Wine hands the Unix
// DISPLAY on to the program.
void chooseX11WithoutWayland() {
#if defined(GLFW_PLATFORM_X11) && !defined(_WIN32)
    if (std::getenv("DISPLAY") != nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        glfwInitHint(GLFW_PLATFORM, GLFW_PLATFORM_X11);
    }
#endif
}

// glfwTerminate also destroys the window and its context; everything GL is
// gone before it runs.
struct GlfwSession {
    GlfwSession() {
        chooseX11WithoutWayland();
        started = glfwInit() == GLFW_TRUE;
    }
    GlfwSession(const GlfwSession&) = delete;
    GlfwSession& operator=(const GlfwSession&) = delete;
    bool started = false;
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

// Says so where `dir` is no folder.
bool isFolder(const std::string& dir) {
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) {
        std::cerr << "vellomirke-live: " << dir << ": not a folder\n";
        return false;
    }
    return true;
}

void tellIfUnwatched(const Watcher& watcher, const std::string& dir) {
    if (!watcher.watching()) {
        std::cerr << "vellomirke-live: cannot watch " << dir << " for saves; Space rebuilds\n";
    }
}

// The window, its callbacks leaving `events` for the frame loop, and its
// context current with the OpenGL entry points loaded; null, once the author
// has been told why, where there is none. A window opened without the entry
// points goes with glfwTerminate.
GLFWwindow* openLiveWindow(bool fullscreen, WindowEvents& events) {
    GLFWwindow* window = openWindow(fullscreen);
    if (window == nullptr) {
        std::cerr << "vellomirke-live: cannot open a window with OpenGL 3.3 core\n";
        return nullptr;
    }
    listenTo(window, events);
    glfwMakeContextCurrent(window);
    if (!gladLoadGL(glfwGetProcAddress)) {
        std::cerr << "vellomirke-live: cannot load the OpenGL entry points\n";
        return nullptr;
    }
    glfwSwapInterval(1);
    return window;
}

// Over a picture that stands still, the playhead moves in steps this long
// rather than every frame: a present of the whole window costs some 15 ms of
// a software renderer, and such a piece should cost next to nothing.
constexpr double playheadPeriod = 0.5; // seconds

bool canDrawInto(const DemoFrame& frame) {
    if (!frame.complete()) {
        std::cerr << "vellomirke-live: the driver cannot draw into a 1920x1080 target\n";
        return false;
    }
    return true;
}

// The piece's latest build, and how far the frame loop has taken it. The
// first build is made with the value, before the piece's clock starts.
struct LatestBuild {
    LatestBuild(const std::string& dir, Presenter& presenter) : dir(dir), presenter(presenter) {
        rebuild();
    }

    // On Space or a save: the piece built again, its problems told and shown.
    // A build that fails keeps the last program that built.
    void rebuild();

    const std::string& dir;
    Presenter& presenter;
    Program program;
    bool failing = false;
    std::optional<PieceTexts> unchecked; // built by the driver, not yet by the strict check
    int warnings = 0;                    // the strict check's, for the title
    bool timed = false; // the program reads timeValue: its picture moves with the time
    bool drawn = false; // the frame holds the picture of this build at this time
};

void LatestBuild::rebuild() {
    BuildResult built = buildPiece(dir);
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
}

// The piece running in its window, one frame at a time. Needs the context
// current for its whole life. Its members go in the reverse of the order
// they are made in: the music first, then the GL objects, while the context
// is still there.
class LivePiece {
  public:
    LivePiece(const Options& options, GLFWwindow* window, Watcher& watcher, WindowEvents& events,
              DemoFrame& frame)
        : dir_(options.dir), window_(window), watcher_(watcher), events_(events), frame_(frame),
          build_(dir_, presenter_), clock_(glfwGetTime()),
          timeline_(givenGrid(options), options.beatsPerBar,
                    options.timeline && !options.fullscreen),
          title_(window, folderName(dir_), glfwGetTime()) {}

    // One pass of the frame loop: the events, the keys and saves, then the
    // picture, the strict check and the title.
    void runFrame();

  private:
    void waitOrPoll();
    KeyRequests handleKeys(double now);
    bool handlePointer(double now);
    void takeAnalysis();
    void rebuildOnSave();
    bool followTime(double time, bool jumped);
    bool drawPicture(double time, bool jumped);
    void present(double time);
    void checkStrictly();
    void updateTitle(double now, double time, bool jumped);
    void startMusic();
    bool playheadDue(double now, double time) const;

    static std::optional<BeatGrid> givenGrid(const Options& options);

    const std::string& dir_;
    GLFWwindow* window_;
    Watcher& watcher_;
    WindowEvents& events_;
    DemoFrame& frame_;
    Presenter presenter_; // made before the first build, which shows its problems
    LatestBuild build_;
    PieceClock clock_;
    Timeline timeline_;
    StripPointer pointer_;
    TitleBar title_;
    // Started once the first picture is shown, as nothing of them is needed
    // before; their own threads load, open and analyse the track while the
    // frames go on.
    std::optional<Music> music_;
    std::optional<BackgroundAnalysis> analysis_;
    double lastTime_ = 0.0;
    double presentedTime_ = -1.0; // the playhead's time on the strip last shown
    double presentedAt_ = 0.0;    // when it was shown
};

std::optional<BeatGrid> LivePiece::givenGrid(const Options& options) {
    if (!options.bpm) {
        return std::nullopt;
    }
    return BeatGrid{*options.bpm, options.firstDownbeat, options.beatsPerBar};
}

void LivePiece::runFrame() {
    waitOrPoll();
    const double now = glfwGetTime();
    const KeyRequests asked = handleKeys(now);
    const bool moved = handlePointer(now);
    takeAnalysis();
    rebuildOnSave();

    const double time = clock_.at(now);
    const bool jumped = followTime(time, asked.jumped || moved);
    const bool draw = drawPicture(time, jumped);
    if (asked.shotWanted) {
        saveShot(frame_, dir_, time);
    }
    if (draw || events_.needsPresent || asked.stripChanged || playheadDue(now, time)) {
        present(time);
    }
    checkStrictly();
    updateTitle(now, time, jumped);
    startMusic();
}

// A picture that stands still is drawn once; until something changes, the
// loop sleeps, waking only to keep the title true, to start the music again
// where the piece's time wraps, and, while the time runs, to move the
// strip's playhead a few times a second.
void LivePiece::waitOrPoll() {
    const bool nothingPending =
        events_.keys.empty() && events_.pointer.empty() && !events_.needsPresent;
    if (build_.drawn && nothingPending && (clock_.paused() || !build_.timed)) {
        const double now = glfwGetTime();
        const double playhead = timeline_.shown() && !clock_.paused()
                                    ? presentedAt_ + playheadPeriod - now
                                    : std::numeric_limits<double>::infinity();
        waitForEvents(
            std::min({title_.untilChange(now, clock_.paused()), clock_.untilWrap(now), playhead}));
    } else {
        glfwPollEvents();
    }
}

// The keys since the last frame, applied to the clock at `now`. A quit
// closes the window once this frame is through; each Space builds again.
KeyRequests LivePiece::handleKeys(double now) {
    const KeyRequests asked = dispatchKeys(events_.keys, clock_, timeline_, now);
    events_.keys.clear();
    if (asked.quit) {
        glfwSetWindowShouldClose(window_, GLFW_TRUE);
    }
    // A mark's line goes to standard output, where it can be taken from a
    // terminal, and to the clipboard, to be pasted into the piece at once.
    for (const std::string& line : asked.marks) {
        std::cout << line << std::endl;
        glfwSetClipboardString(window_, line.c_str());
    }
    for (int i = 0; i < asked.rebuilds; ++i) {
        build_.rebuild();
    }
    return asked;
}

// The mouse on the strip, where it is shown. Returns whether the piece's
// time was moved.
bool LivePiece::handlePointer(double now) {
    std::vector<PointerEvent> events = std::move(events_.pointer);
    events_.pointer.clear();
    if (events.empty() || (!timeline_.shown() && !pointer_.dragging())) {
        return false;
    }
    // The pointer comes in window pixels, the strip is laid out in the
    // framebuffer's; they differ on a display that scales.
    int width = 0, height = 0, windowWidth = 0, windowHeight = 0;
    glfwGetFramebufferSize(window_, &width, &height);
    glfwGetWindowSize(window_, &windowWidth, &windowHeight);
    const double sx = windowWidth > 0 ? double(width) / windowWidth : 1.0;
    const double sy = windowHeight > 0 ? double(height) / windowHeight : 1.0;
    const StripLayout strip = StripLayout::forWindow(width, height);
    bool moved = false;
    for (const PointerEvent& event : events) {
        switch (event.kind) {
        case PointerEvent::Kind::Press:
            moved = pointer_.press(clock_, strip, now, event.x * sx, event.y * sy, event.shift) ||
                    moved;
            break;
        case PointerEvent::Kind::Move:
            moved = pointer_.move(clock_, strip, now, event.x * sx) || moved;
            break;
        case PointerEvent::Kind::Release:
            moved = pointer_.release(clock_, strip, now, event.x * sx) || moved;
            break;
        }
    }
    return moved;
}

void LivePiece::takeAnalysis() {
    if (!analysis_) {
        return;
    }
    if (std::optional<SoundtrackView> view = analysis_->take()) {
        timeline_.setSoundtrack(std::move(*view));
        events_.needsPresent = true;
    }
}

// Over a picture that stands still, whether the strip's playhead is due to
// move (a moving picture takes it along with every frame).
bool LivePiece::playheadDue(double now, double time) const {
    return timeline_.shown() && time != presentedTime_ &&
           now - presentedAt_ >= playheadPeriod - 1e-3;
}

void LivePiece::rebuildOnSave() {
    if (watcher_.saved()) {
        build_.rebuild();
    }
}

// Running past the end starts the piece, and its music, again at 0. Returns
// whether the time jumped this frame, by a key or by the wrap.
bool LivePiece::followTime(double time, bool jumped) {
    if (!clock_.paused() && time < lastTime_) {
        jumped = true;
    }
    // While a scrub goes on, the music waits for the button's release.
    if (jumped && music_) {
        music_->follow(time, clock_.paused() || pointer_.dragging());
    }
    lastTime_ = time;
    return jumped;
}

// A jump shows the picture of the new time; a pause the picture of the
// moment it was paused. Returns whether the frame was drawn.
bool LivePiece::drawPicture(double time, bool jumped) {
    const bool draw = !build_.drawn || jumped || (build_.timed && !clock_.paused());
    if (draw) {
        frame_.draw(build_.program.id(), static_cast<float>(time));
        build_.drawn = true;
    }
    return draw;
}

void LivePiece::present(double time) {
    events_.needsPresent = false;
    int width = 0, height = 0;
    glfwGetFramebufferSize(window_, &width, &height);
    const Presenter::StripScene strip{timeline_, clock_.loop(), time};
    presenter_.present(frame_, width, height, build_.failing, timeline_.shown() ? &strip : nullptr);
    presentedTime_ = time;
    presentedAt_ = glfwGetTime();
    glfwSwapBuffers(window_);
    title_.frameShown();
}

// The strict check comes after the new picture, which it never holds back:
// a process's first check also makes glslang's symbol tables.
void LivePiece::checkStrictly() {
    if (!build_.unchecked || !build_.drawn) {
        return;
    }
    const std::vector<std::string> found =
        strictCheck(build_.unchecked->vertex, build_.unchecked->fragment);
    build_.unchecked.reset();
    report(found);
    presenter_.showProblems({}, found);
    build_.warnings = static_cast<int>(found.size());
    events_.needsPresent = events_.needsPresent || !found.empty();
}

void LivePiece::updateTitle(double now, double time, bool jumped) {
    title_.setWarnings(build_.warnings);
    title_.update(now, time, timeline_.titleText(time), clock_.loop(), clock_.paused(),
                  jumped || !music_);
}

void LivePiece::startMusic() {
    if (!music_) {
        music_.emplace(dir_ + "/audio.mp3");
        music_->follow(clock_.at(glfwGetTime()), clock_.paused());
        analysis_.emplace(dir_ + "/audio.mp3", timeline_.beatsPerBar(),
                          [] { glfwPostEmptyEvent(); });
    }
}

} // namespace

int runPiece(const Options& options) {
    if (!isFolder(options.dir)) {
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
    tellIfUnwatched(watcher, options.dir);
    WindowEvents events;
    GLFWwindow* window = openLiveWindow(options.fullscreen, events);
    if (window == nullptr) {
        return 1;
    }
    DemoFrame frame;
    if (!canDrawInto(frame)) {
        return 1;
    }
    LivePiece piece(options, window, watcher, events, frame);
    while (!glfwWindowShouldClose(window)) {
        piece.runFrame();
    }
    return 0;
}
