#include "StageLink.h"

namespace {

std::string interpolationOf(const Declared& d) {
    return d.interpolation.empty() ? "smooth" : d.interpolation;
}

} // namespace

Findings linkInterface(const PieceInterface& piece) {
    Findings findings;
    if (!piece.known) {
        return findings;
    }
    for (const Declared& input : piece.fragment.inputs) {
        if (!input.used) {
            continue; // GLSL asks nothing of an input that is never read
        }
        Finding finding{Finding::Level::Error, "fragment.glsl", input.line, ""};
        const std::string quoted = "'in " + input.type + " " + input.name + "'";
        const Declared* output = findDeclared(piece.vertex.outputs, input.name);
        if (output == nullptr) {
            finding.text =
                quoted + " is not an output of vertex.glsl, which GLSL 3.30 makes a link error";
        } else if (output->type != input.type) {
            finding.text =
                quoted + " is an 'out " + output->type + "' in vertex.glsl" +
                (output->line > 0 ? " (line " + std::to_string(output->line) + ")" : "") +
                ": the types must match";
        } else if (interpolationOf(*output) != interpolationOf(input)) {
            finding.text = quoted + " is " + interpolationOf(input) + " here and " +
                           interpolationOf(*output) +
                           " in vertex.glsl: GLSL 3.30 wants the same interpolation in both";
        } else if (!output->used) {
            finding = {Finding::Level::Warning, "vertex.glsl", output->line,
                       "'out " + output->type + " " + output->name +
                           "' is never written, so fragment.glsl reads an undefined value"};
        } else {
            continue;
        }
        findings.push_back(finding);
    }
    return findings;
}
