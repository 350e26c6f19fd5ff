#include "ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

namespace {

int statusFrom(int raw) {
    if (WIFEXITED(raw)) {
        return WEXITSTATUS(raw);
    }
    return 128 + WTERMSIG(raw);
}

void redirect(const std::string& path, int target) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        _exit(126);
    }
    dup2(fd, target);
    close(fd);
}

} // namespace

ChildProcess::ChildProcess(const ProcessOptions& options) {
    if (options.argv.empty()) {
        throw std::invalid_argument("no program to run");
    }
    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        setpgid(0, 0);
        // Dies with the test even when the test is killed before it can stop
        // the child itself (a CTest timeout, say).
        prctl(PR_SET_PDEATHSIG, options.deathSignal);
        int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, STDIN_FILENO);
        redirect(options.stdoutPath.empty() ? "/dev/null" : options.stdoutPath, STDOUT_FILENO);
        redirect(options.stderrPath, STDERR_FILENO);
        // Out of the way first, so that no source is overwritten by another's
        // target; dup2 leaves the new numbers open across exec.
        std::vector<std::pair<int, int>> moved;
        for (const auto& [source, target] : options.descriptors) {
            moved.emplace_back(fcntl(source, F_DUPFD_CLOEXEC, 100), target);
        }
        for (const auto& [source, target] : moved) {
            if (source < 0 || dup2(source, target) < 0) {
                _exit(124);
            }
        }
        for (const auto& [name, value] : options.environment) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
            _exit(125);
        }
        std::vector<char*> argv;
        for (const auto& a : options.argv) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    // Also set here, so that the group exists before the first kill.
    setpgid(pid_, pid_);
}

ChildProcess::~ChildProcess() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(-pid_, SIGKILL);
    if (!status_) {
        waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int raw = 0;
        pid_t r = waitpid(pid_, &raw, WNOHANG);
        if (r == pid_) {
            status_ = statusFrom(raw);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
}

bool ChildProcess::running() {
    return !waitForExit(std::chrono::milliseconds(0));
}

void ChildProcess::kill(int signal) {
    if (!status_) {
        ::kill(pid_, signal);
    }
}

std::chrono::duration<double> ChildProcess::cpuTime() const {
    const std::string stat = readFile("/proc/" + std::to_string(pid_) + "/stat");
    // The command name, in parentheses, may hold spaces; the fields after it
    // are state, ppid, ..., with utime and stime the 12th and 13th.
    const auto close = stat.rfind(')');
    if (close == std::string::npos) {
        throw std::runtime_error("no /proc stat for process " + std::to_string(pid_));
    }
    std::istringstream fields(stat.substr(close + 1));
    std::string skipped;
    for (int i = 0; i < 11; ++i) {
        fields >> skipped;
    }
    unsigned long long user = 0, system = 0;
    if (!(fields >> user >> system)) {
        throw std::runtime_error("unreadable /proc stat for process " + std::to_string(pid_));
    }
    return std::chrono::duration<double>(double(user + system) / double(sysconf(_SC_CLK_TCK)));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace testsupport
