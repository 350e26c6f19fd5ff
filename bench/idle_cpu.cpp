// idle_cpu SECONDS TITLE [--key KEY --shows TEXT] PROGRAM [ARGS...]: what a
// window costs while its picture stands still. Starts PROGRAM on the display
// in DISPLAY and waits for its window to be titled TITLE or more (a title
// that the program sets once its first frame is shown: a program that draws
// once shows no later frame to wait for); with --key, presses KEY there as a
// person would and waits until the title shows TEXT. Then prints the share of one core that
// the process used over the next SECONDS, as "cpu_percent P", and closes the
// window as a window manager does.
#include "ChildProcess.h"
#include "XClient.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

using namespace testsupport;
using namespace std::chrono_literals;

namespace {

int usage() {
    std::fprintf(stderr, "usage: idle_cpu SECONDS TITLE [--key KEY --shows TEXT] PROGRAM "
                         "[ARGS...]\n");
    return 2;
}

bool waitForTitle(XClient& x, XWindow window, const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (x.title(window).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return usage();
    }
    const double seconds = std::atof(argv[1]);
    const std::string title = argv[2];
    int next = 3;
    std::string key, shows;
    if (std::strcmp(argv[next], "--key") == 0) {
        if (argc < next + 5 || std::strcmp(argv[next + 2], "--shows") != 0) {
            return usage();
        }
        key = argv[next + 1];
        shows = argv[next + 3];
        next += 4;
    }
    const char* display = std::getenv("DISPLAY");
    if (seconds <= 0 || display == nullptr) {
        return usage();
    }

    ProcessOptions options;
    options.argv.assign(argv + next, argv + argc);
    ChildProcess process(options);
    XClient x(display);
    auto window = x.waitForWindow(title, 60s, true);
    if (!window) {
        std::fprintf(stderr, "idle_cpu: no window titled %s...\n", title.c_str());
        return 1;
    }
    if (!key.empty()) {
        x.pressKey(key);
        x.releaseKey(key);
        if (!waitForTitle(x, *window, shows)) {
            std::fprintf(stderr, "idle_cpu: the title never showed \"%s\"\n", shows.c_str());
            return 1;
        }
    }

    const auto startedAt = std::chrono::steady_clock::now();
    const auto usedBefore = process.cpuTime();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const auto used = process.cpuTime() - usedBefore;
    const std::chrono::duration<double> span = std::chrono::steady_clock::now() - startedAt;
    std::printf("cpu_percent %.3f\n", 100.0 * used.count() / span.count());

    x.sendCloseRequest(*window);
    return process.waitForExit(30s).value_or(-1) == 0 ? 0 : 1;
}
