// save_check_bench VERTEX FRAGMENT ROUNDS: what vellomirke-live's strict
// check adds to a save. The driver's build of the piece (toolgl's
// buildProgram, as the window's builder calls it) against the same texts
// built again by glslang as GLSL 3.30 core (StrictCheck.h), in an OpenGL 3.3
// core context. A process's first strict check also makes glslang's symbol
// tables, once: it is reported on its own. Prints medians over ROUNDS saves
// as "key milliseconds" lines.
#include "BenchGl.h"
#include "Program.h"
#include "StrictCheck.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace bench;

std::string fileText(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void measure(const std::string& vertex, const std::string& fragment, int rounds) {
    auto start = Clock::now();
    const bool firstClean = strictCheck(vertex, fragment).empty();
    const double first = msSince(start);

    std::vector<double> driver, strict;
    for (int i = 0; i < rounds; ++i) {
        start = Clock::now();
        ProgramBuild built = buildProgram(vertex.c_str(), fragment.c_str());
        // The driver finishes a program at its first use.
        glUseProgram(built.program.id());
        glFinish();
        driver.push_back(msSince(start));

        start = Clock::now();
        const bool clean = strictCheck(vertex, fragment).empty();
        strict.push_back(msSince(start));
        if (!built.program || !clean || !firstClean) {
            std::fprintf(stderr, "save_check_bench: the piece does not build cleanly\n");
            std::exit(1);
        }
    }
    std::printf("driver_build %.3f\nstrict_check %.3f\nfirst_strict_check %.3f\n", median(driver),
                median(strict), first);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_check_bench VERTEX FRAGMENT ROUNDS\n");
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[3]));
    if (!bench::openGlWindow(320, 180, "save_check_bench", false)) {
        return 1;
    }
    measure(fileText(argv[1]), fileText(argv[2]), rounds);
    glfwTerminate();
    return 0;
}
