#pragma once

#include <optional>
#include <string>

// What the command line asks for.
struct Options {
    enum class Mode { Run, Import, ExportWeb, Check, Help, Invalid };
    Mode mode = Mode::Run;
    std::string dir = ".";
    std::string importSource;
    std::string out; // --out: the page that --export-web writes
    bool fullscreen = false;
    bool timeline = true; // --no-timeline: the strip hidden until T
    bool force = false;
    // --bpm N[@T] and --beats-per-bar N: the soundtrack's tempo and first
    // downbeat given by hand, over what the analysis finds.
    std::optional<double> bpm;
    double firstDownbeat = 0.0;
    int beatsPerBar = 4;
    std::string error; // for Mode::Invalid: what was wrong
};

Options parseOptions(int argc, const char* const* argv);

// The --help text: the options and the keys.
const char* helpText();
