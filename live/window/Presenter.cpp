#include "Presenter.h"

#include "Letterbox.h"

#include <algorithm>

namespace {

// Thin enough to leave the picture readable, thick enough to see at a glance.
constexpr int frameThickness = 4;

// The picture drawn as a textured rectangle over the viewport, sampled
// bilinearly as a scaling blit samples it. A blit would do the same, but a
// software driver builds its blit code afresh in every process, at the first
// picture, where this program comes from the driver's shader cache.
const char* const vertexSource = R"(#version 330 core
out vec2 at;
void main() {
    vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    at = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const fragmentSource = R"(#version 330 core
uniform sampler2D picture;
in vec2 at;
out vec4 colour;
void main() {
    colour = texture(picture, at);
}
)";

void fill(int x, int y, int width, int height, float r, float g, float b) {
    glScissor(x, y, width, height);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

} // namespace

Presenter::Presenter() : program_(buildProgram(vertexSource, fragmentSource).program) {
    // The rectangle's corners come from gl_VertexID; a core context still
    // wants a vertex array bound to draw.
    glGenVertexArrays(1, &vertexArray_);
}

Presenter::~Presenter() {
    glDeleteVertexArrays(1, &vertexArray_);
}

void Presenter::present(const DemoFrame& frame, int windowWidth, int windowHeight,
                        bool buildFailing, const StripScene* strip) {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Rect to = letterbox(windowWidth, windowHeight);
    if (to.width <= 0 || to.height <= 0) {
        return;
    }
    if (program_) {
        glViewport(to.x, to.y, to.width, to.height);
        glUseProgram(program_.id());
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, frame.texture());
        glBindVertexArray(vertexArray_);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    } else {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, frame.framebuffer());
        glBlitFramebuffer(0, 0, DemoFrame::width, DemoFrame::height, to.x, to.y, to.x + to.width,
                          to.y + to.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    }
    const StripLayout layout = StripLayout::forWindow(windowWidth, windowHeight);
    if (strip != nullptr) {
        strip_.draw(layout, strip->timeline, strip->loop, strip->time);
    }
    band_.draw(windowWidth, windowHeight, strip != nullptr ? layout.height : 0);
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
