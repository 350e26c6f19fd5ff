// reload_bench VERTEX FRAGMENT ROUNDS: what one Space rebuild costs, measured
// on the demo's own shader builder in a 1920x1080 OpenGL 3.3 core window with
// the demo's quad: the build and use (ShaderProgram, as App::handleKeys does
// it), and the first frame drawn with the new program, where the driver
// finishes its work on it; against an ordinary frame. Prints medians over
// ROUNDS rebuilds as "key milliseconds" lines.
#include "BenchGl.h"
#include "DemoContract.h"
#include "DemoRectangle.h"
#include "ShaderProgram.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace bench;

void drawFrame(const DemoRectangle& rectangle) {
    glClear(GL_COLOR_BUFFER_BIT);
    rectangle.draw();
    glFinish();
}

// Medians over `rounds` rebuilds, while the context is current.
void measure(const char* vertexPath, const char* fragmentPath, int rounds) {
    const DemoRectangle rectangle;
    // The first build also starts the driver's compiler; not a reload.
    ShaderProgram(vertexPath, fragmentPath).use();
    drawFrame(rectangle);

    std::vector<double> frame, build, firstFrame;
    for (int i = 0; i < rounds; ++i) {
        auto start = Clock::now();
        drawFrame(rectangle);
        frame.push_back(msSince(start));

        start = Clock::now();
        ShaderProgram shader(vertexPath, fragmentPath);
        shader.use();
        build.push_back(msSince(start));

        start = Clock::now();
        drawFrame(rectangle);
        firstFrame.push_back(msSince(start));
        glfwPollEvents();
    }
    std::printf("frame %.3f\nbuild %.3f\nfirst_frame %.3f\n", median(frame), median(build),
                median(firstFrame));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: reload_bench VERTEX FRAGMENT ROUNDS\n");
        return 2;
    }
    const int rounds = std::max(1, std::atoi(argv[3]));
    if (!bench::openGlWindow(demo::width, demo::height, "reload_bench", true)) {
        return 1;
    }
    measure(argv[1], argv[2], rounds);
    glfwTerminate();
    return 0;
}
