// Driver messages turned into FILE:LINE: lines, and what a build reports:
// the log mapper on each driver's own form, and the builder against the real
// driver of this machine.
#include "Builder.h"
#include "ChildProcess.h"
#include "DriverLogs.h"
#include "GlContext.h"
#include "LogMapper.h"
#include "StrictCheck.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace testsupport;

using Lines = std::vector<std::string>;

TEST(DriverMessages, NvidiaAndWindowsFormsPointAtTheLineAndKeepTheRest) {
    // NVIDIA's form, as its compiler prints it, a warning after the error.
    EXPECT_EQ(
        mapDriverLog("fragment.glsl",
                     "0(6) : error C0000: syntax error, unexpected '}', expecting ',' or "
                     "';' at token \"}\"\n"
                     "0(12) : warning C7533: global variable gl_FragColor is deprecated after "
                     "version 120\n"),
        (Lines{"fragment.glsl:6: error C0000: syntax error, unexpected '}', expecting ',' "
               "or ';' at token \"}\"",
               "fragment.glsl:12: warning C7533: global variable gl_FragColor is "
               "deprecated after version 120"}));
    // AMD and Intel on Windows: CRLF line ends, a summary line of their own
    // that names no place, and a NUL-padded end.
    EXPECT_EQ(
        mapDriverLog("vertex.glsl", "ERROR: 0:6: '}' : syntax error syntax error\r\n"
                                    "ERROR: 0:4: 'undefinedThing' : undeclared identifier\r\n"
                                    "ERROR: 1 compilation errors.  No code generated.\r\n\r\n" +
                                        std::string(3, '\0')),
        (Lines{"vertex.glsl:6: error: '}' : syntax error syntax error",
               "vertex.glsl:4: error: 'undefinedThing' : undeclared identifier",
               "vertex.glsl: ERROR: 1 compilation errors.  No code generated."}));
    // A driver that quotes a long line of source: mapped as any other (it
    // once overflowed the stack from some 30 000 characters on).
    const std::string quoted(1 << 20, 'x');
    EXPECT_EQ(mapDriverLog("fragment.glsl", "0:3(7): error: '" + quoted + "' too long\n"),
              Lines{"fragment.glsl:3:7: error: '" + quoted + "' too long"});
}

TEST(DriverMessages, MesaMessagesAndMissingFilesAsTheBuilderReportsThem) {
    GlContext context;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");

    // Mesa's own log for a semicolon missing at the end of line 5: it
    // reports the '}' of line 6, as "0:6(1): error: ...".
    const std::string broken = readFile(testDataPath("compile-error.frag"));
    GLuint shader = compileStage(GL_FRAGMENT_SHADER, broken);
    const std::string mesaLog = shaderLog(shader);
    glDeleteShader(shader);
    ASSERT_NE(mesaLog.find("0:6(1): error: syntax error"), std::string::npos) << mesaLog;
    Lines mapped = mapDriverLog("fragment.glsl", mesaLog);
    ASSERT_FALSE(mapped.empty());
    EXPECT_EQ(mapped[0].rfind("fragment.glsl:6:1: error: syntax error, unexpected '}'", 0), 0u)
        << mapped[0];

    // The builder prints the same lines, and no link message after a stage
    // that failed to compile.
    dir.write("fragment.glsl", broken);
    BuildResult failed = buildPiece(dir.path());
    EXPECT_FALSE(failed.program);
    EXPECT_EQ(failed.problems, mapped);

    // A missing stage is named, and is all there is to say.
    std::remove(dir.file("fragment.glsl").c_str());
    BuildResult missing = buildPiece(dir.path());
    EXPECT_FALSE(missing.program);
    EXPECT_EQ(missing.problems, Lines{"fragment.glsl: cannot read: No such file or directory"});
    // So is one that opens but cannot be read, not taken for an empty text.
    std::filesystem::create_directory(dir.file("fragment.glsl"));
    BuildResult unreadable = buildPiece(dir.path());
    EXPECT_EQ(unreadable.problems, Lines{"fragment.glsl: cannot read: Is a directory"});
    std::filesystem::remove(dir.file("fragment.glsl"));

    dir.copyTestFile("solid-green.frag", "fragment.glsl");
    BuildResult good = buildPiece(dir.path());
    EXPECT_TRUE(good.program);
    EXPECT_EQ(good.problems, Lines{});
    ASSERT_TRUE(good.texts);
    EXPECT_EQ(strictCheck(good.texts->vertex, good.texts->fragment), Lines{});
}

// Mesa builds each of these; glslang, as stricter drivers do, refuses the
// first two and warns of the third. The program is the driver's; the strict
// check of the texts it built names the author's line.
TEST(DriverMessages, TheStrictCheckWarnsOfWhatThisDriverTakesAndStricterOnesRefuse) {
    GlContext context;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    const std::string head = "#version 330 core\nout vec4 color;\n";
    const struct {
        std::string fragment;
        Lines warnings;
    } cases[] = {
        {head + "void main() {\n    color = vec4(1.0) \\\n;\n}\n",
         {"fragment.glsl:4: warning: 'line continuation' : not supported for this version or the "
          "enabled extensions (this driver took it; stricter drivers refuse it)"}},
        {head + "in vec4 shade;\nvoid main() {\n    color = shade;\n}\n",
         {"fragment.glsl:3: warning: 'in vec4 shade' is not an output of vertex.glsl, which GLSL "
          "3.30 makes a link error (this driver took it; stricter drivers refuse it)"}},
        {head + "float __x = 1.0;\nvoid main() {\n    color = vec4(__x);\n}\n",
         {"fragment.glsl:3: warning: '__x' : identifiers containing consecutive underscores "
          "(\"__\") are reserved (stricter drivers may refuse it)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fragment);
        dir.write("fragment.glsl", c.fragment);
        BuildResult built = buildPiece(dir.path());
        EXPECT_TRUE(built.program);
        EXPECT_EQ(built.problems, Lines{});
        ASSERT_TRUE(built.texts);
        EXPECT_EQ(strictCheck(built.texts->vertex, built.texts->fragment), c.warnings);
    }
}
