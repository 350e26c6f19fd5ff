#include "Presenter.h"

#include "Letterbox.h"

#include <algorithm>

namespace {

// Thin enough to leave the picture readable, thick enough to see at a glance.
constexpr int frameThickness = 4;

void fill(int x, int y, int width, int height, float r, float g, float b) {
    glScissor(x, y, width, height);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

void presentFrame(GLuint frameBuffer, int frameWidth, int frameHeight, int windowWidth,
                  int windowHeight, bool buildFailing) {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Rect to = letterbox(windowWidth, windowHeight);
    if (to.width <= 0 || to.height <= 0) {
        return;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer);
    glBlitFramebuffer(0, 0, frameWidth, frameHeight, to.x, to.y, to.x + to.width, to.y + to.height,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    if (buildFailing) {
        // Drawn on the picture's own edge, so it shows even where the
        // picture fills the window and there is no bar to draw it in.
        int t = std::min({frameThickness, to.width / 2, to.height / 2});
        glEnable(GL_SCISSOR_TEST);
        fill(to.x, to.y, to.width, t, 1, 0, 0);
        fill(to.x, to.y + to.height - t, to.width, t, 1, 0, 0);
        fill(to.x, to.y, t, to.height, 1, 0, 0);
        fill(to.x + to.width - t, to.y, t, to.height, 1, 0, 0);
        glDisable(GL_SCISSOR_TEST);
    }
}
