// --import on shaders written for online shader sites: what it accepts runs
// in the demo without a message, what it cannot map it refuses by name.
#include "DemoRun.h"
#include "Importer.h"
#include "LiveCommands.h"
#include "Pictures.h"
#include "ReadOnlyFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testsupport;

TEST(Import, AcceptedShadersRunInTheDemoWithoutAMessage) {
    for (const char* source : {"rings.mainimage.glsl", "frame-stripes.mainimage.glsl"}) {
        SCOPED_TRACE(source);
        DemoRun run;
        std::string errors;
        ASSERT_EQ(runLiveCommand(
                      {"--import", testDataPath(std::string("live/") + source), run.dir().path()},
                      run.dir(), errors),
                  0)
            << errors;
        ASSERT_TRUE(std::filesystem::exists(run.dir().file("vertex.glsl")));

        run.startAndShow();
        // Both shaders paint no black pixel in the middle of the screen.
        auto lit = [](const Image& i) {
            Rgb c = i.at(960, 540);
            return c.r + c.g + c.b > 30;
        };
        Image picture = run.waitForPicture(lit);
        EXPECT_EQ(run.close(), 0);
        EXPECT_EQ(run.output(), "");
        EXPECT_TRUE(lit(picture)) << describe(picture.at(960, 540));
    }
}

TEST(Import, RefusesWhatItCannotMapAndNeverOverwritesUnasked) {
    TempDir dir;
    std::string errors;
    EXPECT_EQ(runLiveCommand({"--imprt", "x.glsl"}, dir, errors), 2);
    EXPECT_NE(errors.find("unknown option '--imprt'"), std::string::npos) << errors;

    // Named as used, in the code only: a comment's iDate does not count.
    EXPECT_EQ(
        runLiveCommand({"--import", testDataPath("live/mouse-texture.mainimage.glsl"), dir.path()},
                       dir, errors),
        1);
    EXPECT_NE(errors.find("iMouse, iChannel0"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("iDate"), std::string::npos) << errors;
    EXPECT_FALSE(std::filesystem::exists(dir.file("fragment.glsl")));

    dir.write("fragment.glsl", "// the author's own piece\n");
    const std::string rings = testDataPath("live/rings.mainimage.glsl");
    EXPECT_EQ(runLiveCommand({"--import", rings, dir.path()}, dir, errors), 1);
    EXPECT_EQ(readFile(dir.file("fragment.glsl")), "// the author's own piece\n");
    EXPECT_EQ(runLiveCommand({"--import", rings, "--force", dir.path()}, dir, errors), 0) << errors;
    EXPECT_NE(readFile(dir.file("fragment.glsl")).find("mainImage(color, gl_FragCoord.xy)"),
              std::string::npos);

    // An empty folder name is no folder, not the root ("/fragment.glsl").
    EXPECT_EQ(runLiveCommand({""}, dir, errors), 2);
    EXPECT_NE(errors.find("the folder's name is empty"), std::string::npos) << errors;
}

// Inputs the fuzzer found that were accepted and then could not build in the
// demo: each is refused, saying why.
TEST(Import, RefusesWhatTheDemoCouldNotBuild) {
    const std::string rings = readFile(testDataPath("live/rings.mainimage.glsl"));
    ASSERT_TRUE(convertMainImage(rings, "rings.glsl").refused.empty());
    auto refusal = [](const std::string& source) {
        std::string reasons;
        for (const std::string& reason : convertMainImage(source, "shader.glsl").refused) {
            reasons += reason + "\n";
        }
        return reasons;
    };
    // The GL stops reading at a NUL, before the main() that the import adds.
    EXPECT_NE(refusal(rings + std::string("\0 trailing bytes", 16)).find("NUL"), std::string::npos);
    // A comment left open swallows that main().
    EXPECT_NE(refusal(rings + "/* unfinished").find("/* comment that never ends"),
              std::string::npos);
    // A second #version, hidden from a plain look by a comment.
    EXPECT_NE(refusal("#/**/version 330\n" + rings).find("#version"), std::string::npos);
    // Names the import declares for the demo's uniforms and output.
    EXPECT_NE(refusal("float timeValue(float t) { return t; }\n" + rings).find("own timeValue"),
              std::string::npos);
    // No mainImage at all: the one word is part of a number.
    EXPECT_NE(refusal("float x = 2mainImage;\n").find("no mainImage"), std::string::npos);
}

TEST(Import, NamesTheCauseWhenAFileCannotBeReadOrWritten) {
    TempDir dir;
    std::string errors;
    std::filesystem::create_directory(dir.file("shader.glsl"));
    EXPECT_EQ(runLiveCommand({"--import", dir.file("shader.glsl"), dir.path()}, dir, errors), 1);
    EXPECT_NE(errors.find("cannot read " + dir.file("shader.glsl") + ": Is a directory"),
              std::string::npos)
        << errors;

    // The temporary file's place is taken by a folder that the clean-up
    // cannot remove: the message names why the write failed, not the clean-up.
    std::filesystem::create_directories(dir.file("fragment.glsl.vellomirke-tmp/kept"));
    EXPECT_EQ(runLiveCommand({"--import", testDataPath("live/rings.mainimage.glsl"), dir.path()},
                             dir, errors),
              1);
    EXPECT_NE(errors.find("cannot write " + dir.file("fragment.glsl") + ": Is a directory"),
              std::string::npos)
        << errors;
}

// The two commands that write into a piece's folder, on read-only media: each
// says so, writes nothing and fails; the page can go elsewhere with --out.
TEST(Import, AndTheWebExportSayWhenThePiecesFolderIsReadOnlyAndWriteNothing) {
    TempDir scratch;
    const std::string piece = scratch.file("piece");
    std::filesystem::create_directory(piece);
    std::filesystem::copy_file(testDataPath("vertex.glsl"), piece + "/vertex.glsl");
    const std::string before = folderState(piece);
    std::string errors;

    EXPECT_EQ(runLiveCommand({"--import", testDataPath("live/rings.mainimage.glsl"), piece},
                             scratch, errors, piece),
              1);
    EXPECT_EQ(errors, "vellomirke-live: cannot write " + piece +
                          "/fragment.glsl: its folder is read-only; nothing was written\n");
    EXPECT_EQ(folderState(piece), before);

    std::filesystem::copy_file(testDataPath("solid-green.frag"), piece + "/fragment.glsl");
    const std::string withFragment = folderState(piece);
    EXPECT_EQ(runLiveCommand({"--export-web", piece}, scratch, errors, piece), 1);
    EXPECT_EQ(errors, "vellomirke-live: cannot write " + piece +
                          "/piece.html: its folder is read-only; nothing was written "
                          "(--out FILE writes the page elsewhere)\n");
    EXPECT_EQ(folderState(piece), withFragment);

    EXPECT_EQ(runLiveCommand({"--export-web", "--out", scratch.file("page.html"), piece}, scratch,
                             errors, piece),
              0)
        << errors;
    EXPECT_TRUE(std::filesystem::is_regular_file(scratch.file("page.html")));
    EXPECT_EQ(folderState(piece), withFragment);
}

// The names that public shaders use beside iTime: each piece it makes is
// ready by --check, in a folder that the import makes.
TEST(Import, GivesTheNamesPublicShadersUseInAFolderItMakes) {
    TempDir scratch;
    const std::string older =
        "// before 2017 the time was iGlobalTime\n"
        "void mainImage(out vec4 fragColor, in vec2 fragCoord) {\n"
        "    fragColor = vec4(fragCoord / iResolution.xy, sin(iGlobalTime), 1.0);\n}\n"
        "void mainVR(out vec4 c, in vec2 p, in vec3 origin, in vec3 direction) {\n"
        "    mainImage(c, p);\n}\n";
    const std::string rates = "void mainImage(out vec4 fragColor, in vec2 fragCoord) {\n"
                              "    float step = iTimeDelta * iFrameRate;\n"
                              "    fragColor = vec4(step, iSampleRate / 96000.0, 0.0, 1.0);\n}\n";
    for (const auto& [name, text] : {std::pair{"older.glsl", older}, {"rates.glsl", rates}}) {
        SCOPED_TRACE(name);
        scratch.write(name, text);
        const std::string piece = scratch.file(std::string(name) + ".piece");
        std::string errors, output;
        ASSERT_EQ(runLiveCommand({"--import", scratch.file(name), piece}, scratch, errors), 0)
            << errors;
        EXPECT_EQ(errors, "vellomirke-live: made " + piece + "\nvellomirke-live: wrote " + piece +
                              "/fragment.glsl\n");
        EXPECT_EQ(runLiveCommand({"--check", piece}, scratch, errors, output, {}), 0) << output;
    }

    // Not its parent: nothing is made, nothing written.
    std::string errors;
    EXPECT_EQ(runLiveCommand({"--import", scratch.file("rates.glsl"), scratch.file("no/piece")},
                             scratch, errors),
              1);
    EXPECT_EQ(errors, "vellomirke-live: cannot make " + scratch.file("no/piece") +
                          ": there is no folder " + scratch.file("no") + "; nothing was written\n");
    EXPECT_FALSE(std::filesystem::exists(scratch.file("no")));
}

// What would not build once imported is not written: its problems at the
// shader's own lines, not the written file's.
TEST(Import, WritesNothingThatWouldNotBuildAndSaysWhereInTheShader) {
    TempDir scratch;
    scratch.write("noise.glsl", "// noise() is the author's, from another file\n"
                                "void mainImage(out vec4 fragColor, in vec2 fragCoord) {\n"
                                "    fragColor = vec4(vec3(noise(fragCoord)), 1.0);\n}\n");
    std::string errors;
    EXPECT_EQ(runLiveCommand({"--import", scratch.file("noise.glsl"), scratch.file("piece")},
                             scratch, errors),
              1);
    EXPECT_NE(errors.find(scratch.file("noise.glsl") +
                          ":3: error: 'noise' : no matching overloaded function found"),
              std::string::npos)
        << errors;
    EXPECT_FALSE(std::filesystem::exists(scratch.file("piece")));
}
