// vellomirke-live --check: a piece's readiness in one command, with no
// display (runLiveCommand unsets DISPLAY) and no sound device: SDL is told
// of a sound server that is not there, which the check must never ask.
#include "LiveCommands.h"
#include "Messages.h"
#include "ToneTrack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

using namespace testsupport;

namespace {

const std::string sampleVertex = readFile(VELLOMIRKE_SAMPLE_PIECE "/vertex.glsl");

// A fragment stage that paints one colour, with `declarations` before its
// main and `body` in it.
std::string fragmentWith(const std::string& declarations, const std::string& body = "") {
    return "#version 330 core\nout vec4 color;\n" + declarations + "void main() {\n" + body +
           "    color = vec4(0.0, 0.0, 1.0, 1.0);\n}\n";
}

// The piece's folder as it stands: names, sizes and times.
std::string listing(const TempDir& dir) {
    std::ostringstream out;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        out << entry.path().filename().string() << ' ' << entry.file_size() << ' '
            << entry.last_write_time().time_since_epoch().count() << '\n';
    }
    return out.str();
}

int check(const TempDir& piece, std::string& output) {
    TempDir scratch;
    std::string errors;
    const int status =
        runLiveCommand({"--check", piece.path()}, scratch, errors, output,
                       {{"SDL_AUDIODRIVER", "pulse"}, {"PULSE_SERVER", scratch.file("no-server")}});
    EXPECT_EQ(errors, "") << output;
    return status;
}

} // namespace

// The sample piece as the package ships it, with its soundtrack.
TEST(PieceCheck, TheSamplePieceIsReadyAndTheCheckWritesNothing) {
    TempDir piece;
    for (const char* file : {"vertex.glsl", "fragment.glsl"}) {
        std::filesystem::copy_file(std::string(VELLOMIRKE_SAMPLE_PIECE "/") + file,
                                   piece.file(file));
    }
    std::filesystem::copy_file(VELLOMIRKE_SAMPLE_SOUNDTRACK, piece.file("audio.mp3"));
    const std::string before = listing(piece);

    std::string output;
    EXPECT_EQ(check(piece, output), 0) << output;
    std::cout << output;
    for (const char* line :
         {"vertex.glsl: ok: present", "fragment.glsl: ok: present",
          "shaders: ok: both stages build as GLSL 3.30 core and link",
          "vertex.glsl:4: ok: position: 'in vec3 position'",
          "ok: timeValue: 'uniform float timeValue'", "ok: windowSize: 'uniform vec2 windowSize'",
          "web page: ok: both stages build as GLSL ES 3.00",
          "audio.mp3: ok: 30.0 s, decoded by SDL2_mixer: the demo ends at 30 s, before it loops",
          "\nready: nothing would stop the piece (0 warnings)\n"}) {
        EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
    }
    EXPECT_EQ(listing(piece), before) << "--check changed the piece's folder";
}

// Each kind of problem on its own, in the sample vertex stage's company
// unless the case brings its own: the status, and the line that names it.
TEST(PieceCheck, EachProblemIsNamedAtItsLine) {
    const std::string uvVertex = "#version 330 core\nlayout(location = 0) in vec3 position;\n"
                                 "out vec2 uv;\nvoid main() {\n    uv = position.xy;\n"
                                 "    gl_Position = vec4(position, 1.0);\n}\n";
    enum class Music { None, Short, NotAudio };
    struct Case {
        const char* what;
        std::string vertex, fragment;
        Music music;
        int status;
        std::string line;
    };
    const Case cases[] = {
        {"a NUL byte", sampleVertex, fragmentWith("") + std::string(1, '\0') + "\n", Music::None, 1,
         "fragment.glsl:6: error: a NUL byte"},
        // Mesa builds it; glslang refuses a line continuation in GLSL 3.30.
        {"what glslang refuses", sampleVertex, fragmentWith("", "    float a = 1.0 \\\n;\n"),
         Music::None, 1,
         "fragment.glsl:4: error: 'line continuation' : not supported for this version"},
        {"what glslang warns of", sampleVertex, fragmentWith("float __x = 1.0;\n"), Music::None, 0,
         "fragment.glsl:3: warning: '__x' : identifiers containing consecutive underscores"},
        // Mesa links it with a warning; glslang's linker is silent.
        {"an input the vertex stage does not write", sampleVertex,
         fragmentWith("in vec4 shade;\n", "    vec4 s = shade;\n"), Music::None, 1,
         "fragment.glsl:3: error: 'in vec4 shade' is not an output of vertex.glsl"},
        {"stages whose types differ", uvVertex, fragmentWith("in vec3 uv;\n", "    vec3 s = uv;\n"),
         Music::None, 1,
         "fragment.glsl:3: error: 'in vec3 uv' is an 'out vec2' in vertex.glsl (line 3)"},
        // Read after the preprocessor: the branch taken, the macro expanded.
        {"a uniform through a macro in an #if", sampleVertex,
         fragmentWith("#define SIZE vec3\n#if 0\nuniform vec2 windowSize;\n#else\n"
                      "uniform SIZE windowSize;\n#endif\n"),
         Music::None, 1,
         "fragment.glsl:7: error: windowSize: 'uniform vec3 windowSize' gets nothing"},
        {"blocks whose members differ",
         "#version 330 core\nlayout(location = 0) in vec3 position;\nout Shade { vec2 uv; } s;\n"
         "void main() {\n    s.uv = position.xy;\n    gl_Position = vec4(position, 1.0);\n}\n",
         fragmentWith("in Shade { vec3 uv; } s;\n", "    vec3 c = s.uv;\n"), Music::None, 1,
         "fragment.glsl:3: error: 'in { vec3 uv; } Shade' is an 'out { vec2 uv; }' in vertex.glsl "
         "(line 3)"},
        // What each #version asks of a core context.
        {"an ES stage", "#version 300 es\n" + sampleVertex.substr(18), fragmentWith(""),
         Music::None, 1, "vertex.glsl:1: error: GLSL ES: the demo builds"},
        {"a compatibility stage", sampleVertex,
         "// shade\n#version 150 compatibility" + fragmentWith("").substr(17), Music::None, 1,
         "fragment.glsl:2: error: the compatibility profile"},
        {"a later version", sampleVertex, "#version 410 core" + fragmentWith("").substr(17),
         Music::None, 0, "fragment.glsl:1: warning: GLSL 4.10 needs more than the OpenGL 3.3"},
        {"a position that is not floats",
         "#version 330 core\nlayout(location = 0) in ivec3 position;\n"
         "void main() {\n    gl_Position = vec4(position, 1.0);\n}\n",
         fragmentWith(""), Music::None, 1, "vertex.glsl:2: error: position: 'in ivec3 position'"},
        {"an int timeValue", sampleVertex,
         fragmentWith("uniform int timeValue;\n", "    float t = float(timeValue);\n"), Music::None,
         1,
         "fragment.glsl:3: error: timeValue: 'uniform int timeValue' gets nothing: the demo sets "
         "a float"},
        {"a vec3 windowSize", sampleVertex, fragmentWith("uniform vec3 windowSize;\n"), Music::None,
         1, "fragment.glsl:3: error: windowSize: 'uniform vec3 windowSize' gets nothing"},
        // GLSL ES converts no int to a float: the page alone would fail.
        {"what only the page refuses", sampleVertex, fragmentWith("", "    float x = 1;\n"),
         Music::None, 0, "fragment.glsl:4: warning: web page (GLSL ES 3.00, --export-web): "},
        // The encoder pads the track by a few hundredths of a second.
        {"a soundtrack that loops", sampleVertex, fragmentWith(""), Music::Short, 0,
         "s, decoded by SDL2_mixer: the demo loops it, starting it again at 4."},
        {"an audio.mp3 that is not sound", sampleVertex, fragmentWith(""), Music::NotAudio, 1,
         "audio.mp3: error: SDL2_mixer cannot decode it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir piece;
        piece.write("vertex.glsl", c.vertex);
        piece.write("fragment.glsl", c.fragment);
        if (c.music == Music::Short) {
            writeTones(piece, "audio.mp3", {{440.0, 4}});
        } else if (c.music == Music::NotAudio) {
            piece.write("audio.mp3", "not a sound, a note about one\n");
        }
        std::string output;
        EXPECT_EQ(check(piece, output), c.status) << output;
        EXPECT_EQ(occurrences(output, c.line), 1) << output;
        EXPECT_NE(output.find(c.status == 0 ? "\nready: " : "\nnot ready: "), std::string::npos)
            << output;
    }
}

TEST(PieceCheck, AFolderWithoutShadersIsNotReadyAndAWrongCommandLineIsStatusTwo) {
    TempDir piece;
    std::string output;
    EXPECT_EQ(check(piece, output), 1);
    EXPECT_EQ(output, "vertex.glsl: error: cannot read: No such file or directory\n"
                      "fragment.glsl: error: cannot read: No such file or directory\n"
                      "shaders: not checked: GLSL 3.30, the demo's inputs and the web page need "
                      "both stages\n"
                      "audio.mp3: ok: none: the piece is silent, as the demo then is\n"
                      "not ready: 2 errors, 0 warnings\n");

    std::string errors;
    EXPECT_EQ(runLiveCommand({"--check", "--export-web", piece.path()}, piece, errors), 2);
    EXPECT_NE(errors.find("--check and --export-web are two commands; give one"), std::string::npos)
        << errors;
}
