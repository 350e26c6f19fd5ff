#pragma once

#include <string>

// What the command line asks for.
struct Options {
    enum class Mode { Run, Import, ExportWeb, Check, Help, Invalid };
    Mode mode = Mode::Run;
    std::string dir = ".";
    std::string importSource;
    std::string out; // --out: the page that --export-web writes
    bool fullscreen = false;
    bool force = false;
    std::string error; // for Mode::Invalid: what was wrong
};

Options parseOptions(int argc, const char* const* argv);

// The --help text: the options and the keys.
const char* helpText();
