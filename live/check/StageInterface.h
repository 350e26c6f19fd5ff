#pragma once

#include <string>
#include <vector>

// What a stage declares at file scope for the world outside it: its inputs,
// outputs and uniforms, as glslang read them (built-in variables left out).
struct Declared {
    std::string name;          // an interface block's block name
    std::string type;          // GLSL spelling: "vec3", "float[4]", "int"
    int line = 0;              // where it is declared; 0 where that is not known
    int location = -1;         // its layout(location = N), -1 without one
    std::string interpolation; // "flat", "noperspective" or "" (smooth)
    bool used = false;         // named anywhere in the stage's code
};

struct StageInterface {
    std::vector<Declared> inputs;
    std::vector<Declared> outputs;
    std::vector<Declared> uniforms;
};

// Both stages' interfaces; `known` only where both stages were read.
struct PieceInterface {
    StageInterface vertex;
    StageInterface fragment;
    bool known = false;
};

// The declaration of `name` among `declared`, or null.
const Declared* findDeclared(const std::vector<Declared>& declared, const std::string& name);
