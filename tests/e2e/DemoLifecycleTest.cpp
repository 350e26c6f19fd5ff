// How a run of the demo starts and ends: close requests, the thirty-second
// end, and the two ways start-up can fail.
#include "DemoRun.h"
#include "Messages.h"
#include "Pictures.h"
#include "ReadOnlyFolder.h"
#include "DemoContract.h"

#include <gtest/gtest.h>

using namespace testsupport;

TEST(DemoLifecycle, CloseRequestEndsTheRunQuietlyWithStatusZero) {
    DemoRun run;
    run.useShaders("probe.frag");
    run.startAndShow();
    EXPECT_EQ(run.close(), 0);
    EXPECT_EQ(run.output(), "");
}

TEST(DemoLifecycle, EndsByItselfAfterThirtySecondsWhateverItsArguments) {
    // The demo takes no options: what is on its command line changes nothing.
    DemoRun run;
    run.useShaders("probe.frag");
    auto started = std::chrono::steady_clock::now();
    run.start({demoBinary(), "--help", "-fullscreen", "fragment.glsl"});
    auto status = run.waitForExit(90s);
    auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(status) << "still running after 90 s";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(run.output(), "");
    EXPECT_GE(took, std::chrono::seconds(demo::lengthSeconds));
}

TEST(DemoLifecycle, NoDisplayOrNoGlxFailsToCreateTheWindow) {
    for (DemoRun::Screen screen :
         {DemoRun::Screen{"", {}, true}, DemoRun::Screen{"1920x1080x24", {"-extension", "GLX"}}}) {
        DemoRun run(screen);
        run.useShaders("probe.frag");
        run.start();
        auto status = run.waitForExit();
        ASSERT_TRUE(status);
        EXPECT_EQ(*status, 255);
        EXPECT_EQ(run.output(), windowFailed);
    }
}

TEST(DemoLifecycle, MissingShaderFilesAreReportedAndTheDemoRunsOn) {
    DemoRun run;
    run.startAndShow();
    EXPECT_TRUE(run.process().running());
    EXPECT_EQ(run.close(), 0);
    std::string out = run.output();
    size_t first = out.find(readFailed);
    size_t vertex = out.find(compileFailed + "vertex\n");
    size_t second = out.find(readFailed, first + 1);
    size_t fragment = out.find(compileFailed + "fragment\n");
    size_t link = out.find(linkFailed);
    EXPECT_EQ(first, 0u) << out;
    EXPECT_LT(first, vertex);
    EXPECT_LT(vertex, second);
    EXPECT_LT(second, fragment);
    EXPECT_LT(fragment, link);
    EXPECT_NE(link, std::string::npos) << out;
}

TEST(DemoLifecycle, RunsFromAReadOnlyFolderAndWritesNothingThere) {
    DemoRun run;
    run.useShaders("position-and-time.frag");
    const std::string before = folderState(run.dir().path());
    run.start(onReadOnlyFolder(run.dir().path(), {demoBinary()}));
    run.waitForFirstFrame();
    Image shown = run.waitForPicture([](const Image& i) { return showsPositions(i); });
    EXPECT_TRUE(showsPositions(shown)) << describe(centre(shown));
    EXPECT_EQ(run.close(), 0) << run.errors();
    EXPECT_EQ(run.output(), "");
    EXPECT_EQ(folderState(run.dir().path()), before);
}
