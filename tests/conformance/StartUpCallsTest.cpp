// The demo's start-up as the GL calls show it: context, loader, shader build,
// viewport, geometry and clear colour, in that order and nothing between.
#include "ConformanceRecording.h"

#include "ChildProcess.h"
#include "DemoContract.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace conformance;

namespace {

// Calls that only ask the GL something, as the loader does while it resolves
// entry points and reads the version and the extension list.
bool isQuery(const TraceCall& call) {
    static const std::set<std::string> queries = {"glXGetProcAddress", "glXGetProcAddressARB",
                                                  "glGetString", "glGetStringi", "glGetIntegerv"};
    return queries.count(call.name) != 0;
}

// The index of the glXMakeCurrent that made the demo's context current for
// good: the last one before the shader build.
size_t contextMadeCurrent(const RecordedRun& run) {
    size_t found = run.calls.size();
    const size_t end = run.startUpEnd();
    for (size_t i = 0; i < end; ++i) {
        if (run.calls[i].name == "glCreateProgram") {
            break;
        }
        if (run.calls[i].name == "glXMakeCurrent" && run.calls[i].arg("ctx") != "NULL") {
            found = i;
        }
    }
    if (found == run.calls.size()) {
        throw CallMismatch("no context was made current before the shader build");
    }
    return found;
}

template <typename T> std::vector<T> readBlob(const RecordedRun& run, const TraceCall& call) {
    // data = blob("blob_call123.bin"), written beside the dump.
    const std::string& data = call.arg("data");
    size_t open = data.find('"');
    size_t close = data.rfind('"');
    if (data.rfind("blob(", 0) != 0 || open == std::string::npos || close <= open) {
        throw CallMismatch("no buffer contents in " + call.text());
    }
    std::string bytes =
        testsupport::readFile((run.directory / data.substr(open + 1, close - open - 1)).string());
    std::vector<T> values(bytes.size() / sizeof(T));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
    return values;
}

} // namespace

TEST(StartUp, ContextIsOpenGl33Core) {
    const RecordedRun& run = recordedRun();
    int created = 0;
    for (const TraceCall& call : run.calls) {
        if (call.name == "glXCreateContextAttribsARB") {
            ++created;
            EXPECT_EQ(call.arg("attrib_list"),
                      "{GLX_CONTEXT_MAJOR_VERSION_ARB, 3, GLX_CONTEXT_MINOR_VERSION_ARB, 3, "
                      "GLX_CONTEXT_PROFILE_MASK_ARB, GLX_CONTEXT_CORE_PROFILE_BIT_ARB, 0}");
        }
    }
    EXPECT_EQ(created, 1);
}

TEST(StartUp, CallsFollowTheStartUpOrderWithNothingBetween) {
    const RecordedRun& run = recordedRun();
    // A call out of order throws CallMismatch, which fails the test.
    CallCursor cursor(run.calls, contextMadeCurrent(run) + 1);
    // The loader reads the version and the extensions, and resolves the
    // entry points; nothing is drawn or created before the shader build.
    while (!cursor.atEnd() && isQuery(cursor.peek())) {
        cursor.expect(cursor.peek().name);
    }
    ShaderBuild shader = expectShaderBuild(cursor);
    EXPECT_TRUE(shader.linked);
    cursor.expect("glViewport", {{"x", "0"},
                                 {"y", "0"},
                                 {"width", std::to_string(demo::width)},
                                 {"height", std::to_string(demo::height)}});

    std::string vao = cursor.expect("glGenVertexArrays", {{"n", "1"}}).pointee("arrays");
    cursor.expect("glBindVertexArray", {{"array", vao}});
    std::string vbo = cursor.expect("glGenBuffers", {{"n", "1"}}).pointee("buffers");
    cursor.expect("glBindBuffer", {{"target", "GL_ARRAY_BUFFER"}, {"buffer", vbo}});
    cursor.expect("glBufferData",
                  {{"target", "GL_ARRAY_BUFFER"}, {"size", "48"}, {"usage", "GL_STATIC_DRAW"}});
    std::string ebo = cursor.expect("glGenBuffers", {{"n", "1"}}).pointee("buffers");
    EXPECT_NE(ebo, vbo);
    cursor.expect("glBindBuffer", {{"target", "GL_ELEMENT_ARRAY_BUFFER"}, {"buffer", ebo}});
    cursor.expect(
        "glBufferData",
        {{"target", "GL_ELEMENT_ARRAY_BUFFER"}, {"size", "24"}, {"usage", "GL_STATIC_DRAW"}});
    cursor.expect("glVertexAttribPointer", {{"index", "0"},
                                            {"size", "3"},
                                            {"type", "GL_FLOAT"},
                                            {"normalized", "GL_FALSE"},
                                            {"stride", "12"},
                                            {"pointer", "NULL"}});
    cursor.expect("glEnableVertexAttribArray", {{"index", "0"}});
    cursor.expect("glClearColor", {{"red", "0"}, {"green", "0"}, {"blue", "0"}, {"alpha", "1"}});
    cursor.expect("glClear");
}

TEST(StartUp, BuffersHoldTheQuadAndItsIndices) {
    const RecordedRun& run = recordedRun();
    std::vector<float> quad;
    std::vector<unsigned> indices;
    const size_t end = run.startUpEnd();
    for (size_t i = 0; i < end; ++i) {
        const TraceCall& call = run.calls[i];
        if (call.name == "glBufferData" && call.arg("target") == "GL_ARRAY_BUFFER") {
            quad = readBlob<float>(run, call);
        } else if (call.name == "glBufferData" && call.arg("target") == "GL_ELEMENT_ARRAY_BUFFER") {
            indices = readBlob<unsigned>(run, call);
        }
    }
    EXPECT_EQ(quad, (std::vector<float>{-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}));
    EXPECT_EQ(indices, (std::vector<unsigned>{0, 1, 2, 2, 0, 3}));
}

TEST(StartUp, NoCapabilityIsEverEnabled) {
    for (const TraceCall& call : recordedRun().calls) {
        EXPECT_NE(call.name, "glEnable") << call.text();
        EXPECT_NE(call.name, "glEnablei") << call.text();
    }
}
