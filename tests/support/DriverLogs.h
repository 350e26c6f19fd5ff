#pragma once

#include "Messages.h"

#include <glad/gl.h>

#include <string>
#include <tuple>

namespace testsupport {

// Compiles `source` as a stage of `type` in the current context, apart from
// the shader builder, so that the driver's own verdict can be compared with
// what the builder printed.
inline GLuint compileStage(GLenum type, const std::string& source) {
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

// The whole info log of a shader or program object, however long.
template <typename GetInteger, typename GetLog>
std::string infoLog(GLuint object, GetInteger getInteger, GetLog getLog) {
    GLint length = 0;
    getInteger(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length), '\0');
    if (length > 0) {
        getLog(object, length, nullptr, log.data());
        log.resize(static_cast<size_t>(length) - 1);
    }
    return log;
}

inline std::string shaderLog(GLuint shader) {
    return infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
}

inline std::string programLog(GLuint program) {
    return infoLog(program, glGetProgramiv, glGetProgramInfoLog);
}

// What the shader builder must print when it builds this pair, as the driver
// of the current context judges it: each failed stage's report, then the link
// report; empty when the pair links. A vertex stage that fails is reported
// the same way; the test data's vertex shader does not.
inline std::string buildReport(const std::string& vertexSource, const std::string& fragmentSource) {
    std::string output;
    GLuint program = glCreateProgram();
    for (auto [type, kind, source] :
         {std::make_tuple(GL_VERTEX_SHADER, "vertex", &vertexSource),
          std::make_tuple(GL_FRAGMENT_SHADER, "fragment", &fragmentSource)}) {
        GLuint shader = compileStage(type, *source);
        GLint compiled = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
        if (!compiled) {
            output += compileReport(kind, shaderLog(shader));
        }
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        output += linkReport(programLog(program));
    }
    glDeleteProgram(program);
    return output;
}

} // namespace testsupport
