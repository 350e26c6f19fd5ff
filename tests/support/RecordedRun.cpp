#include "RecordedRun.h"

#include "DemoContract.h"

#include "ChildProcess.h"

#include <fstream>
#include <sstream>

namespace conformance {

const TraceCall& CallCursor::peek() const {
    if (atEnd()) {
        throw CallMismatch("the trace ends early");
    }
    return calls_[at_];
}

bool CallCursor::nextIs(const std::string& name) const {
    return !atEnd() && calls_[at_].name == name;
}

const TraceCall& CallCursor::expect(const std::string& name,
                                    const std::vector<std::pair<std::string, std::string>>& args) {
    if (atEnd()) {
        throw CallMismatch("the trace ends where " + name + " was due");
    }
    const TraceCall& call = calls_[at_];
    if (call.name != name) {
        throw CallMismatch(name + " was due, the demo called " + call.text());
    }
    for (const auto& [argName, value] : args) {
        if (call.arg(argName) != value) {
            throw CallMismatch(name + " with " + argName + " = " + value +
                               " was due, the demo called " + call.text());
        }
    }
    ++at_;
    return call;
}

namespace {

struct Stage {
    std::string shader;
    std::string source;
};

// One stage: create, source (one string, NUL-terminated), compile, status
// (and the info log when it failed), attach.
Stage expectStage(CallCursor& cursor, const std::string& program, const std::string& type) {
    Stage stage;
    stage.shader = cursor.expect("glCreateShader", {{"type", type}}).result;
    stage.source = cursor
                       .expect("glShaderSource",
                               {{"shader", stage.shader}, {"count", "1"}, {"length", "NULL"}})
                       .arg("string");
    cursor.expect("glCompileShader", {{"shader", stage.shader}});
    const TraceCall& status =
        cursor.expect("glGetShaderiv", {{"shader", stage.shader}, {"pname", "GL_COMPILE_STATUS"}});
    if (status.pointee("params") == "0") {
        cursor.expect("glGetShaderInfoLog", {{"shader", stage.shader}, {"bufSize", "1024"}});
    }
    cursor.expect("glAttachShader", {{"program", program}, {"shader", stage.shader}});
    return stage;
}

// A name as the trace dump writes a string argument.
std::string quoted(const char* name) {
    return std::string("\"") + name + "\"";
}

std::string readOrThrow(const std::filesystem::path& path) {
    if (!std::filesystem::exists(path)) {
        throw std::runtime_error(path.string() +
                                 " is missing: run the conformance_record test first");
    }
    return testsupport::readFile(path.string());
}

} // namespace

ShaderBuild expectShaderBuild(CallCursor& cursor) {
    ShaderBuild build;
    build.program = cursor.expect("glCreateProgram").result;
    Stage vertex = expectStage(cursor, build.program, "GL_VERTEX_SHADER");
    Stage fragment = expectStage(cursor, build.program, "GL_FRAGMENT_SHADER");
    build.fragmentSource = fragment.source;
    cursor.expect("glLinkProgram", {{"program", build.program}});
    const TraceCall& status =
        cursor.expect("glGetProgramiv", {{"program", build.program}, {"pname", "GL_LINK_STATUS"}});
    build.linked = status.pointee("params") != "0";
    if (!build.linked) {
        cursor.expect("glGetProgramInfoLog", {{"program", build.program}, {"bufSize", "1024"}});
    }
    cursor.expect("glDeleteShader", {{"shader", vertex.shader}});
    cursor.expect("glDeleteShader", {{"shader", fragment.shader}});
    cursor.expect("glUseProgram", {{"program", build.program}});
    return build;
}

std::string viewportOf(const TraceCall& call) {
    return call.arg("x") + " " + call.arg("y") + " " + call.arg("width") + " " + call.arg("height");
}

size_t RecordedRun::startUpEnd() const {
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "glClearColor") {
            return i;
        }
    }
    throw CallMismatch("the demo never set the clear colour");
}

std::vector<Frame> RecordedRun::frames() const {
    std::vector<Frame> frames;
    // The program that glUseProgram last made current; a program that did
    // not link is refused by the GL and leaves the previous one in place.
    std::string current = "0";
    const size_t loopStart = startUpEnd() + 1;
    for (size_t i = 0; i < loopStart; ++i) {
        if (calls[i].name == "glUseProgram") {
            current = calls[i].arg("program");
        }
    }
    CallCursor cursor(calls, loopStart);
    while (cursor.nextIs("glCreateProgram") || cursor.nextIs("glClear")) {
        Frame frame;
        frame.firstCall = cursor.position();
        if (cursor.nextIs("glCreateProgram")) {
            frame.reload = expectShaderBuild(cursor);
            if (frame.reload->linked) {
                current = frame.reload->program;
            }
        }
        cursor.expect("glClear", {{"mask", "GL_COLOR_BUFFER_BIT"}});
        frame.currentProgram =
            cursor.expect("glGetIntegerv", {{"pname", "GL_CURRENT_PROGRAM"}}).pointee("params");
        if (frame.currentProgram != current) {
            throw CallMismatch("the GL answered program " + frame.currentProgram +
                               " as current where the trace made " + current + " current");
        }
        if (frame.currentProgram != "0") {
            frame.timeLocation =
                cursor
                    .expect("glGetUniformLocation",
                            {{"program", current}, {"name", quoted(demo::timeUniform)}})
                    .result;
            frame.timeValue = std::stod(
                cursor.expect("glUniform1f", {{"location", frame.timeLocation}}).arg("v0"));
            frame.sizeLocation =
                cursor
                    .expect("glGetUniformLocation",
                            {{"program", current}, {"name", quoted(demo::sizeUniform)}})
                    .result;
            cursor.expect("glUniform2f", {{"location", frame.sizeLocation},
                                          {"v0", std::to_string(demo::width)},
                                          {"v1", std::to_string(demo::height)}});
        }
        cursor.expect("glDrawElements", {{"mode", "GL_TRIANGLES"},
                                         {"count", std::to_string(demo::rectangleIndexCount)},
                                         {"type", "GL_UNSIGNED_INT"},
                                         {"indices", "NULL"}});
        cursor.expect("glXSwapBuffers");
        if (cursor.nextIs("glViewport")) {
            frame.viewport = viewportOf(cursor.expect("glViewport"));
        }
        frames.push_back(frame);
    }
    // The end: glfwTerminate releases and destroys the context, and nothing
    // else of the GL is called after the last frame.
    cursor.expect("glXMakeCurrent", {{"ctx", "NULL"}});
    while (!cursor.atEnd()) {
        const std::string& name = cursor.peek().name;
        if (name != "glXDestroyWindow" && name != "glXDestroyContext" && name != "glXMakeCurrent") {
            throw CallMismatch("after the last frame the demo called " + cursor.peek().text());
        }
        cursor.expect(name);
    }
    return frames;
}

double RecordedRun::fact(const std::string& key) const {
    auto found = facts.find(key);
    if (found == facts.end()) {
        throw std::runtime_error("the recording has no " + key);
    }
    return found->second;
}

RecordedRun loadRecordedRun(const std::filesystem::path& directory) {
    RecordedRun r;
    r.directory = directory;
    r.calls = parseTraceDump(readOrThrow(r.directory / "calls.dump"));
    std::istringstream facts(readOrThrow(r.directory / "run.txt"));
    std::string key;
    double value = 0;
    while (facts >> key >> value) {
        r.facts[key] = value;
    }
    std::istringstream rss(readOrThrow(r.directory / "rss.txt"));
    double at = 0;
    long kib = 0;
    while (rss >> at >> kib) {
        r.residentKib.emplace_back(at, kib);
    }
    r.output = readOrThrow(r.directory / "stdout.txt");
    return r;
}

} // namespace conformance
