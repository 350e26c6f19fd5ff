// vellomirke-live's option parser on any argument vector: it either gives
// something to do, with every argument accounted for, or says what is wrong
// (which the program prints with status 2).
//
// Input: the arguments after the program's name, NUL-separated; the empty
// input is no arguments.
#include "Options.h"
#include "Property.h"

#include <algorithm>

using namespace fuzzing;

namespace {

// The arguments by their place on the command line: options, the files
// given to --import and --out, the values given to --bpm and
// --beats-per-bar, and operands (anything after "--", "-", or not starting
// with "-").
struct Reading {
    std::vector<std::string> options, importFiles, outFiles, tempi, operands;

    explicit Reading(const std::vector<std::string>& args) {
        bool ended = false;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (ended || arg.size() < 2 || arg[0] != '-') {
                operands.push_back(arg);
            } else if (arg == "--") {
                ended = true;
            } else if (arg == "--import" || arg == "--out") {
                if (i + 1 < args.size()) {
                    (arg == "--out" ? outFiles : importFiles).push_back(args[++i]);
                }
            } else if (arg == "--bpm" || arg == "--beats-per-bar") {
                if (i + 1 < args.size()) {
                    tempi.push_back(args[++i]);
                }
            } else {
                options.push_back(arg);
            }
        }
    }

    bool has(const std::string& option) const {
        return std::find(options.begin(), options.end(), option) != options.end();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args =
        size == 0 ? std::vector<std::string>{} : fields(text(data, size));
    std::vector<const char*> argv{"vellomirke-live"};
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    argv.push_back(nullptr);
    const Options options = parseOptions(static_cast<int>(argv.size() - 1), argv.data());
    const Reading reading(args);

    PROPERTY((options.mode == Options::Mode::Invalid) == !options.error.empty());
    if (options.mode == Options::Mode::Help) {
        PROPERTY(reading.has("--help") || reading.has("-h"));
    }
    if (options.mode == Options::Mode::Help || options.mode == Options::Mode::Invalid) {
        return 0;
    }
    PROPERTY(!reading.has("--help") && !reading.has("-h"));
    for (const std::string& option : reading.options) {
        PROPERTY(option == "--fullscreen" || option == "--force" || option == "--export-web" ||
                 option == "--check" || option == "--no-timeline");
    }
    // A tempo only within what music has, and only where there is a timeline
    // or a check to take it.
    if (options.bpm) {
        PROPERTY(*options.bpm >= 20.0 && *options.bpm <= 400.0);
    }
    PROPERTY(options.firstDownbeat >= 0.0 && options.firstDownbeat < 30.0);
    PROPERTY(options.beatsPerBar >= 1 && options.beatsPerBar <= 32);
    PROPERTY(reading.tempi.empty() || options.mode == Options::Mode::Run ||
             options.mode == Options::Mode::Check);
    PROPERTY(options.timeline == !reading.has("--no-timeline"));
    PROPERTY(options.timeline || options.mode == Options::Mode::Run);
    // One command at most: --import, --export-web or --check.
    PROPERTY(!reading.importFiles.empty() + reading.has("--export-web") + reading.has("--check") <=
             1);
    PROPERTY((options.mode == Options::Mode::ExportWeb) == reading.has("--export-web"));
    PROPERTY((options.mode == Options::Mode::Check) == reading.has("--check"));
    // The page to write: the last --out, given only with --export-web.
    PROPERTY(options.out == (reading.outFiles.empty() ? "" : reading.outFiles.back()));
    PROPERTY(options.out.empty() || options.mode == Options::Mode::ExportWeb);
    PROPERTY(options.fullscreen == reading.has("--fullscreen"));
    PROPERTY(options.force == reading.has("--force"));
    // The folder is a folder's name: the one operand, or the current folder.
    PROPERTY(reading.operands.size() <= 1);
    PROPERTY(options.dir == (reading.operands.empty() ? "." : reading.operands[0]));
    PROPERTY(!options.dir.empty());
    PROPERTY((options.mode == Options::Mode::Import) == !reading.importFiles.empty());
    if (options.mode == Options::Mode::Import) {
        PROPERTY(options.importSource == reading.importFiles.back());
        PROPERTY(!options.fullscreen);
    } else if (options.mode == Options::Mode::ExportWeb) {
        PROPERTY(!options.fullscreen);
    } else if (options.mode == Options::Mode::Check) {
        // It only reads the folder: nothing to replace, no window.
        PROPERTY(!options.fullscreen && !options.force);
    } else {
        PROPERTY(!options.force);
    }
    return 0;
}
