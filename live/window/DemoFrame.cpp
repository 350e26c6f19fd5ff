#include "DemoFrame.h"

#include <cstring>

DemoFrame::DemoFrame() {
    glGenTextures(1, &colour_);
    glBindTexture(GL_TEXTURE_2D, colour_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
    complete_ = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

DemoFrame::~DemoFrame() {
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteTextures(1, &colour_);
}

void DemoFrame::draw(GLuint program, float time) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (program != 0) {
        glUseProgram(program);
        // Looked up in the program being drawn, every frame: a rebuilt piece
        // may have them elsewhere, or not at all (-1, which the GL ignores).
        glUniform1f(glGetUniformLocation(program, demo::timeUniform), time);
        glUniform2f(glGetUniformLocation(program, demo::sizeUniform), float(width), float(height));
        rectangle_.draw();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

std::vector<std::uint8_t> DemoFrame::readRgb() const {
    std::vector<std::uint8_t> rows(static_cast<size_t>(width) * height * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    // GL counts rows from the bottom; image files from the top.
    const size_t stride = static_cast<size_t>(width) * 3;
    std::vector<std::uint8_t> row(stride);
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* top = rows.data() + static_cast<size_t>(y) * stride;
        std::uint8_t* bottom = rows.data() + static_cast<size_t>(height - 1 - y) * stride;
        std::memcpy(row.data(), top, stride);
        std::memcpy(top, bottom, stride);
        std::memcpy(bottom, row.data(), stride);
    }
    return rows;
}
