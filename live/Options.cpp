#include "Options.h"

#include <vector>

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
    if (options.mode != Options::Mode::ExportWeb && !options.out.empty()) {
        return invalid("--out goes with --export-web");
    }
    return options;
}

const char* helpText() {
    return R"(Usage: vellomirke-live [--fullscreen] [DIR]
   or: vellomirke-live --import SRC [--force] [DIR]
   or: vellomirke-live --export-web [--out FILE] [--force] [DIR]
   or: vellomirke-live --check [DIR]

Runs the piece in DIR (default: the current folder) - vertex.glsl,
fragment.glsl and audio.mp3, the same files the demo plays - in a window,
drawn exactly as the demo draws it full screen at 1920x1080, scaled to the
window. Saving either shader file rebuilds it; problems are printed to
standard error as FILE:LINE:COLUMN: lines and shown at the foot of the
window, and the last picture that built stays on screen inside a red frame
until the files build again. A build that this machine's driver takes but
glslang, the reference GLSL compiler, would not is shown with a warning at
the line concerned (stricter drivers refuse it); the title counts them.

Options:
  --fullscreen   full screen on the primary monitor, no cursor, as in the demo
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
  --out FILE     with --export-web: the page to write (default:
                 DIR/<folder name>.html)
  --force        with --import: replace an existing fragment.glsl; with
                 --export-web: replace an existing page
  --help         this text

Keys:
  P              pause / resume the piece's time (and its music)
  Left, Right    1 s back or forward; with Shift, 5 s
  Home           back to 0 s
  Space          rebuild the shaders now
  F12            save the 1920x1080 picture as DIR/shot-<time>.png
  Escape         quit

The time runs from 0 to 30 s, the demo's length, and starts again at 0.
)";
}
