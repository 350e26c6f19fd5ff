// Bad shader files, end to end: what the user sees and reads when
// fragment.glsl is garbage at start-up, and when it is missing, a directory,
// is empty, has a log past 1023 characters, starts with a byte-order mark, has
// CRLF line ends, is 10 MB long or is only half written at the moment Space
// is pressed. One demo run goes through all of them in turn, the way a shader
// author would meet them while editing.
//
// tests/unit checks the builder's words for several of these files; here the
// point is what the user of the running demo gets: each report, the last
// program that linked still drawn, and neither a crash nor a stall.
#include "DemoRun.h"
#include "DriverLogs.h"
#include "GlContext.h"
#include "Pictures.h"
#include "RandomBytes.h"
#include "ShaderSources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>

using namespace testsupport;

namespace {

// Bytes of every value, NUL included, as a binary file saved under the
// shader's name would hold. The GL reads the source up to the first NUL, and
// so does the driver's verdict below.
std::string binaryGarbage() {
    std::string garbage = randomBytes(4096, 2017);
    garbage[0] = '\x89'; // a PNG's first byte: clearly not GLSL
    return garbage;
}

// True when `chunk` is `block` one or more times: Space held over several
// frames rebuilds, and reports, once per frame.
::testing::AssertionResult isRepeatsOf(const std::string& chunk, const std::string& block) {
    bool repeats = !block.empty() && !chunk.empty() && chunk.size() % block.size() == 0;
    for (size_t at = 0; repeats && at < chunk.size(); at += block.size()) {
        repeats = chunk.compare(at, block.size(), block) == 0;
    }
    if (repeats) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "printed:\n"
                                         << chunk << "\nexpected repeats of:\n"
                                         << block;
}

bool isProbe(Rgb c) {
    // probe.frag at the centre: red and green 0.5 of the way across.
    return std::abs(c.r - 128) <= 2 && std::abs(c.g - 128) <= 2;
}

// One run of the demo, edited as its shader's author would.
struct Editing {
    Editing() {
        run.useShaders("probe.frag");
        run.dir().write("fragment.glsl", binaryGarbage());
        run.startAndShow();
    }

    // Space for two frames, then the frames that finish the builds it began:
    // the one under way when Space went up and the one the sticky key adds.
    void pressSpace() {
        run.hold({"space"});
        run.waitForFrames(3);
    }

    // What the demo printed since the last look.
    std::string printedSinceLastLook() {
        std::string all = run.output();
        std::string added = all.substr(std::min(printed, all.size()));
        printed = all.size();
        return added;
    }

    Rgb centreSeen() { return centre(run.picture()); }

    Rgb waitForCentre(const std::function<bool(Rgb)>& wanted) {
        return centre(run.waitForPicture([&](const Image& i) { return wanted(centre(i)); }));
    }

    DemoRun run;
    size_t printed = 0;
};

} // namespace

TEST(ShaderFaults, BadFilesAreReportedWhileThePictureCarriesOn) {
    GlContext driver; // for the driver's own verdict on each file
    const std::string vertex = readFile(testDataPath("vertex.glsl"));
    auto expectedBuildOutput = [&](const std::string& fragment) {
        return buildReport(vertex, fragment);
    };
    Editing editing;
    DemoRun& run = editing.run;

    {
        SCOPED_TRACE("binary garbage at start-up");
        // The start-up build and its report come before the first frame.
        EXPECT_EQ(editing.printedSinceLastLook(), expectedBuildOutput(binaryGarbage()));
        // No program is current, so nothing is drawn over the clear colour.
        Rgb seen = editing.centreSeen();
        EXPECT_TRUE(near(seen, {0, 0, 0})) << describe(seen);
        EXPECT_TRUE(run.process().running());
    }
    {
        SCOPED_TRACE("the file fixed");
        run.useShaders("probe.frag");
        editing.pressSpace();
        Rgb seen = editing.waitForCentre(isProbe);
        EXPECT_TRUE(isProbe(seen)) << describe(seen);
        EXPECT_EQ(editing.printedSinceLastLook(), "");
    }

    // What the picture must show from here on: the last program that linked.
    std::function<bool(Rgb)> showing = isProbe;
    auto reported = [&](const std::string& expected) {
        ASSERT_NE(expected, "");
        editing.pressSpace();
        EXPECT_TRUE(isRepeatsOf(editing.printedSinceLastLook(), expected));
        Rgb seen = editing.centreSeen();
        EXPECT_TRUE(showing(seen)) << "the last linked program must stay: " << describe(seen);
    };
    auto shown = [&](const std::string& source, Rgb colour) {
        ASSERT_EQ(expectedBuildOutput(source), "");
        run.dir().write("fragment.glsl", source);
        editing.pressSpace();
        showing = [colour](Rgb c) { return near(c, colour); };
        Rgb seen = editing.waitForCentre(showing);
        EXPECT_TRUE(showing(seen)) << describe(seen);
        EXPECT_EQ(editing.printedSinceLastLook(), "");
    };

    {
        // An editor that saves by removing and renaming leaves a moment
        // without the file.
        SCOPED_TRACE("the file gone");
        std::filesystem::remove(run.dir().file("fragment.glsl"));
        reported(readFailed + expectedBuildOutput(""));
        Rgb before = editing.centreSeen();
        Rgb after = editing.waitForCentre([&](Rgb c) { return c.b != before.b; });
        EXPECT_NE(before.b, after.b) << "the picture stood still: the loop stalled";
    }
    {
        SCOPED_TRACE("a directory in its place");
        std::filesystem::create_directory(run.dir().file("fragment.glsl"));
        reported(readFailed + expectedBuildOutput(""));
        std::filesystem::remove(run.dir().file("fragment.glsl"));
    }
    {
        SCOPED_TRACE("an empty file");
        run.dir().write("fragment.glsl", "");
        reported(expectedBuildOutput("")); // the driver's verdict, no read message
    }
    {
        SCOPED_TRACE("an info log past 1023 characters");
        std::string source = longLogShader();
        run.dir().write("fragment.glsl", source);
        std::string expected = expectedBuildOutput(source);
        // Header, 1023 characters of log, blank line, then the link report.
        ASSERT_EQ(expected.find(linkFailed), compileFailed.size() + 9 + 1023 + 2);
        reported(expected);
    }
    {
        SCOPED_TRACE("a UTF-8 byte-order mark before the version line");
        // Handed to the driver unchanged. Mesa refuses it (a syntax error at
        // the '#' after the mark), so the file is reported and the picture
        // stays; a driver that skipped the mark would show the shader.
        std::string source = "\xEF\xBB\xBF" + solidShader(40, 80, 160);
        std::string verdict = expectedBuildOutput(source);
        if (verdict.empty()) {
            shown(source, {40, 80, 160});
        } else {
            run.dir().write("fragment.glsl", source);
            reported(verdict);
        }
        RecordProperty("byte_order_mark", verdict.empty() ? "accepted" : "refused");
    }
    {
        SCOPED_TRACE("CRLF line ends");
        std::string source;
        for (char c : solidShader(120, 20, 200)) {
            source += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        shown(source, {120, 20, 200});
    }
    {
        // The shader's code comes after 10 MB of comment, so the picture
        // changes only if the whole file reaches the driver.
        SCOPED_TRACE("10 MB of text");
        std::string body = solidShader(200, 100, 50);
        std::string source = "#version 330 core\n";
        const std::string filler = "// ------------------------------------------------------\n";
        while (source.size() < 10 * 1024 * 1024) {
            source += filler;
        }
        source += body.substr(body.find('\n') + 1);
        shown(source, {200, 100, 50});
    }
    {
        SCOPED_TRACE("half written when Space is pressed, then completed");
        std::string full = solidShader(30, 160, 90);
        size_t cut = full.find("fragColor = ") + 12;
        std::string half = full.substr(0, cut);
        run.dir().write("fragment.glsl", half);
        reported(expectedBuildOutput(half));
        std::ofstream(run.dir().file("fragment.glsl"), std::ios::app | std::ios::binary)
            << full.substr(cut);
        shown(full, {30, 160, 90});
    }

    EXPECT_EQ(run.close(), 0) << "the demo did not end well after a close request";
}
