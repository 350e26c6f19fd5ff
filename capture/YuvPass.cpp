#include "YuvPass.h"

#include <stdexcept>
#include <string>

namespace {

// One triangle that covers the whole target.
const char* const vertexSource = R"(#version 330 core
void main() {
    gl_Position = vec4(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0, 0.0, 1.0);
}
)";

// Each output texel holds four consecutive samples of one plane row. The
// pass draws each plane into its own rows of the target: luma from single
// pixels, one plane row to a target row; Cb and Cr each from the mean of 2 x 2
// pixels, which a bilinear lookup at their shared corner gives, two plane rows
// side by side in a target row. The picture's rows count from the top, as the
// target's do. One program without branches serves all three, since a
// software renderer runs both sides of a branch.
const char* const fragmentSource = R"(
uniform sampler2D picture;
uniform vec2 pixelSize;    // of the picture in texture coordinates
uniform int firstRow;      // of the plane in the target
uniform int rowsPerRow;    // plane rows per target row, 1 or 2
uniform int halfRow;       // texels in half a target row
uniform float sampleStep;  // pixels from one sample to the next, 1 or 2
uniform float centre;      // from a sample's corner to where it is looked up
uniform vec3 weights;      // of R, G and B in the sample
uniform float offset;
out vec4 samples;

float sampleAt(vec2 point) {
    return offset + dot(texture(picture, point * pixelSize).rgb, weights);
}

void main() {
    ivec2 texel = ivec2(gl_FragCoord.xy);
    int second = rowsPerRow == 2 && texel.x >= halfRow ? 1 : 0;
    vec2 first = vec2(4 * (texel.x - second * halfRow),
                      rowsPerRow * (texel.y - firstRow) + second) * sampleStep + centre;
    vec2 next = vec2(sampleStep, 0.0);
    vec4 s = vec4(sampleAt(first), sampleAt(first + next), sampleAt(first + 2.0 * next),
                  sampleAt(first + 3.0 * next));
#ifdef BGRA
    samples = s.bgra;
#else
    samples = s;
#endif
}
)";

// Throws with the object's info log when its compile or link `status` failed.
template <typename GetInteger, typename GetLog>
void requireStatus(GLuint object, GLenum status, GetInteger getInteger, GetLog getLog,
                   const char* failure) {
    GLint ok = GL_FALSE;
    getInteger(object, status, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = "";
        getLog(object, sizeof log, nullptr, log);
        throw std::runtime_error(failure + std::string(log));
    }
}

GLuint compile(const GlFunctions& gl, GLenum type, const std::string& source) {
    GLuint shader = gl.createShader(type);
    const char* text = source.c_str();
    gl.shaderSource(shader, 1, &text, nullptr);
    gl.compileShader(shader);
    requireStatus(shader, GL_COMPILE_STATUS, gl.getShaderiv, gl.getShaderInfoLog,
                  "the colour conversion does not compile: ");
    return shader;
}

GLuint link(const GlFunctions& gl, bool bgra) {
    GLuint vertex = compile(gl, GL_VERTEX_SHADER, vertexSource);
    GLuint fragment = compile(gl, GL_FRAGMENT_SHADER,
                              std::string("#version 330 core\n") + (bgra ? "#define BGRA\n" : "") +
                                  fragmentSource);
    GLuint program = gl.createProgram();
    gl.attachShader(program, vertex);
    gl.attachShader(program, fragment);
    gl.linkProgram(program);
    gl.deleteShader(vertex);
    gl.deleteShader(fragment);
    requireStatus(program, GL_LINK_STATUS, gl.getProgramiv, gl.getProgramInfoLog,
                  "the colour conversion does not link: ");
    return program;
}

// An RGBA8 texture of one level (complete only with a filter that uses no
// mipmaps) and a framebuffer that draws into it.
GLuint textureFramebuffer(const GlFunctions& gl, int width, int height, GLenum filter,
                          GLuint& texture) {
    gl.genTextures(1, &texture);
    gl.bindTexture(GL_TEXTURE_2D, texture);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    gl.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLuint framebuffer = 0;
    gl.genFramebuffers(1, &framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        throw std::runtime_error("the GL cannot draw into an RGBA8 texture");
    }
    return framebuffer;
}

} // namespace

YuvPass::YuvPass(const GlFunctions& gl, const PlaneLayout& layout) : gl_(gl), layout_(layout) {
    GLuint target = 0;
    framebuffer_ =
        textureFramebuffer(gl_, layout_.rowTexels, layout_.targetHeight, GL_NEAREST, target);
    GLint format = 0, type = 0;
    gl_.getIntegerv(GL_IMPLEMENTATION_COLOR_READ_FORMAT, &format);
    gl_.getIntegerv(GL_IMPLEMENTATION_COLOR_READ_TYPE, &type);
    readFormat_ = format == GL_BGRA && type == GL_UNSIGNED_BYTE ? GL_BGRA : GL_RGBA;
    pictureFramebuffer_ =
        textureFramebuffer(gl_, layout_.width, layout_.height, GL_LINEAR, pictureTexture_);

    gl_.genVertexArrays(1, &vertexArray_);
    program_ = link(gl_, readFormat_ == GL_BGRA);
    gl_.useProgram(program_);
    gl_.uniform1i(gl_.getUniformLocation(program_, "picture"), 0);
    gl_.uniform2f(gl_.getUniformLocation(program_, "pixelSize"), 1.0f / layout_.width,
                  1.0f / layout_.height);
    gl_.uniform1i(gl_.getUniformLocation(program_, "halfRow"), layout_.rowTexels / 2);
    for (const char* name :
         {"firstRow", "rowsPerRow", "sampleStep", "centre", "weights", "offset"}) {
        planeUniforms_.push_back(gl_.getUniformLocation(program_, name));
    }
}

void YuvPass::run(int readWidth, int readHeight, int framebufferHeight) {
    gl_.bindFramebuffer(GL_DRAW_FRAMEBUFFER, pictureFramebuffer_);
    const bool covered = readWidth == layout_.width && readHeight == layout_.height;
    if (!covered && (readWidth != readWidth_ || readHeight != readHeight_)) {
        // What the window does not cover stays black from here on.
        const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        gl_.clearBufferfv(GL_COLOR, 0, black);
    }
    readWidth_ = readWidth;
    readHeight_ = readHeight;
    if (readWidth > 0 && readHeight > 0) {
        // Upside down, so that the picture's rows count from the top.
        gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl_.readBuffer(GL_BACK);
        gl_.blitFramebuffer(0, framebufferHeight - readHeight, readWidth, framebufferHeight, 0,
                            readHeight, readWidth, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.useProgram(program_);
    gl_.activeTexture(GL_TEXTURE0);
    gl_.bindTexture(GL_TEXTURE_2D, pictureTexture_);
    gl_.bindSampler(0, 0);
    gl_.bindVertexArray(vertexArray_);
    drawPlane(Plane::luma);
    drawPlane(Plane::cb);
    drawPlane(Plane::cr);
}

void YuvPass::drawPlane(Plane plane) {
    // BT.709 in its limited range: luma 16 to 235, chroma 16 to 240 around 128.
    constexpr float kr = 0.2126f, kg = 0.7152f, kb = 0.0722f;
    constexpr float lumaScale = 219.0f / 255.0f;
    constexpr float cbScale = 224.0f / 255.0f / 1.8556f;
    constexpr float crScale = 224.0f / 255.0f / 1.5748f;
    const bool luma = plane == Plane::luma;
    const int firstRow = luma ? 0 : layout_.height + (plane == Plane::cr ? layout_.chromaRows : 0);
    const int rows = luma ? layout_.height : layout_.chromaRows;
    gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, luma ? GL_NEAREST : GL_LINEAR);
    gl_.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, luma ? GL_NEAREST : GL_LINEAR);
    gl_.uniform1i(planeUniforms_[0], firstRow);
    gl_.uniform1i(planeUniforms_[1], luma ? 1 : 2);
    gl_.uniform1f(planeUniforms_[2], luma ? 1.0f : 2.0f);
    gl_.uniform1f(planeUniforms_[3], luma ? 0.5f : 1.0f);
    switch (plane) {
    case Plane::luma:
        gl_.uniform3f(planeUniforms_[4], lumaScale * kr, lumaScale * kg, lumaScale * kb);
        break;
    case Plane::cb:
        gl_.uniform3f(planeUniforms_[4], -cbScale * kr, -cbScale * kg, cbScale * (1.0f - kb));
        break;
    case Plane::cr:
        gl_.uniform3f(planeUniforms_[4], crScale * (1.0f - kr), -crScale * kg, -crScale * kb);
        break;
    }
    gl_.uniform1f(planeUniforms_[5], (luma ? 16.0f : 128.0f) / 255.0f);
    gl_.viewport(0, firstRow, layout_.rowTexels, rows);
    gl_.drawArrays(GL_TRIANGLES, 0, 3);
}
