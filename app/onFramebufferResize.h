#pragma once

struct GLFWwindow;

// Keeps the viewport on the whole framebuffer when its size changes.
void onFramebufferResize(GLFWwindow* window, int width, int height);
