#include "GlslCheck.h"

#include "DeclarationLine.h"
#include "StageLink.h"

// The syntax tree, the version and the profile come through glslang's own
// headers, beyond its public interface: its reflection gives a program's
// inputs and outputs, not what passes between the stages, nor any line.
// Only members that no build option of glslang moves are read.
#include <glslang/Include/intermediate.h>
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <memory>
#include <set>

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

// A stage's declared inputs, outputs and uniforms from its syntax tree:
// glslang lists every global in the tree's "linker objects", and each use
// elsewhere names its symbol.
class InterfaceReader : public glslang::TIntermTraverser {
  public:
    InterfaceReader(const std::string& source, StageInterface& stage)
        : source_(source), stage_(stage) {}

    bool visitAggregate(glslang::TVisit, glslang::TIntermAggregate* node) override {
        if (node->getOp() != glslang::EOpLinkerObjects) {
            return true;
        }
        for (TIntermNode* child : node->getSequence()) {
            if (const glslang::TIntermSymbol* symbol = child->getAsSymbolNode()) {
                declare(*symbol);
            }
        }
        return false;
    }

    void visitSymbol(glslang::TIntermSymbol* symbol) override { used_.insert(keyOf(*symbol)); }

    // Marks what the code used; after the traversal.
    void finish() {
        for (auto* list : {&stage_.inputs, &stage_.outputs, &stage_.uniforms}) {
            for (Declared& declared : *list) {
                declared.used = used_.count(declared.name) > 0;
            }
        }
    }

  private:
    // An interface block is known by its block name, as stages match it.
    static std::string keyOf(const glslang::TIntermSymbol& symbol) {
        const glslang::TType& type = symbol.getType();
        return std::string(type.getBasicType() == glslang::EbtBlock ? type.getTypeName().c_str()
                                                                    : symbol.getName().c_str());
    }

    void declare(const glslang::TIntermSymbol& symbol) {
        const glslang::TQualifier& qualifier = symbol.getQualifier();
        std::vector<Declared>* list = qualifier.storage == glslang::EvqVaryingIn ? &stage_.inputs
                                      : qualifier.storage == glslang::EvqVaryingOut
                                          ? &stage_.outputs
                                      : qualifier.storage == glslang::EvqUniform ? &stage_.uniforms
                                                                                 : nullptr;
        const std::string name = keyOf(symbol);
        if (list == nullptr || qualifier.builtIn != glslang::EbvNone || name.rfind("gl_", 0) == 0) {
            return;
        }
        Declared declared;
        declared.name = name;
        std::string type = symbol.getType().getCompleteString(true, false, false).c_str();
        declared.type = type.substr(type.find_first_not_of(' ') == std::string::npos
                                        ? type.size()
                                        : type.find_first_not_of(' '));
        declared.line = declarationLine(source_, name);
        declared.location =
            qualifier.hasLocation() ? static_cast<int>(qualifier.layoutLocation) : -1;
        declared.interpolation = qualifier.flat ? "flat" : qualifier.nopersp ? "noperspective" : "";
        list->push_back(declared);
    }

    const std::string& source_;
    StageInterface& stage_;
    std::set<std::string> used_;
};

StageInterface interfaceOf(const glslang::TShader& shader, const std::string& source) {
    StageInterface stage;
    InterfaceReader reader(source, stage);
    shader.getIntermediate()->getTreeRoot()->traverse(&reader);
    reader.finish();
    return stage;
}

// The stage's #version against what an OpenGL 3.3 core context takes.
void checkVersion(const glslang::TShader& shader, const Stage& stage, Findings& findings) {
    const std::optional<EsStage> directive = translateToEs(stage.text);
    if (!directive) {
        findings.push_back({Finding::Level::Error, stage.fileName, 1,
                            "no #version line: a core context builds no shader without one "
                            "(write '#version 330 core')"});
        return;
    }
    const glslang::TIntermediate& tree = *shader.getIntermediate();
    const int version = tree.getVersion();
    const std::string spelled = std::to_string(version / 100) + "." + std::to_string(version % 100);
    Finding finding{Finding::Level::Error, stage.fileName, directive->versionLine, ""};
    if (tree.getProfile() == EEsProfile) {
        finding.text = "GLSL ES: the demo builds GLSL 3.30 core (write '#version 330 core')";
    } else if (tree.getProfile() == ECompatibilityProfile) {
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
        checkVersion(*vertexShader, vertexStage, verdict.findings);
    }
    std::unique_ptr<glslang::TShader> fragmentShader =
        parsed(fragmentStage, 330, ECoreProfile, false, verdict.findings);
    if (fragmentShader) {
        checkVersion(*fragmentShader, fragmentStage, verdict.findings);
    }
    if (!vertexShader || !fragmentShader) {
        return verdict;
    }
    // Read before the link, which drops functions that main never calls:
    // what they name still counts as used.
    verdict.interface = {interfaceOf(*vertexShader, vertex), interfaceOf(*fragmentShader, fragment),
                         true};
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
