#include "DriverVerdict.h"

#include "ChildProcess.h"
#include "DriverLogs.h"
#include "FaultSupport.h"
#include "GlContext.h"
#include "TempDir.h"

#include <glad/gl.h>

#include <memory>

namespace faults {

namespace {

// The builder reads logs into a 1024-character buffer: at most 1023 of them.
GLuint compile(GLenum type, const std::string& source, std::string& log) {
    GLuint shader = testsupport::compileStage(type, source);
    GLint success = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &success);
    if (!success) {
        log = testsupport::shaderLog(shader).substr(0, 1023);
    }
    return shader;
}

} // namespace

std::string expectedBuildOutput(const std::string& fragmentSource) {
    static auto context = std::make_unique<testsupport::GlContext>();
    std::string output;
    std::string vertexLog;
    std::string fragmentLog;
    GLuint vertex =
        compile(GL_VERTEX_SHADER, testsupport::readFile(testsupport::testDataPath("vertex.glsl")),
                vertexLog);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource, fragmentLog);
    GLint compiled = 0;
    glGetShaderiv(fragment, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        // Printed as the builder prints it: header, log, blank line.
        output += compileFailed + "fragment\n" + fragmentLog + "\n\n";
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        GLchar info[1024] = {};
        glGetProgramInfoLog(program, sizeof info, nullptr, info);
        output += linkFailed + info + "\n";
    }
    glDeleteProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return output;
}

} // namespace faults
