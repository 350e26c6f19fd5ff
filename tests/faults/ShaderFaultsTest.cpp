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
#include "DriverVerdict.h"
#include "FaultSupport.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <thread>

using namespace faults;
using namespace testsupport;

namespace {

// Deterministic bytes of every value, NUL included, as a binary file saved
// under the shader's name would hold. The GL reads the source up to the first
// NUL, and so does the builder's verdict below.
std::string binaryGarbage() {
    std::mt19937 bytes(2017);
    std::string garbage(4096, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(bytes() & 0xff);
    }
    garbage[0] = '\x89'; // a PNG's first byte: clearly not GLSL
    return garbage;
}

// True when `chunk` is `block` one or more times: Space held over several
// frames rebuilds, and reports, once per frame.
::testing::AssertionResult isRepeatsOf(const std::string& chunk, const std::string& block) {
    if (block.empty() || chunk.empty() || chunk.size() % block.size() != 0) {
        return ::testing::AssertionFailure() << "printed:\n"
                                             << chunk << "\nexpected repeats of:\n"
                                             << block;
    }
    for (size_t at = 0; at < chunk.size(); at += block.size()) {
        if (chunk.compare(at, block.size(), block) != 0) {
            return ::testing::AssertionFailure() << "printed:\n"
                                                 << chunk << "\nexpected repeats of:\n"
                                                 << block;
        }
    }
    return ::testing::AssertionSuccess();
}

bool isProbe(Rgb c) {
    // probe.frag at the centre: red and green 0.5 of the way across.
    return std::abs(c.r - 128) <= 2 && std::abs(c.g - 128) <= 2;
}

class RunningDemo {
  public:
    RunningDemo() {
        dir.copyTestFile("vertex.glsl", "vertex.glsl");
        dir.write("fragment.glsl", binaryGarbage());
        demo = std::make_unique<DemoProcess>(server.display(), dir);
        x = std::make_unique<XClient>(server.display());
        window = demo->waitForWindow(*x);
    }

    // Space, held long enough for the demo to see it; returns what the
    // rebuilds printed, waiting for it when messages are expected.
    std::string pressSpace(bool expectMessages) {
        x->holdKey("space", 150ms);
        if (expectMessages) {
            std::string added = waitForNewOutput(*demo, printed);
            printed += added.size();
            return added;
        }
        return "";
    }

    // Nothing printed since the last look, after the demo had time to print.
    std::string printedSinceLastLook() {
        std::this_thread::sleep_for(300ms);
        std::string all = demo->output();
        std::string added = all.substr(std::min(printed, all.size()));
        printed = all.size();
        return added;
    }

    XvfbServer server;
    TempDir dir;
    std::unique_ptr<DemoProcess> demo;
    std::unique_ptr<XClient> x;
    XWindow window = 0;
    size_t printed = 0;
};

} // namespace

TEST(ShaderFaults, BadFilesAreReportedWhileThePictureCarriesOn) {
    RunningDemo run;
    auto& x = *run.x;

    {
        SCOPED_TRACE("binary garbage at start-up");
        std::string added = waitForNewOutput(*run.demo, 0);
        run.printed = added.size();
        EXPECT_EQ(added, expectedBuildOutput(binaryGarbage().c_str()));
        // No program is current, so nothing is drawn over the clear colour.
        EXPECT_TRUE(near(centre(x, run.window), {0, 0, 0})) << describe(centre(x, run.window));
        EXPECT_TRUE(run.demo->process().running());
    }
    {
        SCOPED_TRACE("the file fixed");
        run.dir.copyTestFile("probe.frag", "fragment.glsl");
        run.pressSpace(false);
        Rgb seen = waitForCentre(x, run.window, isProbe);
        EXPECT_TRUE(isProbe(seen)) << describe(seen);
        EXPECT_EQ(run.printedSinceLastLook(), "");
    }

    // What the picture must show from here on: the last program that linked.
    std::function<bool(Rgb)> showing = isProbe;
    auto reported = [&](const std::string& expected) {
        ASSERT_NE(expected, "");
        EXPECT_TRUE(isRepeatsOf(run.pressSpace(true), expected));
        Rgb seen = centre(x, run.window);
        EXPECT_TRUE(showing(seen)) << "the last linked program must stay: " << describe(seen);
    };
    auto shown = [&](const std::string& source, Rgb colour) {
        ASSERT_EQ(expectedBuildOutput(source), "");
        run.dir.write("fragment.glsl", source);
        run.pressSpace(false);
        showing = [colour](Rgb c) { return near(c, colour); };
        Rgb seen = waitForCentre(x, run.window, showing, 30s);
        EXPECT_TRUE(showing(seen)) << describe(seen);
        EXPECT_EQ(run.printedSinceLastLook(), "");
    };

    {
        // An editor that saves by removing and renaming leaves a moment
        // without the file.
        SCOPED_TRACE("the file gone");
        std::filesystem::remove(run.dir.file("fragment.glsl"));
        reported(readFailed + expectedBuildOutput(""));
        Rgb before = centre(x, run.window);
        std::this_thread::sleep_for(600ms);
        Rgb after = centre(x, run.window);
        EXPECT_NE(before.b, after.b) << "the picture stood still: the loop stalled";
    }
    {
        SCOPED_TRACE("a directory in its place");
        std::filesystem::create_directory(run.dir.file("fragment.glsl"));
        reported(readFailed + expectedBuildOutput(""));
        std::filesystem::remove(run.dir.file("fragment.glsl"));
    }
    {
        SCOPED_TRACE("an empty file");
        run.dir.write("fragment.glsl", "");
        reported(expectedBuildOutput("")); // the driver's verdict, no read message
    }
    {
        SCOPED_TRACE("an info log past 1023 characters");
        std::string source = "#version 330 core\nout vec4 fragColor;\nvoid main() {\n";
        for (int i = 0; i < 200; ++i) {
            source += "    fragColor = undefinedName" + std::to_string(i) + ";\n";
        }
        source += "}\n";
        run.dir.write("fragment.glsl", source);
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
            run.dir.write("fragment.glsl", source);
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
        run.dir.write("fragment.glsl", half);
        reported(expectedBuildOutput(half));
        std::ofstream(run.dir.file("fragment.glsl"), std::ios::app | std::ios::binary)
            << full.substr(cut);
        shown(full, {30, 160, 90});
    }

    x.sendCloseRequest(run.window);
    auto status = run.demo->waitForExit(10s);
    ASSERT_TRUE(status) << "the demo did not end after a close request";
    EXPECT_EQ(*status, 0);
}
