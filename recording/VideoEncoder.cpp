#include "VideoEncoder.h"

#include "PlaneLayout.h"

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

// Frames the frame loop may be ahead of ffmpeg.
constexpr std::size_t queuedFrames = 4;

std::vector<std::string> ffmpegArguments(const VideoEncoder::Settings& s) {
    std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
    return {s.ffmpeg, "-hide_banner", "-nostats", "-loglevel", "error",
            // Raw frames on standard input, exactly `fps` of them per second.
            "-f", "rawvideo", "-pix_fmt", "yuv420p", "-video_size", size, "-framerate",
            std::to_string(s.fps), "-i", "pipe:0",
            // H.264 High profile in the 4:2:0 form that every player and video
            // site takes, encoded as it comes: the frames are already
            // converted with BT.709's matrix to its limited range, which
            // players assume for HD video anyway, and are tagged so. The
            // frames carry the tags (setparams): ffmpeg 7 takes the
            // primaries and transfer from the frames and drops the output
            // options' (ffmpeg 5 takes either).
            "-vf", "setparams=range=tv:color_primaries=bt709:color_trc=bt709:colorspace=bt709",
            "-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709",
            "-color_range", "tv", "-c:v", "libx264", "-profile:v", "high", "-preset", "veryfast",
            "-crf", "18", "-f", "mp4", "-y", s.path};
}

// This process's environment without LD_PRELOAD: ffmpeg has no use for a
// library preloaded into the recording process (the capture's, in the demo).
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
    // say to standard error, never to the recording process's standard output.
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

    // From here on ffmpeg runs: a failure must end it, since no destructor
    // runs for an object whose constructor throws.
    try {
        const std::size_t planeBytes = PlaneLayout(settings.width, settings.height).planeBytes();
        convert_ = settings.convert;
        if (convert_) {
            planes_.resize(planeBytes);
        }
        const std::size_t inputBytes = convert_ ? settings.inputBytes : planeBytes;
        buffers_.resize(queuedFrames);
        for (std::size_t i = 0; i < buffers_.size(); ++i) {
            buffers_[i].resize(inputBytes);
            free_.push_back(i);
        }
        sender_ = std::thread(&VideoEncoder::sendFrames, this);
    } catch (...) {
        endFfmpeg();
        throw;
    }
}

VideoEncoder::~VideoEncoder() {
    finish();
}

bool VideoEncoder::write(const FrameFill& fill) {
    std::size_t buffer = 0;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || closing_ || !free_.empty(); });
        if (failed_ || closing_) {
            return false;
        }
        buffer = free_.front();
        free_.pop_front();
    }
    fill(buffers_[buffer].data());
    std::lock_guard<std::mutex> lock(mutex_);
    queued_.push_back(buffer);
    changed_.notify_all();
    return true;
}

void VideoEncoder::sendFrames() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return closing_ || !queued_.empty(); });
        if (queued_.empty()) {
            return;
        }
        std::size_t buffer = queued_.front();
        queued_.pop_front();
        lock.unlock();
        bool sent = false;
        if (convert_) {
            // The frame loop gets the buffer back as soon as it is converted.
            convert_(buffers_[buffer].data(), planes_.data());
            lock.lock();
            free_.push_back(buffer);
            changed_.notify_all();
            lock.unlock();
            sent = send(planes_);
            lock.lock();
        } else {
            sent = send(buffers_[buffer]);
            lock.lock();
            free_.push_back(buffer);
        }
        if (!sent) {
            failed_ = true;
        }
        changed_.notify_all();
        if (failed_) {
            return;
        }
    }
}

bool VideoEncoder::send(const std::vector<std::uint8_t>& frame) {
    const std::uint8_t* data = frame.data();
    std::size_t left = frame.size();
    while (left > 0) {
        ssize_t sent = ::send(socket_, data, left, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            std::fprintf(stderr, "capture: ffmpeg stopped taking frames (%s)\n",
                         std::strerror(errno));
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
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        changed_.notify_all();
    }
    // Every frame queued is sent first, unless ffmpeg has stopped taking them.
    sender_.join();
    if (!endFfmpeg()) {
        failed_ = true;
    }
    return !failed_;
}

bool VideoEncoder::endFfmpeg() {
    // End of input: ffmpeg encodes what it holds, writes the file and exits.
    close(socket_);
    socket_ = -1;
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid_, &status, 0);
    } while (waited < 0 && errno == EINTR);
    pid_ = -1;
    if (waited < 0) {
        std::fprintf(stderr, "capture: cannot learn how ffmpeg ended (%s)\n", std::strerror(errno));
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "capture: ffmpeg failed (%s %d)\n",
                     WIFEXITED(status) ? "status" : "signal",
                     WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
        return false;
    }
    return true;
}
