// The window, its OpenGL context and callbacks, display modes and joysticks.
// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>

#include "host/errors.h"
#include "host/events.h"
#include "host/frame.h"
#include "host/gl_api.h"
#include "host/glfw_game.h"
#include "host/joystick_map.h"
#include "host/key_table.h"

namespace {

// GLFW numbers joysticks 0 to 15; the framework has four ports.
constexpr int kGlfwJoystickSlots = 16;
constexpr int kJoystickPorts = 4;

void* LookUpGlFunction(const char* name) { return reinterpret_cast<void*>(glfwGetProcAddress(name)); }

void OnKeyCallback(GLFWwindow*, int key, int, int action, int mods) {
    currentGlfwGame->OnKey(key, action == GLFW_RELEASE, (mods & GLFW_MOD_ALT) != 0, action == GLFW_REPEAT);
}

void OnCharCallback(GLFWwindow*, unsigned int codePoint) {
    currentGlfwGame->OnCharacter(static_cast<int>(codePoint));
}

void OnMouseButtonCallback(GLFWwindow* window, int button, int action, int) {
    if (action != GLFW_PRESS && action != GLFW_RELEASE) return;
    double x = 0, y = 0;
    glfwGetCursorPos(window, &x, &y);
    currentGlfwGame->OnMouseButton(button, action == GLFW_RELEASE, static_cast<float>(x), static_cast<float>(y));
}

void OnCursorPosCallback(GLFWwindow*, double x, double y) {
    currentGlfwGame->OnCursorMoved(static_cast<float>(x), static_cast<float>(y));
}

void OnCloseCallback(GLFWwindow*) { currentGlfwGame->OnCloseRequested(); }

void OnSizeCallback(GLFWwindow*, int width, int height) { currentGlfwGame->OnResized(width, height); }

void OnRefreshCallback(GLFWwindow*) { currentGlfwGame->OnExposed(); }

// The sizes (pixels a side) of the icon pictures offered to the window
// manager, for title bars and task switchers; it picks among them.
constexpr int kWindowIconSides[] = {16, 32, 48, 64, 128, 256};

// Gives the window the icon pictures found in data/icons/. A picture that is
// missing, larger than its name says or not RGBA is left out; with none the window keeps the window
// system's default icon.
void SetWindowIcon(KtGlfwGame* game, GLFWwindow* window) {
    GLFWimage images[std::size(kWindowIconSides)];
    int count = 0;
    for (int side : kWindowIconSides) {
        String path = String("ravlen://data/icons/") + String(side) + String(".png");
        int w = 0, h = 0, components = 0;
        unsigned char* pixels = game->LoadImagePixels(path, &w, &h, &components, int64_t(side) * side);
        if (pixels && components != 4) {
            std::free(pixels);
            pixels = nullptr;
        }
        if (pixels) images[count++] = GLFWimage{w, h, pixels};
    }
    if (count > 0) glfwSetWindowIcon(window, count, images);
    for (int i = 0; i < count; ++i) std::free(images[i].pixels);
}

}  // namespace

void KtGlfwGame::CreateDeviceWindow(int w, int h, int flags) {
    focusSeen = false;
    if (window) {
        // No key may stay down across the change of window.
        for (int code = 0; code <= GLFW_KEY_CODE_LAST; ++code) {
            int key = KeyNumberOfGlfwKey(code);
            if (key != 0 && glfwGetKey(window, code) == GLFW_PRESS) KeyInput(EV_KEY_UP, key);
        }
        glfwDestroyWindow(window);
        window = nullptr;
    }

    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_DEPTH_BITS, (flags & 16) ? 32 : 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_RESIZABLE, (flags & 2) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_DECORATED, (flags & 4) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_FLOATING, (flags & 8) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_VISIBLE, (flags & 1) ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_DOUBLEBUFFER, (flags & 32) ? GLFW_FALSE : GLFW_TRUE);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);

    GLFWmonitor* monitor = nullptr;
    if (flags & 1) {
        int count = 0;
        GLFWmonitor** monitors = glfwGetMonitors(&count);
        // Without any monitor there is nothing to fill: the window opens windowed.
        if (count > 0) {
            int index = (flags & 64) ? 1 : 0;
            if (index > count - 1) index = count - 1;
            monitor = monitors[index];
        }
    }

    window = glfwCreateWindow(w, h, "Grimalou", monitor, nullptr);
    if (!window) {
        PrintLine(String("glfwCreateWindow FAILED!"));
        std::abort();
    }
    graphicsGeneration += 1;
    width = w;
    height = h;
    SetWindowIcon(this, window);

    if (!monitor) {
        glfwSetWindowPos(window, (desktopVideoMode[0] - w) / 2, (desktopVideoMode[1] - h) / 2);
        glfwShowWindow(window);
    }
    glfwMakeContextCurrent(window);
    if (swapInterval >= 0) glfwSwapInterval(swapInterval);
    LoadGlEntryPoints(LookUpGlFunction);

    glfwSetKeyCallback(window, OnKeyCallback);
    glfwSetCharCallback(window, OnCharCallback);
    glfwSetMouseButtonCallback(window, OnMouseButtonCallback);
    glfwSetCursorPosCallback(window, OnCursorPosCallback);
    glfwSetWindowCloseCallback(window, OnCloseCallback);
    glfwSetWindowSizeCallback(window, OnSizeCallback);
    glfwSetWindowRefreshCallback(window, OnRefreshCallback);
}

namespace {

// The monitor whose area holds the point, else the primary one.
GLFWmonitor* MonitorAt(int x, int y) {
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    for (int i = 0; i < count; ++i) {
        const GLFWvidmode* mode = glfwGetVideoMode(monitors[i]);
        int mx = 0, my = 0;
        glfwGetMonitorPos(monitors[i], &mx, &my);
        if (mode && x >= mx && x < mx + mode->width && y >= my && y < my + mode->height) return monitors[i];
    }
    return glfwGetPrimaryMonitor();
}

}  // namespace

void KtGlfwGame::SetFullscreen(bool on) {
    if (!window || on == IsFullscreen()) return;
    if (on) {
        glfwGetWindowPos(window, &windowedX, &windowedY);
        glfwGetWindowSize(window, &windowedWidth, &windowedHeight);
        GLFWmonitor* monitor = MonitorAt(windowedX + windowedWidth / 2, windowedY + windowedHeight / 2);
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (!mode) return;
        glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
    } else {
        glfwSetWindowMonitor(window, nullptr, windowedX, windowedY, windowedWidth, windowedHeight, GLFW_DONT_CARE);
    }
    // The size callback may come later or not at all (same size): take the
    // size the window has now.
    int w = 0, h = 0;
    glfwGetWindowSize(window, &w, &h);
    width = w;
    height = h;
    nextTick = 0;
}

bool KtGlfwGame::IsFullscreen() { return window && glfwGetWindowMonitor(window) != nullptr; }

void KtGlfwGame::OnKey(int glfwKey, bool released, bool alt, bool repeat) {
    int key = KeyNumberOfGlfwKey(glfwKey);
    // A held key toggles full screen once.
    if (!released && !repeat && window) FollowWindowKey(key, alt);
    if (key == 0) return;
    if (released) {
        KeyInput(EV_KEY_UP, key);
        return;
    }
    KeyInput(EV_KEY_DOWN, key);
    if (int character = CharacterOfKey(key)) KeyInput(EV_KEY_CHAR, character);
}

void KtGlfwGame::OnCharacter(int codePoint) { KeyInput(EV_KEY_CHAR, codePoint); }

void KtGlfwGame::OnMouseButton(int button, bool released, float x, float y) {
    if (button < 0 || button > 2) return;
    MouseInput(released ? EV_MOUSE_UP : EV_MOUSE_DOWN, button, x, y);
}

void KtGlfwGame::OnCursorMoved(float x, float y) { MouseInput(EV_MOUSE_MOVE, -1, x, y); }

void KtGlfwGame::OnCloseRequested() {
    KeyInput(EV_KEY_DOWN, KEY_CLOSE);
    KeyInput(EV_KEY_UP, KEY_CLOSE);
    // Still here: the application chose to ask before it closes.
    if (window) glfwSetWindowShouldClose(window, GLFW_FALSE);
}

void KtGlfwGame::OnResized(int w, int h) {
    width = w;
    height = h;
    // A new size is always drawn (host/frame.h).
    PresentChangedFrame();
    nextTick = 0;
}

void KtGlfwGame::OnExposed() {
    // Drawn at the next pass, within one update period.
    frameRecord.RequireRedraw();
}

void KtGlfwGame::SetSwapInterval(int interval) {
    swapInterval = interval;
    if (interval >= 0 && window) glfwSwapInterval(interval);
}

void KtGlfwGame::SetCursorShown(bool shown) {
    if (window) glfwSetInputMode(window, GLFW_CURSOR, shown ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
}

int KtGlfwGame::WindowWidth() { return width; }
int KtGlfwGame::WindowHeight() { return height; }

Array<KtDisplayMode*> KtGlfwGame::ScreenModes() {
    int count = 0;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* modes = monitor ? glfwGetVideoModes(monitor, &count) : nullptr;
    if (!modes) count = 0;
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (modes[i].refreshRate == 0 || modes[i].refreshRate == 60) ++kept;
    Array<KtDisplayMode*> result(kept);
    int next = 0;
    for (int i = 0; i < count; ++i) {
        if (modes[i].refreshRate != 0 && modes[i].refreshRate != 60) continue;
        KtDisplayMode* mode = new KtDisplayMode();
        mode->width = modes[i].width;
        mode->height = modes[i].height;
        result[next++] = mode;
    }
    return result;
}

KtDisplayMode* KtGlfwGame::DesktopScreenMode() {
    KtDisplayMode* mode = new KtDisplayMode();
    mode->width = desktopVideoMode[0];
    mode->height = desktopVideoMode[1];
    return mode;
}

int KtGlfwGame::CountJoysticks(bool refresh) {
    if (refresh || !joysticksCounted) {
        joysticksCounted = true;
        joystickCount = 0;
        for (int id = 0; id < kGlfwJoystickSlots && joystickCount < kJoystickPorts; ++id)
            if (glfwJoystickPresent(id)) joystickIds[joystickCount++] = id;
    }
    return joystickCount;
}

bool KtGlfwGame::PollJoystick(int port, Array<float> x, Array<float> y, Array<float> z, Array<bool> buttons) {
    CountJoysticks(false);
    if (port < 0 || port >= joystickCount) return false;
    if (x.Length() < 2 || y.Length() < 2 || z.Length() < 2 || buttons.Length() < 32) return false;
    int id = joystickIds[port];
    int axisCount = 0, buttonCount = 0;
    const float* axes = glfwGetJoystickAxes(id, &axisCount);
    if (!axes) return false;
    const unsigned char* pressed = glfwGetJoystickButtons(id, &buttonCount);
    if (!pressed) return false;
    MapJoystick(axes, axisCount, pressed, buttonCount, x, y, z, buttons);
    return true;
}
