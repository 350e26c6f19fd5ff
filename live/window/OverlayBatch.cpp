#include "OverlayBatch.h"

#include <stb_easy_font.h>

#include <cstddef>

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

} // namespace

OverlayBatch::OverlayBatch() : program_(buildProgram(vertexSource, fragmentSource).program) {
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(1, &buffer_);
    glGenBuffers(1, &indices_);
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
    glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glBindVertexArray(0);
}

OverlayBatch::~OverlayBatch() {
    glDeleteBuffers(1, &indices_);
    glDeleteBuffers(1, &buffer_);
    glDeleteVertexArrays(1, &vertexArray_);
}

void OverlayBatch::clear() {
    vertices_.clear();
}

void OverlayBatch::addRect(float x, float y, float width, float height, Colour colour) {
    for (const auto& [cx, cy] :
         {std::pair{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}}) {
        vertices_.push_back({cx, cy, 0.0f, {colour.r, colour.g, colour.b, colour.a}});
    }
}

void OverlayBatch::addText(float x, float y, int scale, const std::string& text, Colour colour) {
    std::string shown = printable(text);
    // About 270 bytes a letter, as the font's notes say; the rest is room.
    std::vector<Vertex> quads(shown.size() * 20 + 4);
    unsigned char rgba[4] = {colour.r, colour.g, colour.b, colour.a};
    const int count = stb_easy_font_print(0.0f, 0.0f, shown.data(), rgba, quads.data(),
                                          static_cast<int>(quads.size() * sizeof(Vertex)));
    for (int v = 0; v < count * 4; ++v) {
        Vertex vertex = quads[static_cast<std::size_t>(v)];
        vertex.x = vertex.x * static_cast<float>(scale) + x;
        vertex.y = vertex.y * static_cast<float>(scale) + y;
        vertices_.push_back(vertex);
    }
}

void OverlayBatch::upload() {
    // Each quad as two triangles.
    std::vector<GLuint> indices;
    indices.reserve(vertices_.size() / 4 * 6);
    for (GLuint quad = 0; quad < vertices_.size() / 4; ++quad) {
        for (GLuint corner : {0u, 1u, 2u, 0u, 2u, 3u}) {
            indices.push_back(quad * 4 + corner);
        }
    }
    // The array buffer's binding is not the vertex array's but the
    // context's, which another batch may have taken since.
    glBindVertexArray(vertexArray_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(Vertex)),
                 vertices_.data(), GL_DYNAMIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
                 indices.data(), GL_DYNAMIC_DRAW);
    glBindVertexArray(0);
    indexCount_ = static_cast<GLsizei>(indices.size());
}

void OverlayBatch::draw(int width, int height) const {
    if (!program_ || indexCount_ == 0 || width <= 0 || height <= 0) {
        return;
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

int OverlayBatch::widthOf(const std::string& text) {
    std::string shown = printable(text);
    return stb_easy_font_width(shown.data());
}

std::string OverlayBatch::fitted(const std::string& text, int units) {
    if (widthOf(text) <= units) {
        return text;
    }
    std::string cut = text;
    while (!cut.empty() && widthOf(cut + "...") > units) {
        cut.pop_back();
    }
    return cut + "...";
}
