// The host game object on GLFW: the window with its OpenGL context, the input
// callbacks, the game loop, joysticks, display modes and the platform's paths.
#pragma once

#include "host/loop_game.h"

struct GLFWwindow;

class KtGlfwGame : public KtLoopGame {
public:
    // Width, height, red, green, blue bits and refresh rate of the primary
    // monitor's mode at construction; all 0 without a monitor.
    int desktopVideoMode[6] = {0, 0, 0, 0, 0, 0};
    GLFWwindow* window = nullptr;
    int width = 0;
    int height = 0;
    int swapInterval = 1;
    // The window's place and size before it went full screen.
    int windowedX = 0, windowedY = 0, windowedWidth = 0, windowedHeight = 0;
    int joystickIds[4] = {0, 0, 0, 0};
    int joystickCount = 0;
    bool joysticksCounted = false;

    KtGlfwGame();

    int CountJoysticks(bool refresh) override;
    bool PollJoystick(int port, Array<float> x, Array<float> y, Array<float> z, Array<bool> buttons) override;
    void OpenLink(const String& url) override;
    std::string SendFile(const std::string& path, const std::string& subject, const std::string& body) override;
    std::string ShowFile(const std::string& path) override;
    void SetCursorShown(bool shown) override;
    int WindowWidth() override;
    int WindowHeight() override;
    // Flag bits: 1 full screen, 2 resizable, 4 decorated, 8 floating,
    // 16 depth buffer, 32 single-buffered, 64 second monitor.
    void CreateDeviceWindow(int width, int height, int flags) override;
    void SetFullscreen(bool on) override;
    bool IsFullscreen() override;
    Array<KtDisplayMode*> ScreenModes() override;
    KtDisplayMode* DesktopScreenMode() override;
    void SetSwapInterval(int interval) override;

    // Opens the start-up window, runs `startGraphics` (if any) in its fresh
    // GL context, starts the game and loops until the window's close flag is set.
    void Run(void (*startGraphics)() = nullptr);
    // One pass of the loop; false once the window should close.
    bool RunPass();
    // Renders the frame and swaps, when the picture can have changed
    // (RenderChangedFrame, host/frame.h).
    void PresentChangedFrame();
    // Handles the window system's events until `nextTick`, when an update is
    // scheduled; otherwise only the events already waiting. The loop never
    // spins: it waits in the window system.
    void WaitForNextTick();
    // Handles the window system's events (until the next update is due, or
    // while suspended until some arrive) and the focus changes.
    void PumpEvents();

    // What the window callbacks do, callable without a window.
    void OnKey(int glfwKey, bool released, bool alt = false, bool repeat = false);
    void OnCharacter(int codePoint);
    void OnMouseButton(int button, bool released, float x, float y);
    void OnCursorMoved(float x, float y);
    void OnCloseRequested();
    void OnResized(int width, int height);
    // The window system lost part of the picture (another window moved away).
    void OnExposed();
};

// KtGlfwGame adds nothing; it is the one class the program instantiates.
class KtRavlenGame : public KtGlfwGame {};

// The same object as currentGame, for the window callbacks.
extern KtGlfwGame* currentGlfwGame;
