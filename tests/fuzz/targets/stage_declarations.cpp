// The declaration reader and the #version reader on any text, not only what
// glslang compiled: every declaration found is a name that stands on the line
// given for it, and a #version directive found is one that the text holds at
// its line.
#include "Property.h"
#include "StageDeclarations.h"
#include "VersionDirective.h"

#include <algorithm>
#include <cctype>

using namespace fuzzing;

namespace {

bool isName(const std::string& name) {
    return !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
           });
}

std::string lineOf(const std::string& text, int line) {
    std::size_t start = 0;
    for (int n = 1; n < line && start != std::string::npos; ++n) {
        start = text.find('\n', start);
        start = start == std::string::npos ? start : start + 1;
    }
    return start == std::string::npos ? "" : text.substr(start, text.find('\n', start) - start);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source = text(data, size);
    for (StageKind kind : {StageKind::Vertex, StageKind::Fragment}) {
        const StageInterface stage = readStageInterface(source, kind);
        for (const auto* list : {&stage.inputs, &stage.outputs, &stage.uniforms}) {
            for (const Declared& declared : *list) {
                PROPERTY(isName(declared.name));
                PROPERTY(!declared.type.empty());
                PROPERTY(lineOf(source, declared.line).find(declared.name) != std::string::npos);
            }
        }
    }
    if (const std::optional<VersionDirective> directive = findVersionDirective(source)) {
        PROPERTY(directive->begin < directive->end && directive->end <= source.size());
        PROPERTY(source[directive->begin] == '#');
        PROPERTY(lineOf(source, directive->line).find('#') != std::string::npos);
        PROPERTY(directive->number >= 0 && directive->number <= 9999);
    }
    return 0;
}
