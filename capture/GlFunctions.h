#pragma once

#include <GL/glcorearb.h>

// The OpenGL calls of the capture library, looked up through the windowing
// library, since the demo's own loader keeps its pointers to itself.
#define CAPTURE_GL_FUNCTIONS(X)                                                                    \
    X(PFNGLACTIVETEXTUREPROC, activeTexture, glActiveTexture)                                      \
    X(PFNGLATTACHSHADERPROC, attachShader, glAttachShader)                                         \
    X(PFNGLBINDBUFFERPROC, bindBuffer, glBindBuffer)                                               \
    X(PFNGLBINDFRAMEBUFFERPROC, bindFramebuffer, glBindFramebuffer)                                \
    X(PFNGLBINDSAMPLERPROC, bindSampler, glBindSampler)                                            \
    X(PFNGLBINDTEXTUREPROC, bindTexture, glBindTexture)                                            \
    X(PFNGLBINDVERTEXARRAYPROC, bindVertexArray, glBindVertexArray)                                \
    X(PFNGLBLITFRAMEBUFFERPROC, blitFramebuffer, glBlitFramebuffer)                                \
    X(PFNGLBUFFERDATAPROC, bufferData, glBufferData)                                               \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, checkFramebufferStatus, glCheckFramebufferStatus)           \
    X(PFNGLCLEARBUFFERFVPROC, clearBufferfv, glClearBufferfv)                                      \
    X(PFNGLCOLORMASKPROC, colorMask, glColorMask)                                                  \
    X(PFNGLCOMPILESHADERPROC, compileShader, glCompileShader)                                      \
    X(PFNGLCREATEPROGRAMPROC, createProgram, glCreateProgram)                                      \
    X(PFNGLCREATESHADERPROC, createShader, glCreateShader)                                         \
    X(PFNGLDELETESHADERPROC, deleteShader, glDeleteShader)                                         \
    X(PFNGLDISABLEPROC, disable, glDisable)                                                        \
    X(PFNGLDRAWARRAYSPROC, drawArrays, glDrawArrays)                                               \
    X(PFNGLENABLEPROC, enable, glEnable)                                                           \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, framebufferTexture2D, glFramebufferTexture2D)                 \
    X(PFNGLGENBUFFERSPROC, genBuffers, glGenBuffers)                                               \
    X(PFNGLGENFRAMEBUFFERSPROC, genFramebuffers, glGenFramebuffers)                                \
    X(PFNGLGENTEXTURESPROC, genTextures, glGenTextures)                                            \
    X(PFNGLGENVERTEXARRAYSPROC, genVertexArrays, glGenVertexArrays)                                \
    X(PFNGLGETBOOLEANVPROC, getBooleanv, glGetBooleanv)                                            \
    X(PFNGLGETINTEGERVPROC, getIntegerv, glGetIntegerv)                                            \
    X(PFNGLGETPROGRAMINFOLOGPROC, getProgramInfoLog, glGetProgramInfoLog)                          \
    X(PFNGLGETPROGRAMIVPROC, getProgramiv, glGetProgramiv)                                         \
    X(PFNGLGETSHADERINFOLOGPROC, getShaderInfoLog, glGetShaderInfoLog)                             \
    X(PFNGLGETSHADERIVPROC, getShaderiv, glGetShaderiv)                                            \
    X(PFNGLGETSTRINGPROC, getString, glGetString)                                                  \
    X(PFNGLGETUNIFORMLOCATIONPROC, getUniformLocation, glGetUniformLocation)                       \
    X(PFNGLISENABLEDPROC, isEnabled, glIsEnabled)                                                  \
    X(PFNGLLINKPROGRAMPROC, linkProgram, glLinkProgram)                                            \
    X(PFNGLMAPBUFFERRANGEPROC, mapBufferRange, glMapBufferRange)                                   \
    X(PFNGLPIXELSTOREIPROC, pixelStorei, glPixelStorei)                                            \
    X(PFNGLREADBUFFERPROC, readBuffer, glReadBuffer)                                               \
    X(PFNGLREADPIXELSPROC, readPixels, glReadPixels)                                               \
    X(PFNGLSHADERSOURCEPROC, shaderSource, glShaderSource)                                         \
    X(PFNGLTEXIMAGE2DPROC, texImage2D, glTexImage2D)                                               \
    X(PFNGLTEXPARAMETERIPROC, texParameteri, glTexParameteri)                                      \
    X(PFNGLUNIFORM1FPROC, uniform1f, glUniform1f)                                                  \
    X(PFNGLUNIFORM1IPROC, uniform1i, glUniform1i)                                                  \
    X(PFNGLUNIFORM2FPROC, uniform2f, glUniform2f)                                                  \
    X(PFNGLUNIFORM3FPROC, uniform3f, glUniform3f)                                                  \
    X(PFNGLUNMAPBUFFERPROC, unmapBuffer, glUnmapBuffer)                                            \
    X(PFNGLUSEPROGRAMPROC, useProgram, glUseProgram)                                               \
    X(PFNGLVIEWPORTPROC, viewport, glViewport)

struct GlFunctions {
#define CAPTURE_GL_FIELD(type, field, name) type field = nullptr;
    CAPTURE_GL_FUNCTIONS(CAPTURE_GL_FIELD)
#undef CAPTURE_GL_FIELD
};

// Every call above from the current context; throws std::runtime_error
// naming the first that the context does not offer.
GlFunctions loadGlFunctions();
