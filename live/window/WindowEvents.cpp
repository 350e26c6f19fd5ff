#include "WindowEvents.h"

namespace {

WindowEvents& eventsOf(GLFWwindow* window) {
    return *static_cast<WindowEvents*>(glfwGetWindowUserPointer(window));
}

void onKey(GLFWwindow* window, int key, int, int action, int mods) {
    KeyAction wanted = keyAction(key, action, mods);
    if (wanted != KeyAction::None) {
        eventsOf(window).keys.push_back(wanted);
    }
}

void onMouseButton(GLFWwindow* window, int button, int action, int mods) {
    if (button != GLFW_MOUSE_BUTTON_LEFT) {
        return;
    }
    WindowEvents& events = eventsOf(window);
    double x = 0.0, y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    const bool press = action == GLFW_PRESS;
    events.buttonDown = press;
    events.pointer.push_back({press ? PointerEvent::Kind::Press : PointerEvent::Kind::Release, x, y,
                              (mods & GLFW_MOD_SHIFT) != 0});
}

// Where the pointer is, for the next press; and of a drag's moves, the
// latest of a frame.
void onCursorPos(GLFWwindow* window, double x, double y) {
    WindowEvents& events = eventsOf(window);
    events.pointerX = x;
    events.pointerY = y;
    if (!events.buttonDown) {
        return;
    }
    if (!events.pointer.empty() && events.pointer.back().kind == PointerEvent::Kind::Move) {
        events.pointer.back().x = x;
        events.pointer.back().y = y;
    } else {
        events.pointer.push_back({PointerEvent::Kind::Move, x, y, false});
    }
}

void onNeedsPresent(GLFWwindow* window) {
    eventsOf(window).needsPresent = true;
}

void onFramebufferSize(GLFWwindow* window, int, int) {
    onNeedsPresent(window);
}

} // namespace

void listenTo(GLFWwindow* window, WindowEvents& events) {
    glfwSetWindowUserPointer(window, &events);
    // Until the pointer moves, where it stands now; glfwGetCursorPos asks the
    // system for that, not for where an earlier event found it.
    glfwGetCursorPos(window, &events.pointerX, &events.pointerY);
    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetCursorPosCallback(window, onCursorPos);
    glfwSetWindowRefreshCallback(window, onNeedsPresent);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
}
