// The GL loader failing after the window is up: the one message, status 255
// (main's -1), and the windowing library terminated before the process ends,
// which gives the screen its video mode back. LoaderFailureShim.cpp makes the
// failure happen.
#include "DemoRun.h"
#include "Messages.h"

#include <gtest/gtest.h>

using namespace testsupport;

TEST(GlLoader, FailureIsReportedAndTheLibraryShutDownBeforeExit) {
    DemoRun run;
    run.useShaders("probe.frag");
    run.environment()["LD_PRELOAD"] = LOADER_FAILURE_SHIM;
    run.environment()["VELLOMIRKE_SHIM_LOG"] = run.dir().file("shim.log");
    run.start();
    auto status = run.waitForExit();
    ASSERT_TRUE(status) << "the demo hung after the loader failed";
    EXPECT_EQ(*status, 255);
    EXPECT_EQ(run.output(), loaderFailed);
    EXPECT_EQ(readFile(run.dir().file("shim.log")), "glfwTerminate\nexit\n");
}
