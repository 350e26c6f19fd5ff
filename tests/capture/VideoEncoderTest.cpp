// The encoder on its own: a constructor that fails once ffmpeg runs leaves
// neither the process nor its socket behind.
#include "TempDir.h"
#include "VideoEncoder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <sys/wait.h>

namespace {

long openDescriptors() {
    long count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

} // namespace

TEST(VideoEncoder, AFailureAfterFfmpegStartedEndsAndReapsIt) {
    testsupport::TempDir dir;
    const long descriptors = openDescriptors();
    // ffmpeg starts; then no frame buffer of this size can be made.
    VideoEncoder::Settings settings{"ffmpeg",
                                    dir.file("video.mp4"),
                                    16,
                                    16,
                                    30,
                                    std::numeric_limits<std::size_t>::max(),
                                    [](const std::uint8_t*, std::uint8_t*) {}};
    EXPECT_THROW(VideoEncoder encoder(settings), std::length_error);
    // No child is left, running or unreaped, and no descriptor stays open.
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    EXPECT_EQ(openDescriptors(), descriptors);
}
