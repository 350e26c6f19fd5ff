#include "ProblemBand.h"

#include <stb_easy_font.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// Window pixels to clip space, y downwards as the font lays its quads out.
const char* const vertexSource = R"(#version 330 core
layout(location = 0) in vec2 pixel;
layout(location = 1) in vec4 colour;
uniform vec2 windowSize;
out vec4 tint;
void main() {
    tint = colour;
    gl_Position = vec4(pixel / windowSize * vec2(2.0, -2.0) + vec2(-1.0, 1.0), 0.0, 1.0);
}
)";

const char* const fragmentSource = R"(#version 330 core
in vec4 tint;
out vec4 result;
void main() {
    result = tint;
}
)";

// stb_easy_font's vertex: x, y, z, then an RGBA colour.
struct FontVertex {
    float x, y, z;
    std::uint8_t colour[4];
};
static_assert(sizeof(FontVertex) == 16, "the font's vertex layout");

constexpr int maxLines = 4;     // problems shown; the console has the rest
constexpr int lineUnits = 12;   // the font's line height, in its own pixels
constexpr int paddingUnits = 4; // around the text, in the same
std::uint8_t band[4] = {0, 0, 0, 190};
std::uint8_t errorColour[4] = {255, 255, 255, 255};
std::uint8_t warningColour[4] = {255, 226, 140, 255};
std::uint8_t moreColour[4] = {190, 190, 190, 255};

// The font draws printable ASCII only, and reads out of its tables for
// anything else.
std::string printable(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c == '\t') {
            c = ' ';
        } else if (c < 32 || c > 126) {
            c = '?';
        }
    }
    return out;
}

int widthOf(std::string text) {
    return stb_easy_font_width(text.data());
}

// `text` cut to `units` wide, with "..." where it was cut.
std::string fitted(const std::string& text, int units) {
    if (widthOf(text) <= units) {
        return text;
    }
    std::string cut = text;
    while (!cut.empty() && widthOf(cut + "...") > units) {
        cut.pop_back();
    }
    return cut + "...";
}

void addQuads(std::vector<FontVertex>& vertices, float x, float y, std::string text,
              std::uint8_t colour[4]) {
    // About 270 bytes a letter, as the font's notes say; the rest is room.
    std::vector<FontVertex> quads(text.size() * 20 + 4);
    const int count = stb_easy_font_print(x, y, text.data(), colour, quads.data(),
                                          static_cast<int>(quads.size() * sizeof(FontVertex)));
    vertices.insert(vertices.end(), quads.begin(), quads.begin() + count * 4);
}

} // namespace

ProblemBand::ProblemBand() : program_(buildProgram(vertexSource, fragmentSource).program) {
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &vertices_);
    glGenBuffers(1, &indices_);
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, vertices_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(FontVertex), nullptr);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(FontVertex),
                          reinterpret_cast<const void*>(offsetof(FontVertex, colour)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
}

ProblemBand::~ProblemBand() {
    glDeleteBuffers(1, &indices_);
    glDeleteBuffers(1, &vertices_);
    glDeleteVertexArrays(1, &vertexArray_);
}

void ProblemBand::show(const std::vector<std::string>& errors,
                       const std::vector<std::string>& warnings) {
    lines_.clear();
    for (const std::string& error : errors) {
        lines_.push_back({printable(error), true});
    }
    for (const std::string& warning : warnings) {
        lines_.push_back({printable(warning), false});
    }
    laidOutWidth_ = -1;
}

void ProblemBand::layOut(int width, int height) {
    laidOutWidth_ = width;
    laidOutHeight_ = height;
    indexCount_ = 0;
    if (lines_.empty()) {
        return;
    }
    // Letters of 2x2 pixels in a 1280x720 window, larger in a larger one.
    const int scale = std::max(1, height / 360);
    const int padding = paddingUnits * scale;
    const int room = (width - 2 * padding) / scale; // in the font's pixels
    // At most half the window, so that the picture stays in view.
    const int fits = std::max(1, (height / 2 - 2 * padding) / (lineUnits * scale));
    const int total = static_cast<int>(lines_.size());
    int shown = std::min({maxLines, total, fits});
    if (shown < total && shown > 1) {
        --shown; // room for the line that says how many more
    }
    const int rows = shown + (shown < total ? 1 : 0);
    const int bandHeight = rows * lineUnits * scale + 2 * padding;
    const float top = static_cast<float>(height - bandHeight);

    std::vector<FontVertex> vertices;
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    for (const auto& [x, y] : {std::pair{0.0f, top}, {w, top}, {w, h}, {0.0f, h}}) {
        vertices.push_back({x, y, 0.0f, {band[0], band[1], band[2], band[3]}});
    }
    for (int i = 0; i < rows; ++i) {
        const bool more = i == shown;
        const std::string text =
            more ? "... and " + std::to_string(total - shown) + " more on the console"
                 : lines_[static_cast<size_t>(i)].text;
        const size_t first = vertices.size();
        addQuads(vertices, 0.0f, static_cast<float>(i * lineUnits), fitted(text, room),
                 more                                   ? moreColour
                 : lines_[static_cast<size_t>(i)].error ? errorColour
                                                        : warningColour);
        for (size_t v = first; v < vertices.size(); ++v) {
            vertices[v].x = vertices[v].x * scale + padding;
            vertices[v].y = vertices[v].y * scale + top + padding;
        }
    }
    // Each quad as two triangles.
    std::vector<GLuint> indices;
    for (GLuint quad = 0; quad < vertices.size() / 4; ++quad) {
        for (GLuint corner : {0u, 1u, 2u, 0u, 2u, 3u}) {
            indices.push_back(quad * 4 + corner);
        }
    }
    glBindVertexArray(vertexArray_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(FontVertex)),
                 vertices.data(), GL_DYNAMIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
                 indices.data(), GL_DYNAMIC_DRAW);
    glBindVertexArray(0);
    indexCount_ = static_cast<GLsizei>(indices.size());
}

void ProblemBand::draw(int width, int height) {
    if (lines_.empty() || !program_ || width <= 0 || height <= 0) {
        return;
    }
    if (width != laidOutWidth_ || height != laidOutHeight_) {
        layOut(width, height);
    }
    glViewport(0, 0, width, height);
    glUseProgram(program_.id());
    glUniform2f(glGetUniformLocation(program_.id(), "windowSize"), static_cast<float>(width),
                static_cast<float>(height));
    // Over the picture; the window's own alpha stays opaque.
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glBindVertexArray(vertexArray_);
    glDrawElements(GL_TRIANGLES, indexCount_, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
    // The piece's frame is drawn without blending.
    glDisable(GL_BLEND);
}
