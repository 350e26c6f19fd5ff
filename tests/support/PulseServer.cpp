#include "PulseServer.h"

#include "ToneAnalysis.h"

#include <filesystem>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace audiotest {

namespace {

// True once something accepts connections on the Unix socket at `path`.
bool listening(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        throw std::runtime_error("socket path too long: " + path);
    }
    path.copy(address.sun_path, path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) {
        return false;
    }
    bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

} // namespace

PulseServer::PulseServer(const testsupport::TempDir& dir) {
    const std::string runtime = dir.file("pulse-runtime");
    const std::string home = dir.file("pulse-home");
    std::filesystem::create_directories(runtime);
    std::filesystem::create_directories(home);
    // PulseAudio refuses a runtime directory that others may enter.
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const std::string socket = runtime + "/pulse/native";
    environment_ = {{"XDG_RUNTIME_DIR", runtime},
                    {"HOME", home},
                    {"PULSE_SERVER", "unix:" + socket},
                    // Another server's cookie or client.conf must not matter.
                    {"PULSE_CLIENTCONFIG", std::nullopt},
                    {"PULSE_COOKIE", std::nullopt}};

    testsupport::ProcessOptions options;
    // In the foreground, so that it stays a child of ours; no default script,
    // only the two modules, the sink first so that it exists by the time a
    // client can connect. --disallow-exit keeps clients from ending it.
    options.argv = {"pulseaudio",
                    "--daemonize=no",
                    "--system=false",
                    "--exit-idle-time=-1",
                    "--disallow-exit",
                    "--use-pid-file=no",
                    "--disable-shm=yes",
                    "-n",
                    "--load=module-null-sink sink_name=nullsink rate=" + std::to_string(deviceRate),
                    "--load=module-native-protocol-unix"};
    options.environment = environment_;
    options.stderrPath = dir.file(".pulseaudio-log");
    daemon_ = std::make_unique<testsupport::ChildProcess>(options);

    if (!testsupport::waitUntil([&] { return listening(socket) || !daemon_->running(); }) ||
        !listening(socket)) {
        throw std::runtime_error("pulseaudio did not start: " +
                                 testsupport::readFile(options.stderrPath));
    }
}

std::unique_ptr<testsupport::ChildProcess> recordMonitor(const PulseServer& server,
                                                         const std::string& path) {
    testsupport::ProcessOptions options;
    // A short latency keeps the file close behind what is played: what it
    // holds at a moment was played only just before.
    options.argv = {"parec",
                    "--device=nullsink.monitor",
                    "--raw",
                    "--format=s16le",
                    "--channels=2",
                    "--rate=" + std::to_string(deviceRate),
                    "--latency-msec=200"};
    options.environment = server.clientEnvironment();
    options.stdoutPath = path;
    options.stderrPath = path + ".log";
    return std::make_unique<testsupport::ChildProcess>(options);
}

} // namespace audiotest
