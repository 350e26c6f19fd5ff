#include "RunTool.h"

#include "TempDir.h"

#include <stdexcept>

namespace testsupport {

std::string runTool(const std::vector<std::string>& argv, std::chrono::seconds timeout,
                    const ProcessOptions& options) {
    TempDir logs;
    ProcessOptions tool = options;
    tool.argv = argv;
    tool.stdoutPath = logs.file("out");
    tool.stderrPath = logs.file("err");
    ChildProcess process(tool);
    auto status = process.waitForExit(timeout);
    if (!status || *status != 0) {
        throw std::runtime_error(argv[0] + (status ? " failed: " : " did not end: ") +
                                 readFile(logs.file("err")));
    }
    return readFile(logs.file("out"));
}

} // namespace testsupport
