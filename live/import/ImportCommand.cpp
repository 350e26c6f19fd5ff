// The command `--import SRC DIR`, around the converter of Importer.h.
#include "ImportCommand.h"

#include "GlslCheck.h"
#include "Importer.h"
#include "PageStage.h"
#include "SampleVertex.h"
#include "TextFile.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace {

// `finding` of the built fragment stage at the source's line: "SRC:LINE:
// error: ..."; without a line where it lies in what the import adds.
std::string atSource(Finding finding, const Conversion& conversion, const std::string& sourcePath,
                     int sourceLines) {
    finding.line = conversion.sourceLine(finding.line, sourceLines);
    finding.file = sourcePath;
    return finding.located();
}

// Makes `dir` where it is not there yet, saying so; false, saying why, where
// it cannot.
bool folderThere(const std::string& dir) {
    std::error_code error;
    if (std::filesystem::exists(dir, error)) {
        return true;
    }
    const std::filesystem::path parent = std::filesystem::absolute(dir, error).parent_path();
    if (!std::filesystem::is_directory(parent, error)) {
        std::cerr << "vellomirke-live: cannot make " << dir << ": there is no folder "
                  << parent.string() << "; nothing was written\n";
        return false;
    }
    if (!std::filesystem::create_directory(dir, error) && error) {
        std::cerr << "vellomirke-live: cannot make " << dir << ": " << error.message()
                  << "; nothing was written\n";
        return false;
    }
    std::cerr << "vellomirke-live: made " << dir << "\n";
    return true;
}

} // namespace

int importShader(const std::string& sourcePath, const std::string& dir, bool force) {
    std::string failure;
    const std::optional<std::string> source = readTextFile(sourcePath, failure);
    if (!source) {
        std::cerr << "vellomirke-live: cannot read " << sourcePath << ": " << failure << "\n";
        return 1;
    }
    std::string name = std::filesystem::path(sourcePath).filename().string();
    Conversion conversion = convertMainImage(*source, name);
    if (!conversion.refused.empty()) {
        std::cerr << "vellomirke-live: not imported: " << sourcePath << ":\n";
        for (const std::string& reason : conversion.refused) {
            std::cerr << "  " << reason << "\n";
        }
        return 1;
    }
    const std::string fragmentPath = dir + "/fragment.glsl";
    const std::string vertexPath = dir + "/vertex.glsl";
    std::error_code error;
    if (!force && std::filesystem::exists(fragmentPath, error)) {
        std::cerr << "vellomirke-live: " << fragmentPath << " exists; --force replaces it\n";
        return 1;
    }

    // The piece as it would be: with the folder's own vertex stage where it
    // has one, built as --check builds it.
    const bool ownVertex = std::filesystem::exists(vertexPath, error);
    std::optional<std::string> vertex =
        ownVertex ? readTextFile(vertexPath, failure) : std::optional<std::string>(sampleVertex);
    if (!vertex) {
        std::cerr << "vellomirke-live: cannot read " << vertexPath << ": " << failure << "\n";
        return 1;
    }
    const int sourceLines = static_cast<int>(std::count(source->begin(), source->end(), '\n')) +
                            (!source->empty() && source->back() != '\n');
    const GlslVerdict verdict = checkAsGlsl330(*vertex, conversion.fragment);
    if (verdict.refused()) {
        std::cerr << "vellomirke-live: not imported: " << sourcePath
                  << " would not build as a piece:\n";
        for (const Finding& finding : verdict.findings) {
            if (finding.level != Finding::Level::Error) {
                continue;
            }
            if (finding.file == "fragment.glsl") {
                std::cerr << atSource(finding, conversion, sourcePath, sourceLines) << "\n";
            } else {
                std::cerr << dir << "/" << finding.located() << "\n";
            }
        }
        return 1;
    }

    if (!folderThere(dir)) {
        return 1;
    }
    // `sofar`: what was written before a failure, said after its reason.
    auto written = [](const std::string& path, const std::string& text, const std::string& sofar) {
        const std::optional<WriteFailure> failure = replaceFile(path, text);
        if (failure) {
            std::cerr << "vellomirke-live: " << failure->describe(path) << "; " << sofar << "\n";
        }
        return !failure;
    };
    if (!written(fragmentPath, conversion.fragment, "nothing was written")) {
        return 1;
    }
    if (!ownVertex && !written(vertexPath, sampleVertex, "only " + fragmentPath + " was written")) {
        return 1;
    }
    std::cerr << "vellomirke-live: wrote " << fragmentPath << "\n";
    // What does not stop the piece but --check would say: glslang's warnings
    // and what the page (GLSL ES 3.00) would refuse, at the written lines.
    Findings warnings = verdict.findings;
    const Findings page = pageWarnings(*vertex, conversion.fragment);
    warnings.insert(warnings.end(), page.begin(), page.end());
    for (const Finding& finding : warnings) {
        std::cerr << dir << "/" << finding.located() << "\n";
    }
    return 0;
}
