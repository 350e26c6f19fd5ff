#include "Builder.h"

#include "LogMapper.h"
#include "TextFile.h"

#include <optional>

namespace {

// One of the piece's two files, as read for a build.
struct StageFile {
    explicit StageFile(const std::string& dir, std::string fileName)
        : name(std::move(fileName)), source(readTextFile(dir + "/" + name, readFailure)) {}

    const char* text() const { return source ? source->c_str() : nullptr; }

    std::string name;
    std::string readFailure;
    std::optional<std::string> source;
};

// The driver's messages of a failed step, mapped to `name`'s lines, or
// `silent` where the driver gave none.
void addFailure(const std::string& name, const ProgramBuild::Step& step, const std::string& silent,
                std::vector<std::string>& problems) {
    if (!step.failed) {
        return;
    }
    std::vector<std::string> lines = mapDriverLog(name, step.log);
    if (lines.empty()) {
        lines.push_back(silent);
    }
    problems.insert(problems.end(), lines.begin(), lines.end());
}

void addStageProblems(const StageFile& file, const ProgramBuild::Step& step,
                      std::vector<std::string>& problems) {
    if (!file.source) {
        problems.push_back(file.name + ": cannot read: " + file.readFailure);
        return;
    }
    addFailure(file.name, step, file.name + ": does not compile", problems);
}

} // namespace

BuildResult buildPiece(const std::string& dir) {
    const StageFile vertex(dir, "vertex.glsl");
    const StageFile fragment(dir, "fragment.glsl");
    ProgramBuild built = buildProgram(vertex.text(), fragment.text());
    BuildResult result;
    addStageProblems(vertex, built.vertex, result.problems);
    addStageProblems(fragment, built.fragment, result.problems);
    // Link messages name no file; they concern the pair.
    addFailure("link", built.link, "link: the two stages do not link", result.problems);
    result.program = std::move(built.program);
    if (result.program) {
        result.texts = PieceTexts{vertex.text(), fragment.text()};
    }
    return result;
}
