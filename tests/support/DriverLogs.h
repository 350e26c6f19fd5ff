#pragma once

#include <glad/gl.h>

#include <string>

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

// The whole info log of a shader object, however long.
inline std::string shaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length), '\0');
    if (length > 0) {
        glGetShaderInfoLog(shader, length, nullptr, log.data());
        log.resize(static_cast<size_t>(length) - 1);
    }
    return log;
}

} // namespace testsupport
