#include "App.h"

#include "ShaderProgram.h"

#include <GLFW/glfw3.h>

App::App(const char* vertexPath, const char* fragmentPath)
    : vertexPath(vertexPath), fragmentPath(fragmentPath) {}

void App::handleKeys(GLFWwindow* window) {
    if (glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
    // Polled state, not events: holding Space rebuilds on every frame. The
    // program object is deliberately never deleted; if this build failed to
    // link, the GL keeps the previous program current.
    if (glfwGetKey(window, GLFW_KEY_SPACE) == GLFW_PRESS) {
        ShaderProgram shader(vertexPath, fragmentPath);
        shader.use();
    }
}
