#include "App.h"
#include "ShaderProgram.h"
#include "Soundtrack.h"
#include "onFramebufferResize.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <iostream>

// Steps 1-16 are the start-up order, held by StartUpCallsTest.cpp and SoundtrackDiskTest.cpp.
int main() {
    // 1. Soundtrack: open and prepare the file before anything else starts.
    Soundtrack::open();

    // 2. Hot keys, reading the same shader files as the start-up build.
    const char* vertexPath = "vertex.glsl";
    const char* fragmentPath = "fragment.glsl";
    App app(vertexPath, fragmentPath);

    // 3. Windowing library; its clock counts from here.
    glfwInit();

    // 4-6. An OpenGL 3.3 core context; every other hint keeps its default.
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);

    // 7. Full-screen window on the primary monitor.
    GLFWwindow* window =
        glfwCreateWindow(1920, 1080, "Vellomirke2017Demo", glfwGetPrimaryMonitor(), nullptr);
    if (window == nullptr) {
        std::cout << "Failed to create GLFW window" << std::endl;
        glfwTerminate();
        return -1;
    }
    // A tap that is pressed and released between two frames would be lost to
    // plain polling; sticky keys keep it until the next poll sees it.
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    // No mouse cursor over the picture: hidden, not captured, so the pointer
    // still leaves the window freely.
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);

    // 8. The window's context becomes current on this thread.
    glfwMakeContextCurrent(window);

    // 9. GL entry points. Terminating restores the video mode that the
    // full-screen window set.
    if (!gladLoadGL(glfwGetProcAddress)) {
        std::cout << "Failed to initialize GLAD" << std::endl;
        glfwTerminate();
        return -1;
    }

    // 10. One display refresh per swap.
    glfwSwapInterval(1);

    // 11. Start-up shader program; a failed build is reported and the demo runs on.
    ShaderProgram shader(vertexPath, fragmentPath);
    shader.use();

    // 12-13. Viewport, then follow framebuffer size changes.
    glViewport(0, 0, 1920, 1080);
    glfwSetFramebufferSizeCallback(window, onFramebufferResize);

    // 14. One full-screen rectangle as two triangles; everything stays bound.
    float quad[] = {
        -1.0f, -1.0f, 0.0f, //
        1.0f,  -1.0f, 0.0f, //
        1.0f,  1.0f,  0.0f, //
        -1.0f, 1.0f,  0.0f, //
    };
    unsigned int indices[] = {0, 1, 2, 2, 0, 3};
    GLuint VAO, VBO, EBO;
    glGenVertexArrays(1, &VAO);
    glBindVertexArray(VAO);
    glGenBuffers(1, &VBO);
    glBindBuffer(GL_ARRAY_BUFFER, VBO);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_STATIC_DRAW);
    glGenBuffers(1, &EBO);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, EBO);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(indices), indices, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), (void*)0);
    glEnableVertexAttribArray(0);

    // 15. Opaque black behind the picture.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    // 16. Music starts immediately before the first frame.
    Soundtrack::playLooping();

    while (!glfwWindowShouldClose(window)) {
        app.handleKeys(window);
        glClear(GL_COLOR_BUFFER_BIT);
        float t = (float)glfwGetTime();

        // The uniforms go to whichever program is current now, which after a
        // reload is not the start-up one; they are looked up every frame
        // because a reloaded program may place them elsewhere.
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        if (current != 0) {
            glUniform1f(glGetUniformLocation(current, "timeValue"), t);
            glUniform2f(glGetUniformLocation(current, "windowSize"), 1920.0f, 1080.0f);
        }

        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, (void*)0);
        glfwSwapBuffers(window);
        glfwPollEvents();
        if (t >= 30.0f) {
            break;
        }
    }

    glfwTerminate();
    return 0;
}
