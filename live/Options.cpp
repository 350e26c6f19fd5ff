#include "Options.h"

#include "DemoContract.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// A number that is all of `text`, and finite; none otherwise.
std::optional<double> number(const std::string& text) {
    if (text.empty() || text.find_first_of(" \t\n") != std::string::npos) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The slowest and fastest tempi that a piece of music is given.
constexpr double slowestBpm = 20.0, fastestBpm = 400.0;

} // namespace

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    auto invalid = [&](const std::string& why) {
        options.mode = Options::Mode::Invalid;
        options.error = why;
        return options;
    };
    // The commands beside running the piece, one at most (given again, the
    // same command is still one); false when it is a second one.
    std::string commandGiven;
    bool tempoGiven = false; // --bpm or --beats-per-bar
    auto command = [&](Options::Mode mode, const std::string& arg) {
        if (!commandGiven.empty() && options.mode != mode) {
            invalid(commandGiven + " and " + arg + " are two commands; give one");
            return false;
        }
        commandGiven = arg;
        options.mode = mode;
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.mode = Options::Mode::Help;
            return options;
        } else if (arg == "--fullscreen") {
            options.fullscreen = true;
        } else if (arg == "--no-timeline") {
            options.timeline = false;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg == "--import") {
            if (i + 1 >= argc) {
                return invalid("--import needs the shader file to import");
            }
            if (!command(Options::Mode::Import, arg)) {
                return options;
            }
            options.importSource = argv[++i];
        } else if (arg == "--export-web" || arg == "--check") {
            if (!command(arg == "--check" ? Options::Mode::Check : Options::Mode::ExportWeb, arg)) {
                return options;
            }
        } else if (arg == "--bpm") {
            tempoGiven = true;
            if (i + 1 >= argc) {
                return invalid("--bpm needs the tempo in beats a minute, N or N@T");
            }
            const std::string given = argv[++i];
            const std::size_t at = given.find('@');
            const std::optional<double> bpm = number(given.substr(0, at));
            if (!bpm || *bpm < slowestBpm || *bpm > fastestBpm) {
                return invalid("--bpm takes a tempo from 20 to 400 beats a minute, not '" + given +
                               "'");
            }
            options.bpm = bpm;
            if (at != std::string::npos) {
                const std::optional<double> downbeat = number(given.substr(at + 1));
                if (!downbeat || *downbeat < 0.0 || *downbeat >= demo::lengthSeconds) {
                    return invalid("the first downbeat after --bpm's @ is a time from 0 to 30 s, "
                                   "not '" +
                                   given.substr(at + 1) + "'");
                }
                options.firstDownbeat = *downbeat;
            }
        } else if (arg == "--beats-per-bar") {
            tempoGiven = true;
            const std::optional<double> beats = i + 1 < argc ? number(argv[i + 1]) : std::nullopt;
            if (!beats || *beats < 1 || *beats > 32 || *beats != std::floor(*beats)) {
                return invalid("--beats-per-bar takes a whole number from 1 to 32");
            }
            options.beatsPerBar = static_cast<int>(*beats);
            ++i;
        } else if (arg == "--out") {
            if (i + 1 >= argc) {
                return invalid("--out needs the file to write");
            }
            options.out = argv[++i];
            if (options.out.empty()) {
                return invalid("the name given to --out is empty");
            }
        } else {
            return invalid("unknown option '" + arg + "'");
        }
    }
    if (operands.size() > 1) {
        return invalid("one folder at most, not '" + operands[0] + "' and '" + operands[1] + "'");
    }
    if (!operands.empty()) {
        // An empty name would put the piece's files at the root: "/vertex.glsl".
        if (operands[0].empty()) {
            return invalid("the folder's name is empty");
        }
        options.dir = operands[0];
    }
    if (options.mode == Options::Mode::Import && options.fullscreen) {
        return invalid("--fullscreen is for running a piece, not for --import");
    }
    if (options.mode == Options::Mode::ExportWeb && options.fullscreen) {
        return invalid("--fullscreen is for running a piece, not for --export-web");
    }
    if (options.mode == Options::Mode::Check && options.fullscreen) {
        return invalid("--fullscreen is for running a piece, not for --check");
    }
    if ((options.mode == Options::Mode::Run || options.mode == Options::Mode::Check) &&
        options.force) {
        return invalid("--force goes with --import or --export-web");
    }
    if (options.mode != Options::Mode::Run && !options.timeline) {
        return invalid("--no-timeline is for running a piece");
    }
    if (tempoGiven && options.mode != Options::Mode::Run && options.mode != Options::Mode::Check) {
        return invalid("--bpm and --beats-per-bar are for running a piece or --check");
    }
    if (options.mode != Options::Mode::ExportWeb && !options.out.empty()) {
        return invalid("--out goes with --export-web");
    }
    return options;
}

const char* helpText() {
    return R"(Usage: vellomirke-live [--fullscreen] [--no-timeline] [--bpm N[@T]]
                       [--beats-per-bar N] [DIR]
   or: vellomirke-live --import SRC [--force] [DIR]
   or: vellomirke-live --export-web [--out FILE] [--force] [DIR]
   or: vellomirke-live --check [--bpm N[@T]] [--beats-per-bar N] [DIR]

Runs the piece in DIR (default: the current folder) - vertex.glsl,
fragment.glsl and audio.mp3, the same files the demo plays - in a window,
drawn exactly as the demo draws it full screen at 1920x1080, scaled to the
window. Saving either shader file rebuilds it; problems are printed to
standard error as FILE:LINE:COLUMN: lines and shown at the foot of the
window, and the last picture that built stays on screen inside a red frame
until the files build again. A build that this machine's driver takes but
glslang, the reference GLSL compiler, would not is shown with a warning at
the line concerned (stricter drivers refuse it); the title counts them.

Along the foot of the window runs the timeline: audio.mp3's loudness over
the piece's 30 s, the seconds, the bars and beats of its tempo, the loop,
the marks and the playhead. The tempo and the first downbeat are found in
the soundtrack itself (or given with --bpm); the title shows the bar and
beat with the time. Click on the strip to go to a time; drag to scrub the
picture (the music plays from where the button is let go); drag with Shift
to loop a section. Nothing of it is drawn into the picture, F12's shots,
the capture, the page or the demo.

Options:
  --fullscreen   full screen on the primary monitor, no cursor, as in the demo
  --no-timeline  start with the timeline hidden (T shows it)
  --import SRC   turn SRC, a shader written around mainImage() for online
                 shader sites, into DIR/fragment.glsl (and add the sample
                 vertex.glsl if DIR has none), making DIR if need be; gives
                 iTime, iGlobalTime, iResolution, iFrame, iTimeDelta,
                 iFrameRate and iSampleRate from the demo's time, size and
                 rates, keeps a mainVR; refuses shaders that use what a
                 piece has no counterpart for (iChannel0-3, iChannelTime,
                 iChannelResolution, iMouse, iDate, iKeyboard, mainSound,
                 mainCubemap), and writes nothing that would not build,
                 naming its problems as SRC:LINE: lines
  --export-web   write the piece in DIR as one web page that plays it in any
                 browser with WebGL2, shaders and audio.mp3 inside; refuses
                 a piece that GLSL ES 3.00 (WebGL2's) would not build, with
                 its problems as FILE:LINE: lines
  --check        look the piece in DIR over without a window or a display:
                 both shaders built as GLSL 3.30 core and as GLSL ES 3.00
                 (the page), the inputs the demo gives them, audio.mp3; one
                 line a point, FILE:LINE: where there is one; exit status 0
                 when nothing would stop the piece, 1 otherwise
  --bpm N[@T]    the soundtrack's tempo, N beats a minute (20 to 400), with
                 its first downbeat at T seconds (default 0), over what
                 the analysis finds; --check says both
  --beats-per-bar N
                 beats in a bar, 1 to 32 (default 4)
  --out FILE     with --export-web: the page to write (default:
                 DIR/<folder name>.html)
  --force        with --import: replace an existing fragment.glsl; with
                 --export-web: replace an existing page
  --help         this text

Keys:
  P              pause / resume the piece's time (and its music)
  Left, Right    1 s back or forward; with Shift, 5 s
  Home           back to 0 s
  [, ]           the previous or next beat; with Shift, bar (without a
                 tempo, 1 s)
  comma, period  one frame (1/60 s) back or forward, pausing there
  L              loop the bar under the playhead (without a tempo, the
                 second), or end the loop; a move out of the loop ends it
  M              mark the time on the nearest sixteenth note, and print a
                 line of GLSL for it (also put on the clipboard):
                 const float mark1 = 12.375; // bar 7, beat 3
                 with Shift, the time as it is
  T              show or hide the timeline (hidden with --fullscreen until T)
  Space          rebuild the shaders now
  F12            save the 1920x1080 picture as DIR/shot-<time>.png
  Escape         quit

The time runs from 0 to 30 s, the demo's length, and starts again at 0.
)";
}
