// The GL loader failing after the window is up: the one message, status 255
// (main's -1), and the windowing library terminated before the process ends,
// which gives the screen its video mode back. LoaderFailureShim.cpp makes the
// failure happen.
#include "FaultSupport.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

using namespace faults;
using namespace testsupport;

TEST(GlLoader, FailureIsReportedAndTheLibraryShutDownBeforeExit) {
    XvfbServer server;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("probe.frag", "fragment.glsl");
    DemoProcess demo(
        server.display(), dir,
        {{"LD_PRELOAD", LOADER_FAILURE_SHIM}, {"VELLOMIRKE_SHIM_LOG", dir.file("shim.log")}});
    auto status = demo.waitForExit(20s);
    ASSERT_TRUE(status) << "the demo hung after the loader failed";
    EXPECT_EQ(*status, 255);
    EXPECT_EQ(demo.output(), "Failed to initialize GLAD\n");
    EXPECT_EQ(readFile(dir.file("shim.log")), "glfwTerminate\nexit\n");
}
