#include "DemoInputs.h"

#include "DemoContract.h"

namespace {

std::string spelled(const char* storage, const Declared& d) {
    return std::string("'") + storage + " " + d.type + " " + d.name + "'";
}

// The input that takes the corners: the one at location 0, or a lone input
// without a location, which drivers put at 0 though nothing says they must.
Findings checkPosition(const StageInterface& vertex) {
    const Declared* corners = nullptr;
    for (const Declared& input : vertex.inputs) {
        if (input.location == demo::positionAttribute) {
            corners = &input;
        }
    }
    if (corners == nullptr && vertex.inputs.size() == 1 && vertex.inputs[0].location < 0) {
        corners = &vertex.inputs[0];
    }
    Findings findings;
    Finding finding{Finding::Level::Ok, "vertex.glsl", 0, "position: "};
    if (corners == nullptr) {
        finding.level = vertex.inputs.empty() ? Finding::Level::Warning : Finding::Level::Error;
        finding.text += "no input at location 0, where the demo gives the rectangle's corners "
                        "(write 'layout(location = 0) in vec3 position;')";
    } else {
        finding.line = corners->line;
        finding.text += spelled("in", *corners);
        if (corners->type == "vec3") {
            finding.text += ", the rectangle's corners";
        } else if (corners->type == "float" || corners->type == "vec2" || corners->type == "vec4") {
            finding.level = Finding::Level::Warning;
            finding.text += ": the demo gives a vec3; a vec4 gets w = 1.0, fewer lose the rest";
        } else {
            finding.level = Finding::Level::Error;
            finding.text += ": the demo gives three floats (a vec3), which this does not take";
        }
        if (corners->location < 0) {
            if (finding.level == Finding::Level::Ok) {
                finding.level = Finding::Level::Warning;
            }
            finding.text += "; without 'layout(location = 0)' the driver chooses its place, and "
                            "the demo gives location 0";
        }
    }
    findings.push_back(finding);
    for (const Declared& input : vertex.inputs) {
        if (&input != corners && input.used) {
            findings.push_back({Finding::Level::Warning, "vertex.glsl", input.line,
                                spelled("in", input) +
                                    " gets nothing from the demo, which gives location 0 alone"});
        }
    }
    return findings;
}

// One uniform of the demo's, of the type the demo sets or an error; shown
// where a stage uses it (the vertex stage's where both do), or where it is
// declared.
Finding checkUniform(const PieceInterface& piece, const char* name, const char* type,
                     const char* meaning, const char* absent) {
    const Declared* shown = nullptr;
    const char* shownIn = nullptr;
    for (const auto& [file, stage] :
         {std::pair<const char*, const StageInterface&>{"vertex.glsl", piece.vertex},
          {"fragment.glsl", piece.fragment}}) {
        const Declared* declared = findDeclared(stage.uniforms, name);
        if (declared == nullptr) {
            continue;
        }
        if (declared->type != type) {
            return {Finding::Level::Error, file, declared->line,
                    std::string(name) + ": " + spelled("uniform", *declared) +
                        " gets nothing: the demo sets a " + type + " (write 'uniform " + type +
                        " " + name + ";')"};
        }
        if (shown == nullptr || (!shown->used && declared->used)) {
            shown = declared;
            shownIn = file;
        }
    }
    if (shown == nullptr) {
        return {Finding::Level::Ok, name, 0, std::string("not declared: ") + absent};
    }
    return {Finding::Level::Ok, shownIn, shown->line,
            std::string(name) + ": " + spelled("uniform", *shown) + ", " + meaning +
                (shown->used ? "" : " (declared, not used)")};
}

} // namespace

Findings checkDemoInputs(const PieceInterface& piece) {
    Findings findings = checkPosition(piece.vertex);
    findings.push_back(checkUniform(piece, demo::timeUniform, "float",
                                    "the piece's time in seconds, set every frame",
                                    "the picture does not follow the time"));
    findings.push_back(checkUniform(piece, demo::sizeUniform, "vec2",
                                    "the picture's size, (1920, 1080)",
                                    "the picture does not ask for its size"));
    return findings;
}
