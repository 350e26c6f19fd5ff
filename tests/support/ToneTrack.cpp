#include "ToneTrack.h"

#include "ChildProcess.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

void writeTones(const TempDir& dir, const std::string& name, const std::vector<Tone>& tones,
                int rate) {
    ProcessOptions sox;
    sox.argv = {"sox", "-n", "-r", std::to_string(rate), "-c", "2"};
    if (std::filesystem::path(name).extension() != ".mp3") {
        sox.argv.insert(sox.argv.end(), {"-b", "16"});
    }
    sox.argv.push_back(dir.file(name));
    // One effects chain per tone; sox writes the chains one after another.
    for (const Tone& tone : tones) {
        if (&tone != &tones.front()) {
            sox.argv.push_back(":");
        }
        sox.argv.insert(sox.argv.end(),
                        {"synth", std::to_string(tone.seconds), "sine",
                         std::to_string(tone.frequency), "vol", tone.frequency > 0 ? "0.5" : "0"});
    }
    sox.stderrPath = dir.file(".sox-errors");
    ChildProcess process(sox);
    auto status = process.waitForExit(std::chrono::seconds(30));
    std::error_code error;
    if (!status || *status != 0 || std::filesystem::file_size(dir.file(name), error) == 0) {
        throw std::runtime_error("sox could not make " + name +
                                 " (needs sox and "
                                 "libsox-fmt-mp3): " +
                                 readFile(dir.file(".sox-errors")));
    }
}

} // namespace testsupport
