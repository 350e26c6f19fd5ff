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

// Each output texel holds four consecutive samples of one plane row. Luma
// rows come first, then the Cb rows, then the Cr rows, two chroma rows to a
// target row. Chroma is the mean of its 2 x 2 pixels. Pictures rows count from
// the top, GL's from the bottom.
const char* const fragmentSource = R"(
uniform sampler2D picture;
uniform ivec2 pictureSize;
uniform ivec2 readSize;
uniform int rowTexels;
uniform int chromaRows;
out vec4 samples;

const vec3 lumaWeights = vec3(0.2126, 0.7152, 0.0722);

vec3 rgbAt(ivec2 p) {
    p = min(p, pictureSize - 1);
    if (p.x >= readSize.x || p.y >= readSize.y) {
        return vec3(0.0);
    }
    return texelFetch(picture, ivec2(p.x, readSize.y - 1 - p.y), 0).rgb;
}

float luma(ivec2 p) {
    return (16.0 + 219.0 * dot(rgbAt(p), lumaWeights)) / 255.0;
}

float chroma(ivec2 c, bool red) {
    ivec2 p = 2 * c;
    vec3 rgb = 0.25 * (rgbAt(p) + rgbAt(p + ivec2(1, 0)) + rgbAt(p + ivec2(0, 1)) +
                       rgbAt(p + ivec2(1, 1)));
    float y = dot(rgb, lumaWeights);
    float difference = red ? (rgb.r - y) / 1.5748 : (rgb.b - y) / 1.8556;
    return (128.0 + 224.0 * difference) / 255.0;
}

void main() {
    ivec2 texel = ivec2(gl_FragCoord.xy);
    float s[4];
    if (texel.y < pictureSize.y) {
        for (int i = 0; i < 4; ++i) {
            s[i] = luma(ivec2(4 * texel.x + i, texel.y));
        }
    } else {
        int row = texel.y - pictureSize.y;
        bool red = row >= chromaRows;
        if (red) {
            row -= chromaRows;
        }
        int halfRow = rowTexels / 2;
        bool second = texel.x >= halfRow;
        ivec2 first = ivec2(4 * (second ? texel.x - halfRow : texel.x), 2 * row + (second ? 1 : 0));
        for (int i = 0; i < 4; ++i) {
            s[i] = chroma(first + ivec2(i, 0), red);
        }
    }
#ifdef BGRA
    samples = vec4(s[2], s[1], s[0], s[3]);
#else
    samples = vec4(s[0], s[1], s[2], s[3]);
#endif
}
)";

GLuint compile(const GlFunctions& gl, GLenum type, const std::string& source) {
    GLuint shader = gl.createShader(type);
    const char* text = source.c_str();
    gl.shaderSource(shader, 1, &text, nullptr);
    gl.compileShader(shader);
    GLint ok = GL_FALSE;
    gl.getShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = "";
        gl.getShaderInfoLog(shader, sizeof log, nullptr, log);
        throw std::runtime_error(std::string("the colour conversion does not compile: ") + log);
    }
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
    GLint ok = GL_FALSE;
    gl.getProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = "";
        gl.getProgramInfoLog(program, sizeof log, nullptr, log);
        throw std::runtime_error(std::string("the colour conversion does not link: ") + log);
    }
    return program;
}

GLuint texture(const GlFunctions& gl, int width, int height) {
    GLuint name = 0;
    gl.genTextures(1, &name);
    gl.bindTexture(GL_TEXTURE_2D, name);
    // One level, no filtering: a texture without mipmaps is complete only so.
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.texParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.texImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    return name;
}

} // namespace

YuvPass::YuvPass(const GlFunctions& gl, const PlaneLayout& layout) : gl_(gl), layout_(layout) {
    GLuint target = texture(gl_, layout_.rowTexels, layout_.targetHeight);
    gl_.genFramebuffers(1, &framebuffer_);
    gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
    if (gl_.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        throw std::runtime_error("the GL cannot draw into an RGBA8 texture");
    }
    GLint format = 0, type = 0;
    gl_.getIntegerv(GL_IMPLEMENTATION_COLOR_READ_FORMAT, &format);
    gl_.getIntegerv(GL_IMPLEMENTATION_COLOR_READ_TYPE, &type);
    readFormat_ = format == GL_BGRA && type == GL_UNSIGNED_BYTE ? GL_BGRA : GL_RGBA;

    pictureTexture_ = texture(gl_, layout_.width, layout_.height);
    gl_.genVertexArrays(1, &vertexArray_);
    program_ = link(gl_, readFormat_ == GL_BGRA);
    gl_.useProgram(program_);
    gl_.uniform1i(gl_.getUniformLocation(program_, "picture"), 0);
    gl_.uniform2i(gl_.getUniformLocation(program_, "pictureSize"), layout_.width, layout_.height);
    gl_.uniform1i(gl_.getUniformLocation(program_, "rowTexels"), layout_.rowTexels);
    gl_.uniform1i(gl_.getUniformLocation(program_, "chromaRows"), layout_.chromaRows);
    readSizeLocation_ = gl_.getUniformLocation(program_, "readSize");
}

void YuvPass::run(int readWidth, int readHeight, int framebufferHeight) {
    gl_.activeTexture(GL_TEXTURE0);
    gl_.bindTexture(GL_TEXTURE_2D, pictureTexture_);
    gl_.bindSampler(0, 0);
    if (readWidth > 0 && readHeight > 0) {
        gl_.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl_.readBuffer(GL_BACK);
        gl_.copyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, framebufferHeight - readHeight, readWidth,
                              readHeight);
    }
    gl_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.viewport(0, 0, layout_.rowTexels, layout_.targetHeight);
    gl_.useProgram(program_);
    if (readWidth != readWidth_ || readHeight != readHeight_) {
        readWidth_ = readWidth;
        readHeight_ = readHeight;
        gl_.uniform2i(readSizeLocation_, readWidth, readHeight);
    }
    gl_.bindVertexArray(vertexArray_);
    gl_.drawArrays(GL_TRIANGLES, 0, 3);
}
