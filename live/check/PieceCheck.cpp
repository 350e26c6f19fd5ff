#include "PieceCheck.h"

#include "DemoContract.h"
#include "DemoInputs.h"
#include "GlslCheck.h"
#include "PageStage.h"
#include "SoundtrackAnalysis.h"
#include "TextFile.h"
#include "TrackProbe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

namespace {

using Level = Finding::Level;

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", value);
    return text;
}

// The stage's text where it can be read and holds no NUL byte.
std::optional<std::string> readStage(const std::string& dir, const std::string& name,
                                     Findings& findings) {
    std::string failure;
    std::optional<std::string> source = readTextFile(dir + "/" + name, failure);
    if (!source) {
        findings.push_back({Level::Error, name, 0, "cannot read: " + failure});
        return std::nullopt;
    }
    const size_t nul = source->find('\0');
    if (nul != std::string::npos) {
        const int line =
            1 + static_cast<int>(std::count(source->begin(), source->begin() + nul, '\n'));
        findings.push_back(
            {Level::Error, name, line, "a NUL byte, where drivers stop reading: this is not text"});
        return std::nullopt;
    }
    const long lines = std::count(source->begin(), source->end(), '\n') +
                       (!source->empty() && source->back() != '\n');
    findings.push_back(
        {Level::Ok, name, 0, "present: " + std::to_string(lines) + " lines of text"});
    return source;
}

// The page is optional: what would stop it is a warning here.
void checkPage(const std::string& vertex, const std::string& fragment, Findings& findings) {
    const Findings page = pageWarnings(vertex, fragment);
    if (page.empty()) {
        findings.push_back({Level::Ok, "web page", 0,
                            "both stages build as GLSL ES 3.00, as --export-web builds them"});
    }
    findings.insert(findings.end(), page.begin(), page.end());
}

// What the timeline takes for the track's pulse, for the audio.mp3 line:
// "; 128.00 BPM, first downbeat at 0.35 s".
std::string tempoOf(const std::string& path, const Options& options) {
    char text[96];
    if (options.bpm) {
        std::snprintf(text, sizeof text, "; %.2f BPM, first downbeat at %.3f s, as given",
                      *options.bpm, options.firstDownbeat);
        return text;
    }
    const SoundtrackView view = analyseSoundtrack(path, options.beatsPerBar);
    if (view.state != SoundtrackView::State::Decoded) {
        return "; no tempo: " + view.problem;
    }
    if (!view.tempo) {
        return "; no steady beat";
    }
    std::snprintf(text, sizeof text, "; %.2f BPM, first downbeat at %.3f s", view.tempo->bpm,
                  view.tempo->firstDownbeat);
    return text;
}

void checkSoundtrack(const std::string& dir, const Options& options, Findings& findings) {
    const std::string path = dir + "/audio.mp3";
    Finding finding{Level::Ok, "audio.mp3", 0, ""};
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        finding.text = "none: the piece is silent, as the demo then is";
    } else if (std::string failure; !readTextFile(path, failure)) {
        finding = {Level::Error, "audio.mp3", 0, "cannot read: " + failure};
    } else {
        const TrackProbe probe = probeTrack(path);
        const double length = probe.seconds;
        if (probe.result == TrackProbe::Result::NoPlayer) {
            finding = {Level::NotChecked, "audio.mp3", 0, probe.player + " cannot be loaded"};
        } else if (probe.result == TrackProbe::Result::NotPlayable) {
            finding = {Level::Error, "audio.mp3", 0,
                       probe.player + " cannot decode it: the demo would be silent"};
        } else if (length <= 0.0) {
            finding = {Level::Warning, "audio.mp3", 0,
                       "decoded by " + probe.player + ", which cannot tell its length"};
        } else if (length < demo::lengthSeconds) {
            char times[32];
            std::snprintf(times, sizeof times, "%.1f", demo::lengthSeconds / length);
            finding.text = seconds(length) + ", decoded by " + probe.player +
                           ": the demo loops it, starting it again at " + seconds(length) +
                           ", and plays it " + times + " times in its " +
                           std::to_string(demo::lengthSeconds) + " s";
        } else {
            finding.text =
                seconds(length) + ", decoded by " + probe.player + ": the demo ends at " +
                std::to_string(demo::lengthSeconds) + " s, before it loops" +
                (length > demo::lengthSeconds + 0.05
                     ? " (the last " + seconds(length - demo::lengthSeconds) + " are never heard)"
                     : "");
        }
        if (probe.result == TrackProbe::Result::Playable) {
            finding.text += tempoOf(path, options);
        }
    }
    findings.push_back(finding);
}

} // namespace

int checkPiece(const Options& options) {
    const std::string& dir = options.dir;
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) {
        std::cerr << "vellomirke-live: " << dir << ": not a folder\n";
        return 1;
    }
    Findings findings;
    const std::optional<std::string> vertex = readStage(dir, "vertex.glsl", findings);
    const std::optional<std::string> fragment = readStage(dir, "fragment.glsl", findings);
    if (vertex && fragment) {
        GlslVerdict verdict = checkAsGlsl330(*vertex, *fragment);
        if (verdict.findings.empty()) {
            findings.push_back({Level::Ok, "shaders", 0,
                                "both stages build as GLSL 3.30 core and link (glslang)"});
        }
        findings.insert(findings.end(), verdict.findings.begin(), verdict.findings.end());
        if (verdict.interface.known) {
            const Findings inputs = checkDemoInputs(verdict.interface);
            findings.insert(findings.end(), inputs.begin(), inputs.end());
        } else {
            findings.push_back({Level::NotChecked, "inputs", 0,
                                "the position, timeValue and windowSize need stages that build"});
        }
        checkPage(*vertex, *fragment, findings);
    } else {
        findings.push_back({Level::NotChecked, "shaders", 0,
                            "GLSL 3.30, the demo's inputs and the web page need both stages"});
    }
    checkSoundtrack(dir, options, findings);

    for (const Finding& finding : findings) {
        std::cout << finding.located() << '\n';
    }
    const int errors = countAt(findings, Level::Error);
    const int warnings = countAt(findings, Level::Warning);
    auto count = [](int n, const char* what) {
        return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    if (errors == 0) {
        std::cout << "ready: nothing would stop the piece (" << count(warnings, "warning") << ")\n";
    } else {
        std::cout << "not ready: " << count(errors, "error") << ", " << count(warnings, "warning")
                  << "\n";
    }
    std::cout.flush();
    return errors == 0 ? 0 : 1;
}
