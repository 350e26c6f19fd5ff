#include "VideoEncoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> ffmpegArguments(const VideoEncoder::Settings& s) {
    std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
    return {s.ffmpeg, "-hide_banner", "-nostats", "-loglevel", "error",
            // Raw frames on standard input, exactly `fps` of them per second.
            "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size, "-framerate",
            std::to_string(s.fps), "-i", "pipe:0",
            // H.264 in the 4:2:0 form that every player takes, converted with and
            // tagged as BT.709, which players assume for HD video anyway.
            "-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p", "-color_primaries",
            "bt709", "-color_trc", "bt709", "-colorspace", "bt709", "-color_range", "tv", "-c:v",
            "libx264", "-preset", "veryfast", "-crf", "18", "-f", "mp4", "-y", s.path};
}

// The demo's environment without LD_PRELOAD: ffmpeg has no use for this library.
std::vector<std::string> environmentWithoutPreload() {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "LD_PRELOAD=", 11) != 0) {
            result.emplace_back(*entry);
        }
    }
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

VideoEncoder::VideoEncoder(const Settings& settings) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        throw std::runtime_error(std::string("cannot make a socket for ffmpeg: ") +
                                 std::strerror(errno));
    }
    socket_ = ends[0];
    int ffmpegEnd = ends[1];

    // ffmpeg reads frames on its standard input and writes anything it has to
    // say to standard error, never to the demo's standard output.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ffmpegEnd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);

    auto arguments = ffmpegArguments(settings);
    auto environment = environmentWithoutPreload();
    auto argv = pointersTo(arguments);
    auto envp = pointersTo(environment);
    int error = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(ffmpegEnd);
    if (error != 0) {
        close(socket_);
        socket_ = -1;
        pid_ = -1;
        throw std::runtime_error("cannot start " + settings.ffmpeg + ": " + std::strerror(error));
    }
}

VideoEncoder::~VideoEncoder() {
    finish();
}

bool VideoEncoder::write(const std::vector<std::uint8_t>& frame) {
    if (failed_ || finished_) {
        return false;
    }
    const std::uint8_t* data = frame.data();
    std::size_t left = frame.size();
    while (left > 0) {
        ssize_t sent = send(socket_, data, left, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            std::fprintf(stderr, "capture: ffmpeg stopped taking frames (%s)\n",
                         std::strerror(errno));
            failed_ = true;
            return false;
        }
        data += sent;
        left -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool VideoEncoder::finish() {
    if (finished_) {
        return !failed_;
    }
    finished_ = true;
    // End of input: ffmpeg encodes what it holds, writes the file and exits.
    close(socket_);
    socket_ = -1;
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid_, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited < 0) {
        std::fprintf(stderr, "capture: cannot learn how ffmpeg ended (%s)\n", std::strerror(errno));
        failed_ = true;
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "capture: ffmpeg failed (%s %d)\n",
                     WIFEXITED(status) ? "status" : "signal",
                     WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
        failed_ = true;
    }
    return !failed_;
}
