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
            options.mode = Options::Mode::Import;
            options.importSource = argv[++i];
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
    if (options.mode == Options::Mode::Run && options.force) {
        return invalid("--force goes with --import");
    }
    return options;
}

const char* helpText() {
    return R"(Usage: vellomirke-live [--fullscreen] [DIR]
   or: vellomirke-live --import SRC [--force] [DIR]

Runs the piece in DIR (default: the current folder) - vertex.glsl,
fragment.glsl and audio.mp3, the same files the demo plays - in a window,
drawn exactly as the demo draws it full screen at 1920x1080, scaled to the
window. Saving either shader file rebuilds it; problems are printed to
standard error as FILE:LINE:COLUMN: lines, and the last picture that built
stays on screen inside a red frame until the files build again.

Options:
  --fullscreen   full screen on the primary monitor, as the demo runs
  --import SRC   turn SRC, a shader written around mainImage() for online
                 shader sites, into DIR/fragment.glsl (and add the sample
                 vertex.glsl if DIR has none); refuses shaders that use what
                 a piece has no counterpart for (textures, mouse, date...)
  --force        with --import: replace an existing fragment.glsl
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
