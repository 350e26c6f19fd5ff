#include "onFramebufferResize.h"

#include <glad/gl.h>

void onFramebufferResize(GLFWwindow*, int width, int height) {
    glViewport(0, 0, width, height);
}
