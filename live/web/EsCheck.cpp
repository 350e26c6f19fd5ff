#include "EsCheck.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <cctype>
#include <memory>
#include <sstream>

namespace {

constexpr const char* vertexName = "vertex.glsl";
constexpr const char* fragmentName = "fragment.glsl";

// glslang's state for the process, set up for one check.
struct GlslangProcess {
    GlslangProcess() { glslang::InitializeProcess(); }
    ~GlslangProcess() { glslang::FinalizeProcess(); }
    GlslangProcess(const GlslangProcess&) = delete;
    GlslangProcess& operator=(const GlslangProcess&) = delete;
};

// Every error, not just the first: an author mends them all in one go.
const EShMessages messages = static_cast<EShMessages>(EShMsgCascadingErrors);

// Digits at `at`, read into `value`.
bool readNumber(const std::string& line, size_t& at, int& value) {
    const size_t start = at;
    while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at])) &&
           at - start < 9) {
        ++at;
    }
    if (at == start) {
        return false;
    }
    value = std::stoi(line.substr(start, at - start));
    return true;
}

// glslang writes "ERROR: 0:8: 'x' : undeclared identifier", then a count
// ("ERROR: 2 compilation errors.  No code generated.") and, where it gave
// up, "ERROR: 0:8: '' : compilation terminated"; warnings as "WARNING: ...".
// Only the errors themselves count; the rest says nothing more.
void mapLog(const std::string& log, const char* fileName, const EsStage* stage,
            std::vector<std::string>& problems) {
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        const std::string prefix = "ERROR: ";
        if (line.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        std::string message = line.substr(prefix.size());
        if (message.find("compilation errors.") != std::string::npos ||
            message.find("compilation terminated") != std::string::npos) {
            continue;
        }
        size_t at = 0;
        int source = 0, row = 0;
        if (stage != nullptr && readNumber(message, at, source) &&
            message.compare(at, 1, ":") == 0 && readNumber(message, ++at, row) &&
            message.compare(at, 1, ":") == 0) {
            size_t text = message.find_first_not_of(' ', at + 1);
            problems.push_back(
                std::string(fileName) + ":" + std::to_string(stage->authorLine(row)) +
                ": error: " + (text == std::string::npos ? "" : message.substr(text)));
        } else {
            problems.push_back(std::string(fileName) + ": error: " + message);
        }
    }
}

std::unique_ptr<glslang::TShader> parsed(EShLanguage language, const EsStage& stage,
                                         const char* fileName, std::vector<std::string>& problems) {
    auto shader = std::make_unique<glslang::TShader>(language);
    const char* text = stage.text.c_str();
    const int length = static_cast<int>(stage.text.size());
    shader->setStringsWithLengths(&text, &length, 1);
    // The source's own "#version 300 es" decides; 100 es is only the default
    // that a source without one would get.
    if (!shader->parse(GetDefaultResources(), 100, EEsProfile, false, false, messages)) {
        const size_t before = problems.size();
        mapLog(shader->getInfoLog(), fileName, &stage, problems);
        if (problems.size() == before) {
            problems.push_back(std::string(fileName) + ": error: does not compile as GLSL ES 3.00");
        }
        return nullptr;
    }
    return shader;
}

} // namespace

std::vector<std::string> checkForWebGl(const EsStage& vertex, const EsStage& fragment) {
    GlslangProcess process;
    std::vector<std::string> problems;
    std::unique_ptr<glslang::TShader> vertexShader =
        parsed(EShLangVertex, vertex, vertexName, problems);
    std::unique_ptr<glslang::TShader> fragmentShader =
        parsed(EShLangFragment, fragment, fragmentName, problems);
    if (vertexShader && fragmentShader) {
        // The program goes before the shaders it holds.
        glslang::TProgram program;
        program.addShader(vertexShader.get());
        program.addShader(fragmentShader.get());
        if (!program.link(messages)) {
            const size_t before = problems.size();
            mapLog(program.getInfoLog(), "link", nullptr, problems);
            if (problems.size() == before) {
                problems.push_back("link: error: the two stages do not link as GLSL ES 3.00");
            }
        }
    }
    return problems;
}
