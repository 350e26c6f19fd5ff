#include "PulseDaemon.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

pid_t spawn(const char* const* argv) {
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) !=
        0) {
        throw std::runtime_error(std::string("cannot start ") + argv[0]);
    }
    return pid;
}

bool listening(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    bool connected =
        fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) {
        close(fd);
    }
    return connected;
}

} // namespace

bool runToEnd(const char* const* argv) {
    int status = 0;
    return waitpid(spawn(argv), &status, 0) > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

PulseDaemon::PulseDaemon(const std::string& directory) {
    const std::string runtime = directory + "/runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const std::string socket = runtime + "/pulse/native";
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("HOME", directory.c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    unsetenv("PULSE_CLIENTCONFIG");
    unsetenv("PULSE_COOKIE");

    const char* argv[] = {"pulseaudio", "--daemonize=no", "--system=false", "--exit-idle-time=-1",
                          "--disallow-exit", "--use-pid-file=no", "--log-level=error",
                          // Copies over the socket; shared memory gains nothing here
                          // and complains about the forked trial processes.
                          "--disable-shm=yes", "-n",
                          "--load=module-null-sink sink_name=nullsink rate=48000",
                          "--load=module-native-protocol-unix", nullptr};
    pid_ = spawn(argv);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!listening(socket)) {
        if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            throw std::runtime_error("pulseaudio did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

PulseDaemon::~PulseDaemon() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}
