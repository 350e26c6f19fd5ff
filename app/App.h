#pragma once

struct GLFWwindow;

// The demo's hot keys, polled once per frame before the clear.
// Escape asks the window to close; Space rebuilds the shader program from the
// two source files and makes it current when it links.
class App {
  public:
    const char* vertexPath;
    const char* fragmentPath;

    App(const char* vertexPath, const char* fragmentPath);

    void handleKeys(GLFWwindow* window);
};
