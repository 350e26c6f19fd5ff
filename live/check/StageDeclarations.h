#pragma once

#include "StageInterface.h"

#include <string>

enum class StageKind { Vertex, Fragment };

// A stage's file-scope inputs, outputs and uniforms, read from its text as
// glslang's preprocessor writes it: macros expanded, the branches of #if that
// are not taken left out, no comments, and every line where the author wrote
// it (glslang keeps the line breaks). glslang's
// public interface gives no declarations: its reflection lists only what
// main reaches, and the checks need every declaration, used or not, with its
// line and qualifiers.
//
// The text is one that glslang compiled, so only well-formed declarations
// are looked for: "layout(location = 0) flat in vec3 a, b[2];", an
// interface block ("out Shade { vec4 c; } shade;", known by its block name
// and of the type "{ vec4 c; }"),
// and "attribute" and "varying" as the stage's input or output. A name
// counts as used where it appears outside its own declaration, other than
// after a '.'; code that main never calls counts too, as GLSL's static use
// does.
StageInterface readStageInterface(const std::string& preprocessed, StageKind kind);
