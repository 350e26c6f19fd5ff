#include "GlslCheck.h"

#include "StageDeclarations.h"
#include "StageLink.h"
#include "VersionDirective.h"

// glslang's public interface alone, as every release installs it: what its
// private headers would give (the syntax tree, the version it read) comes
// from its preprocessed text and the #version line instead.
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <memory>

namespace {

// glslang's state for the process. Set up at the first check and kept: the
// built-in symbol tables it makes for each kind of stage are what a check
// costs most, and every later save reuses them.
void startGlslang() {
    struct Process {
        Process() { glslang::InitializeProcess(); }
        ~Process() { glslang::FinalizeProcess(); }
    };
    static Process process;
}

// Every error, not just the first: an author mends them all in one go.
const EShMessages messages = EShMsgCascadingErrors;

int sameLine(int line) {
    return line;
}

// One stage as glslang is given it.
struct Stage {
    EShLanguage language;
    const char* fileName;
    const std::string& text;
    std::function<int(int)> authorLine;
};

// The stage parsed, with what glslang said of it in `findings` (only its
// errors where `errorsOnly`); null where it does not compile.
std::unique_ptr<glslang::TShader> parsed(const Stage& stage, int defaultVersion, EProfile profile,
                                         bool errorsOnly, Findings& findings) {
    auto shader = std::make_unique<glslang::TShader>(stage.language);
    const char* text = stage.text.c_str();
    const int length = static_cast<int>(stage.text.size());
    shader->setStringsWithLengths(&text, &length, 1);
    // The source's own #version decides; the default is for a source
    // without one.
    const bool compiled =
        shader->parse(GetDefaultResources(), defaultVersion, profile, false, false, messages);
    const int errorsBefore = countAt(findings, Finding::Level::Error);
    for (Finding& finding :
         readGlslangLog(shader->getInfoLog(), stage.fileName, stage.authorLine)) {
        if (!errorsOnly || finding.level == Finding::Level::Error) {
            findings.push_back(std::move(finding));
        }
    }
    if (!compiled) {
        if (countAt(findings, Finding::Level::Error) == errorsBefore) {
            findings.push_back({Finding::Level::Error, stage.fileName, 0, "does not compile"});
        }
        return nullptr;
    }
    return shader;
}

// The pair linked, glslang's messages in `findings`; whether it linked.
bool linked(glslang::TShader& vertex, glslang::TShader& fragment, const char* what,
            Findings& findings) {
    // The program goes before the shaders it holds: declared after them.
    glslang::TProgram program;
    program.addShader(&vertex);
    program.addShader(&fragment);
    if (program.link(messages)) {
        return true;
    }
    const size_t before = findings.size();
    for (Finding& finding : readGlslangLog(program.getInfoLog(), "link", sameLine)) {
        if (finding.level == Finding::Level::Error) {
            findings.push_back(std::move(finding));
        }
    }
    if (findings.size() == before) {
        findings.push_back({Finding::Level::Error, "link", 0,
                            std::string("the two stages do not link as ") + what});
    }
    return false;
}

// The stage's inputs, outputs and uniforms, from its text as glslang's
// preprocessor gives it, for a stage that compiled.
StageInterface interfaceOf(const Stage& stage) {
    glslang::TShader shader(stage.language);
    const char* text = stage.text.c_str();
    const int length = static_cast<int>(stage.text.size());
    shader.setStringsWithLengths(&text, &length, 1);
    glslang::TShader::ForbidIncluder includer;
    std::string preprocessed;
    shader.preprocess(GetDefaultResources(), 330, ECoreProfile, false, false, messages,
                      &preprocessed, includer);
    return readStageInterface(preprocessed, stage.language == EShLangVertex ? StageKind::Vertex
                                                                            : StageKind::Fragment);
}

// The stage's #version against what an OpenGL 3.3 core context takes.
void checkVersion(const Stage& stage, Findings& findings) {
    const std::optional<VersionDirective> directive = findVersionDirective(stage.text);
    if (!directive) {
        findings.push_back({Finding::Level::Error, stage.fileName, 1,
                            "no #version line: a core context builds no shader without one "
                            "(write '#version 330 core')"});
        return;
    }
    const int version = directive->number;
    const std::string spelled = std::to_string(version / 100) + "." + std::to_string(version % 100);
    Finding finding{Finding::Level::Error, stage.fileName, directive->line, ""};
    if (directive->es()) {
        finding.text = "GLSL ES: the demo builds GLSL 3.30 core (write '#version 330 core')";
    } else if (directive->profile == "compatibility") {
        finding.text = "the compatibility profile, which a core context does not give (write "
                       "'#version 330 core')";
    } else if (version < 140) {
        finding.text =
            "GLSL " + spelled + ", older than a core context takes (write '#version 330 core')";
    } else if (version > 330) {
        finding.level = Finding::Level::Warning;
        finding.text = "GLSL " + spelled +
                       " needs more than the OpenGL 3.3 the demo asks for; a driver that "
                       "gives no more refuses it ('#version 330 core' runs everywhere)";
    } else {
        return;
    }
    findings.push_back(finding);
}

} // namespace

GlslVerdict checkAsGlsl330(const std::string& vertex, const std::string& fragment) {
    startGlslang();
    GlslVerdict verdict;
    const Stage vertexStage{EShLangVertex, "vertex.glsl", vertex, sameLine};
    const Stage fragmentStage{EShLangFragment, "fragment.glsl", fragment, sameLine};
    std::unique_ptr<glslang::TShader> vertexShader =
        parsed(vertexStage, 330, ECoreProfile, false, verdict.findings);
    if (vertexShader) {
        checkVersion(vertexStage, verdict.findings);
    }
    std::unique_ptr<glslang::TShader> fragmentShader =
        parsed(fragmentStage, 330, ECoreProfile, false, verdict.findings);
    if (fragmentShader) {
        checkVersion(fragmentStage, verdict.findings);
    }
    if (!vertexShader || !fragmentShader) {
        return verdict;
    }
    verdict.interface = {interfaceOf(vertexStage), interfaceOf(fragmentStage), true};
    linked(*vertexShader, *fragmentShader, "GLSL 3.30", verdict.findings);
    // Also where glslang's link failed: its messages name no line.
    const Findings between = linkInterface(verdict.interface);
    verdict.findings.insert(verdict.findings.end(), between.begin(), between.end());
    return verdict;
}

Findings checkAsEs300(const EsStage& vertex, const EsStage& fragment) {
    startGlslang();
    Findings findings;
    auto authorLineOf = [](const EsStage& stage) {
        return [&stage](int line) { return stage.authorLine(line); };
    };
    std::unique_ptr<glslang::TShader> vertexShader =
        parsed({EShLangVertex, "vertex.glsl", vertex.text, authorLineOf(vertex)}, 100, EEsProfile,
               true, findings);
    std::unique_ptr<glslang::TShader> fragmentShader =
        parsed({EShLangFragment, "fragment.glsl", fragment.text, authorLineOf(fragment)}, 100,
               EEsProfile, true, findings);
    if (vertexShader && fragmentShader) {
        linked(*vertexShader, *fragmentShader, "GLSL ES 3.00", findings);
    }
    return findings;
}
