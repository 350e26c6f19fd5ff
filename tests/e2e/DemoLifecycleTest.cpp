// How a run of the demo starts and ends: close requests, the thirty-second
// end, and the two ways start-up can fail.
#include "DemoProcess.h"
#include "Messages.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;
using namespace testsupport;

namespace {

void copyShaders(const TempDir& dir, const std::string& fragment = "probe.frag") {
    dir.copyTestFile("vertex.glsl", "vertex.glsl");
    dir.copyTestFile(fragment, "fragment.glsl");
}

} // namespace

TEST(DemoLifecycle, CloseRequestEndsTheRunQuietlyWithStatusZero) {
    XvfbServer server;
    TempDir dir;
    copyShaders(dir);
    DemoProcess demo(server.display(), dir);
    XClient x(server.display());
    XWindow window = demo.waitForWindow(x);
    x.sendCloseRequest(window);
    auto status = demo.waitForExit(10s);
    ASSERT_TRUE(status) << "the demo ignored the close request";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo.output(), "");
}

TEST(DemoLifecycle, EndsByItselfAfterThirtySeconds) {
    XvfbServer server;
    TempDir dir;
    copyShaders(dir);
    auto started = std::chrono::steady_clock::now();
    DemoProcess demo(server.display(), dir);
    auto status = demo.waitForExit(60s);
    auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(status) << "still running after 60 s";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(demo.output(), "");
    EXPECT_GE(took, 30s);
}

TEST(DemoLifecycle, NoDisplayFailsToCreateTheWindow) {
    TempDir dir;
    copyShaders(dir);
    DemoProcess demo("", dir, {{"DISPLAY", std::nullopt}});
    auto status = demo.waitForExit(20s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 255);
    EXPECT_EQ(demo.output(), "Failed to create GLFW window\n");
}

TEST(DemoLifecycle, ServerWithoutGlxFailsToCreateTheWindow) {
    XvfbServer server("1920x1080x24", {"-extension", "GLX"});
    TempDir dir;
    copyShaders(dir);
    DemoProcess demo(server.display(), dir);
    auto status = demo.waitForExit(20s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 255);
    EXPECT_EQ(demo.output(), "Failed to create GLFW window\n");
}

TEST(DemoLifecycle, MissingShaderFilesAreReportedAndTheDemoRunsOn) {
    XvfbServer server;
    TempDir dir;
    DemoProcess demo(server.display(), dir);
    XClient x(server.display());
    XWindow window = demo.waitForWindow(x);
    EXPECT_TRUE(demo.process().running());
    x.sendCloseRequest(window);
    auto status = demo.waitForExit(10s);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 0);
    std::string out = demo.output();
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
