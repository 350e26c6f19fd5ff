// How soon the soundtrack is heard after playLooping(), through a private
// PulseAudio daemon with a null sink, against a plain libpulse client with the
// same buffer size measured in the same run.
//
//   soundtrack-latency-bench [trials]     (default 10)
//
// Each trial runs in a fresh child process: the soundtrack opens its device
// once per process. Needs pulseaudio, sox and libsox-fmt-mp3.
#include "PulseDaemon.h"
#include "Trials.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A scratch directory for the daemon and the track, removed at the end.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "soundtrack-latency-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Runs `trial` in a child process and reads its result back through a pipe.
TrialResult inChild(const std::function<TrialResult()>& trial) {
    int ends[2];
    if (pipe(ends) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        TrialResult result;
        try {
            result = trial();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "trial failed: %s\n", e.what());
        }
        double values[3] = {result.trackStart.value_or(-1), result.mixed.value_or(-1),
                            result.leadIn.value_or(-1)};
        ssize_t written = write(ends[1], values, sizeof values);
        _exit(written == sizeof values ? 0 : 1);
    }
    close(ends[1]);
    double values[3] = {-1, -1, -1};
    ssize_t got = read(ends[0], values, sizeof values);
    close(ends[0]);
    waitpid(pid, nullptr, 0);
    TrialResult result;
    auto value = [&](int i) {
        return got == sizeof values && values[i] >= 0 ? std::optional<double>(values[i])
                                                      : std::nullopt;
    };
    result.trackStart = value(0);
    result.mixed = value(1);
    result.leadIn = value(2);
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void summarise(const char* what, const std::vector<double>& values) {
    if (values.empty()) {
        std::printf("%-34s no sound heard\n", what);
        return;
    }
    std::printf("%-34s median %6.1f ms   min %6.1f   max %6.1f   (%zu trials)\n", what,
                median(values), *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end()), values.size());
}

} // namespace

int main(int argc, char** argv) {
    int trials = argc > 1 ? std::atoi(argv[1]) : 10;
    if (trials < 1) {
        std::fprintf(stderr, "usage: %s [trials]\n", argv[0]);
        return 2;
    }
    try {
        ScratchDirectory scratch;
        const std::string track = scratch.path() + "/audio.mp3";
        const char* sox[] = {"sox",   "-n", "-r",   "48000", "-c",  "2",   track.c_str(),
                             "synth", "2",  "sine", "440",   "vol", "0.5", nullptr};
        if (!runToEnd(sox)) {
            throw std::runtime_error("sox could not make the test track");
        }
        PulseDaemon daemon(scratch.path());
        // The soundtrack opens audio.mp3 in the working directory, through
        // SDL's PulseAudio driver.
        std::filesystem::current_path(scratch.path());
        setenv("SDL_AUDIODRIVER", "pulseaudio", 1);

        std::vector<double> soundtrack, mixed, leadIn, direct;
        for (int i = 0; i < trials; ++i) {
            TrialResult s = inChild(soundtrackTrial);
            TrialResult d = inChild(directClientTrial);
            std::printf("trial %2d: soundtrack %6.1f ms (mixed after %5.1f ms, track lead-in "
                        "%4.1f ms)   direct client %6.1f ms\n",
                        i + 1, s.trackStart.value_or(-1), s.mixed.value_or(-1),
                        s.leadIn.value_or(-1), d.trackStart.value_or(-1));
            std::fflush(stdout);
            if (s.trackStart) {
                soundtrack.push_back(*s.trackStart);
                mixed.push_back(*s.mixed);
                leadIn.push_back(*s.leadIn);
            }
            if (d.trackStart) {
                direct.push_back(*d.trackStart);
            }
        }
        std::printf("\nFrom the start call to the first sample at the null sink:\n");
        summarise("soundtrack (playLooping)", soundtrack);
        summarise("  of which until mixed", mixed);
        summarise("direct libpulse client (baseline)", direct);
        summarise("(track lead-in, subtracted above)", leadIn);
        if (!soundtrack.empty() && !direct.empty()) {
            std::printf("ratio soundtrack / baseline (medians): %.2f\n",
                        median(soundtrack) / median(direct));
        }
        return soundtrack.size() == static_cast<std::size_t>(trials) ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
