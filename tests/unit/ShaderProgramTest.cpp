// The shader builder against a real OpenGL 3.3 core context (Mesa on Xvfb):
// what it prints, in which order, and which program ends up current.
#include "ShaderProgram.h"

#include "ChildProcess.h"
#include "DriverLogs.h"
#include "GlContext.h"
#include "Messages.h"
#include "ShaderSources.h"
#include "TempDir.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using testsupport::readFile;
using namespace testsupport;
using testsupport::testDataPath;

namespace {

class GlEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { context = std::make_unique<testsupport::GlContext>(); }
    void TearDown() override { context.reset(); }

  private:
    std::unique_ptr<testsupport::GlContext> context;
};

const auto* const glEnvironment = ::testing::AddGlobalTestEnvironment(new GlEnvironment);

GLuint currentProgram() {
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    return static_cast<GLuint>(current);
}

// What the driver says about `source` as a stage of `type`, so that the
// builder's printed log can be compared byte for byte.
std::string driverCompileLog(GLenum type, const std::string& source) {
    GLuint shader = compileStage(type, source);
    std::string log = shaderLog(shader);
    glDeleteShader(shader);
    return log;
}

struct Build {
    GLuint id;
    std::string output;
};

Build build(const std::string& vertexPath, const std::string& fragmentPath) {
    glUseProgram(0);
    testing::internal::CaptureStdout();
    ShaderProgram program(vertexPath.c_str(), fragmentPath.c_str());
    program.use();
    std::string output = testing::internal::GetCapturedStdout();
    return {program.id, output};
}

GLint linkStatus(GLuint program) {
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status;
}

} // namespace

TEST(ShaderProgramBuild, ValidPairPrintsNothingAndBecomesCurrent) {
    Build b = build(testDataPath("vertex.glsl"), testDataPath("probe.frag"));
    EXPECT_EQ(b.output, "");
    EXPECT_NE(b.id, 0u);
    EXPECT_EQ(linkStatus(b.id), GL_TRUE);
    EXPECT_EQ(currentProgram(), b.id);
    // Both stages stay attached to the program after the builder let go of them.
    GLint attached = 0;
    glGetProgramiv(b.id, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 2);
}

TEST(ShaderProgramBuild, EachBuildMakesANewProgram) {
    Build first = build(testDataPath("vertex.glsl"), testDataPath("probe.frag"));
    Build second = build(testDataPath("vertex.glsl"), testDataPath("probe.frag"));
    EXPECT_NE(first.id, second.id);
    EXPECT_EQ(glIsProgram(first.id), GL_TRUE) << "an earlier program must never be deleted";
}

TEST(ShaderProgramBuild, CompileErrorIsPrintedAroundTheDriversLog) {
    std::string source = readFile(testDataPath("compile-error.frag"));
    std::string log = driverCompileLog(GL_FRAGMENT_SHADER, source);
    ASSERT_FALSE(log.empty());

    Build b = build(testDataPath("vertex.glsl"), testDataPath("compile-error.frag"));
    ASSERT_EQ(b.output.rfind(compileReport("fragment", log), 0), 0u) << b.output;
    // The broken stage is still attached and linked, so the link fails too.
    EXPECT_EQ(b.output, buildReport(readFile(testDataPath("vertex.glsl")), source));
    EXPECT_EQ(occurrences(b.output, linkFailed), 1);
    EXPECT_EQ(linkStatus(b.id), GL_FALSE);
    EXPECT_EQ(currentProgram(), 0u) << "an unlinked program must not become current";
}

TEST(ShaderProgramBuild, LinkErrorIsPrintedWithTheProgramLog) {
    Build b = build(testDataPath("vertex.glsl"), testDataPath("link-error.frag"));
    EXPECT_EQ(b.output, linkReport(programLog(b.id)));
    EXPECT_EQ(occurrences(b.output, compileFailed), 0);
}

TEST(ShaderProgramBuild, FailedBuildLeavesThePreviousProgramCurrent) {
    Build good = build(testDataPath("vertex.glsl"), testDataPath("probe.frag"));
    testing::internal::CaptureStdout();
    ShaderProgram broken(testDataPath("vertex.glsl").c_str(),
                         testDataPath("link-error.frag").c_str());
    broken.use();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(currentProgram(), good.id);
}

TEST(ShaderProgramBuild, LongInfoLogIsCutToTheBuffer) {
    std::string source = longLogShader();
    TempDir dir;
    dir.write("long.frag", source);
    std::string fullLog = driverCompileLog(GL_FRAGMENT_SHADER, source);
    ASSERT_GT(fullLog.size(), 1023u);

    Build b = build(testDataPath("vertex.glsl"), dir.file("long.frag"));
    std::string expected = compileReport("fragment", fullLog);
    ASSERT_EQ(expected.size(), compileFailed.size() + 9 + 1023 + 2);
    EXPECT_EQ(b.output.substr(0, expected.size()), expected);
}

TEST(ShaderProgramFiles, MissingVertexFile) {
    TempDir dir;
    Build b = build(dir.file("absent.glsl"), testDataPath("probe.frag"));
    // The read message, the driver's verdict on an empty vertex stage, no word
    // about the fragment stage, then the link message.
    ASSERT_EQ(b.output.rfind(readFailed, 0), 0u) << b.output;
    EXPECT_EQ(occurrences(b.output, readFailed), 1);
    size_t vertexAt = b.output.find(compileFailed + "vertex\n");
    size_t linkAt = b.output.find(linkFailed);
    EXPECT_NE(vertexAt, std::string::npos) << b.output;
    EXPECT_NE(linkAt, std::string::npos) << b.output;
    EXPECT_LT(vertexAt, linkAt);
    EXPECT_EQ(occurrences(b.output, compileFailed + "fragment"), 0);
    EXPECT_EQ(currentProgram(), 0u);
}

TEST(ShaderProgramFiles, BothFilesMissing) {
    TempDir dir;
    Build b = build(dir.file("a.glsl"), dir.file("b.glsl"));
    size_t firstRead = b.output.find(readFailed);
    size_t vertexAt = b.output.find(compileFailed + "vertex\n");
    size_t secondRead = b.output.find(readFailed, firstRead + 1);
    size_t fragmentAt = b.output.find(compileFailed + "fragment\n");
    size_t linkAt = b.output.find(linkFailed);
    EXPECT_EQ(firstRead, 0u) << b.output;
    EXPECT_LT(firstRead, vertexAt);
    EXPECT_LT(vertexAt, secondRead);
    EXPECT_LT(secondRead, fragmentAt);
    EXPECT_LT(fragmentAt, linkAt);
    EXPECT_NE(linkAt, std::string::npos);
    EXPECT_EQ(occurrences(b.output, readFailed), 2);
}

TEST(ShaderProgramFiles, EmptyFileIsReadWithoutAReadMessage) {
    TempDir dir;
    dir.write("empty.frag", "");
    Build b = build(testDataPath("vertex.glsl"), dir.file("empty.frag"));
    EXPECT_EQ(occurrences(b.output, readFailed), 0) << b.output;
    // The driver rejects an empty stage; that is its verdict, not a read error.
    EXPECT_NE(b.output.find(linkFailed), std::string::npos);
}

TEST(ShaderProgramFiles, DirectoryIsAReadFailureNotAnEmptySource) {
    TempDir dir;
    dir.write("placeholder", "");
    Build b = build(testDataPath("vertex.glsl"), dir.path());
    EXPECT_EQ(b.output.rfind(readFailed, 0), 0u) << b.output;
    EXPECT_EQ(occurrences(b.output, readFailed), 1);
}

TEST(ShaderProgramFiles, SourceReachesTheDriverAsItStands) {
    // Mesa accepts CR LF line ends: the shader builds without a word. (Mesa
    // reads CR LF and LF alike, so no log could tell them apart.)
    TempDir dir;
    std::string crlf = "#version 330 core\r\nout vec4 fragColor;\r\n"
                       "void main() {\r\n    fragColor = vec4(1.0);\r\n}\r\n";
    dir.write("crlf.frag", crlf);
    Build b = build(testDataPath("vertex.glsl"), dir.file("crlf.frag"));
    EXPECT_EQ(b.output, "");
    EXPECT_EQ(currentProgram(), b.id);

    // Mesa refuses a UTF-8 byte-order mark: the builder reports exactly what
    // the driver says about the file's bytes, where a builder that dropped
    // the mark would print nothing.
    std::string marked = "\xEF\xBB\xBF" + crlf;
    std::string vertex = readFile(testDataPath("vertex.glsl"));
    ASSERT_NE(buildReport(vertex, marked), "") << "Mesa accepts the mark";
    dir.write("marked.frag", marked);
    EXPECT_EQ(build(testDataPath("vertex.glsl"), dir.file("marked.frag")).output,
              buildReport(vertex, marked));
}
