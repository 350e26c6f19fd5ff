// Escape and Space, pressed through XTEST as a person would.
#include "DemoProcess.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;
using namespace testsupport;

TEST(HotKeys, EscapeHeldEndsTheRun) {
    XvfbServer server;
    TempDir dir;
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile("probe.frag", "fragment.glsl");
    DemoProcess demo(server.display(), dir);
    XClient x(server.display());
    demo.waitForWindow(x);
    x.holdKey("Escape", 100ms);
    auto status = demo.waitForExit(10s);
    ASSERT_TRUE(status) << "Escape did not end the demo";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo.output(), "");
}
