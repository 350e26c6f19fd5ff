#include "TestTrack.h"

#include "ChildProcess.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace audiotest {

void writeTwoToneTrack(const testsupport::TempDir& dir, const std::string& name) {
    writeToneTrack(dir, name, {lowTone, highTone});
}

void writeToneTrack(const testsupport::TempDir& dir, const std::string& name,
                    const std::vector<double>& tones) {
    testsupport::ProcessOptions sox;
    sox.argv = {"sox", "-n", "-r", std::to_string(deviceRate), "-c", "2", dir.file(name)};
    // One effects chain per tone; sox plays the chains one after another.
    // Half amplitude keeps the MP3 encoder from clipping.
    for (std::size_t i = 0; i < tones.size(); ++i) {
        if (i > 0) {
            sox.argv.push_back(":");
        }
        sox.argv.insert(sox.argv.end(), {"synth", std::to_string(toneSeconds), "sine",
                                         std::to_string(tones[i]), "vol", "0.5"});
    }
    sox.stderrPath = dir.file(".sox-errors");
    testsupport::ChildProcess process(sox);
    auto status = process.waitForExit(std::chrono::seconds(30));
    std::error_code error;
    if (!status || *status != 0 || std::filesystem::file_size(dir.file(name), error) == 0) {
        throw std::runtime_error("sox could not make the test track (needs sox and "
                                 "libsox-fmt-mp3): " +
                                 testsupport::readFile(dir.file(".sox-errors")));
    }
}

} // namespace audiotest
