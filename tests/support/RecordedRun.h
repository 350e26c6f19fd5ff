#pragma once

#include "TraceDump.h"

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace conformance {

// A call that is not the one the demo had to make at that point.
struct CallMismatch : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Walks through calls in order, checking each against what is expected next.
class CallCursor {
  public:
    CallCursor(const std::vector<TraceCall>& calls, size_t at) : calls_(calls), at_(at) {}

    // The next call, which must be `name` with these argument values (as the
    // dump prints them; arguments not listed are not compared).
    const TraceCall& expect(const std::string& name,
                            const std::vector<std::pair<std::string, std::string>>& args = {});
    bool nextIs(const std::string& name) const;
    const TraceCall& peek() const;
    bool atEnd() const { return at_ >= calls_.size(); }
    size_t position() const { return at_; }

  private:
    const std::vector<TraceCall>& calls_;
    size_t at_;
};

// One ShaderProgram construction and its use(), as the trace shows it.
struct ShaderBuild {
    std::string program;
    bool linked = false;
    std::string fragmentSource;
};

// Reads a shader build at the cursor: program, vertex stage, fragment stage,
// link, the two deletes and glUseProgram.
ShaderBuild expectShaderBuild(CallCursor& cursor);

// A glViewport's arguments as "x y width height".
std::string viewportOf(const TraceCall& call);

// One pass of the frame loop, from the hot keys to the swap.
struct Frame {
    size_t firstCall = 0;
    std::optional<ShaderBuild> reload;
    std::string currentProgram;
    std::string timeLocation;
    double timeValue = 0;
    std::string sizeLocation;
    // The viewportOf() a glViewport made while events were polled after the
    // swap; empty when there was none.
    std::string viewport;
};

// A run recorded by record_conformance_run, read once per process.
struct RecordedRun {
    std::filesystem::path directory;
    std::vector<TraceCall> calls;
    std::map<std::string, double> facts;
    std::vector<std::pair<double, long>> residentKib;
    std::string output;

    // Index of the start-up glClearColor, the last call before the loop.
    size_t startUpEnd() const;
    // Every frame, checked call by call against the frame sequence; throws
    // CallMismatch at the first deviation.
    std::vector<Frame> frames() const;
    double fact(const std::string& key) const;
};

// A run recorded in `directory`: its calls.dump, run.txt, rss.txt and
// stdout.txt, as the conformance recorder writes them. Throws where one is
// missing.
RecordedRun loadRecordedRun(const std::filesystem::path& directory);

} // namespace conformance
