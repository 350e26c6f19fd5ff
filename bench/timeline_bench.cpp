// timeline_bench TRACK ROUNDS: what vellomirke-live's timeline costs. Its
// analysis of TRACK (decoded, loudness, onsets, tempo: SoundtrackAnalysis.h)
// against decoding alone; and one present of the 1280x720 window with the
// strip drawn over the picture against one without it, the strip showing
// TRACK's analysis and moving its playhead every frame as a running piece
// does. Prints medians over ROUNDS as "key milliseconds" lines.
#include "BenchGl.h"
#include "DemoContract.h"
#include "DemoFrame.h"
#include "Presenter.h"
#include "SoundtrackAnalysis.h"
#include "TrackSamples.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace bench;

void measureAnalysis(const char* track, int rounds) {
    std::vector<double> analysis, decoding;
    for (int i = 0; i < rounds; ++i) {
        auto start = Clock::now();
        decodeTrack(track, demo::lengthSeconds,
                    [](const float*, std::size_t, int) { return true; });
        decoding.push_back(msSince(start));
        start = Clock::now();
        analyseSoundtrack(track, 4);
        analysis.push_back(msSince(start));
    }
    std::printf("analysis %.3f\ndecoding %.3f\n", median(analysis), median(decoding));
}

void measureStrip(const char* track, int rounds) {
    DemoFrame frame;
    Presenter presenter;
    Timeline timeline(std::nullopt, 4, true);
    timeline.setSoundtrack(analyseSoundtrack(track, 4));
    frame.draw(0, 0.0f); // an empty picture: the frame's cost is not the strip's
    std::vector<double> with, without;
    for (int i = 0; i < rounds + 1; ++i) {
        const double time = 0.1 * i;
        const Presenter::StripScene strip{timeline, std::nullopt, time};
        auto start = Clock::now();
        presenter.present(frame, 1280, 720, false, &strip);
        glFinish();
        const double drawn = msSince(start);
        start = Clock::now();
        presenter.present(frame, 1280, 720, false, nullptr);
        glFinish();
        const double plain = msSince(start);
        if (i > 0) { // the first lays the strip out and compiles its program
            with.push_back(drawn);
            without.push_back(plain);
        }
    }
    std::printf("present_with_strip %.3f\npresent_without %.3f\n", median(with), median(without));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: timeline_bench TRACK ROUNDS\n");
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[2]));
    measureAnalysis(argv[1], rounds);
    if (!openGlWindow(1280, 720, "timeline_bench", false)) {
        std::fprintf(stderr, "timeline_bench: no OpenGL 3.3 core context\n");
        return 1;
    }
    measureStrip(argv[1], rounds * 20);
    glfwTerminate();
    return 0;
}
