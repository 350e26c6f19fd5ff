#pragma once

#include <chrono>
#include <csignal>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace testsupport {

struct ProcessOptions {
    std::vector<std::string> argv;
    std::string workingDirectory;
    // Variables to set; an empty optional removes the variable.
    std::map<std::string, std::optional<std::string>> environment;
    // Standard output and standard error go to these files.
    std::string stdoutPath;
    std::string stderrPath = "/dev/null";
    // Descriptors of this process handed to the child under other numbers:
    // {5, 3} makes this process's 5 the child's 3 (a pipe, say).
    std::vector<std::pair<int, int>> descriptors;
    // What the child gets when this process dies first. A child that must
    // stop children outside its process group (a browser in a session of its
    // own) takes SIGTERM and stops them itself.
    int deathSignal = SIGKILL;
};

// A child process in a process group of its own. Whatever is still running of
// the group when the value goes away is killed, so a failing test leaves
// nothing behind.
class ChildProcess {
  public:
    explicit ChildProcess(const ProcessOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Exit status (0-255), or 128 + signal number; nothing if it is still
    // running when the timeout ends.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    bool running();
    void kill(int signal);
    // Processor time used so far by all of its threads, user and system, as
    // /proc/<pid>/stat counts it (in clock ticks, 10 ms on Linux).
    std::chrono::duration<double> cpuTime() const;

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

std::string readFile(const std::string& path);

} // namespace testsupport
