// A test application that writes every delegate call and input event to
// standard output, one line each, flushed at once, so that a driver can
// follow what the host delivered and in which order.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/app.h"
#include "framework/game_delegate.h"
#include "framework/input_device.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "host/host_main.h"

namespace {

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}

class c_LoggingDelegate : public c_GameDelegate {
public:
    void Start() override {
        Log("Start");
        c_GameDelegate::Start();
    }
    void Suspend() override {
        Log("Suspend");
        c_GameDelegate::Suspend();
    }
    void Resume() override {
        Log("Resume");
        c_GameDelegate::Resume();
    }
    void Update() override { c_GameDelegate::Update(); }
    void Render() override {
        Log("Render %d %d", theHost->WindowWidth(), theHost->WindowHeight());
        c_GameDelegate::Render();
    }
    void KeyInput(int event, int data) override {
        Log("KeyInput %d %d", event, data);
        c_GameDelegate::KeyInput(event, data);
    }
    void MouseInput(int event, int data, float x, float y) override {
        Log("MouseInput %d %d %g %g", event, data, x, y);
        c_GameDelegate::MouseInput(event, data, x, y);
    }
    void TouchInput(int event, int data, float x, float y) override {
        Log("TouchInput %d %d %g %g", event, data, x, y);
        c_GameDelegate::TouchInput(event, data, x, y);
    }
    void MotionInput(int event, int data, float x, float y, float z) override {
        Log("MotionInput %d %d %g %g %g", event, data, x, y, z);
        c_GameDelegate::MotionInput(event, data, x, y, z);
    }
    void ReleaseGraphics() override {
        Log("ReleaseGraphics");
        c_GameDelegate::ReleaseGraphics();
    }
};

class c_EventLogApp : public c_App {
public:
    c_EventLogApp() {
        c_LoggingDelegate* logging = new c_LoggingDelegate();
        theDelegate = logging;
        theHost->SetDelegate(logging);
    }
    int OnSetup() override {
        Log("OnSetup");
        SetTickRate(60);
        return 0;
    }
    int OnTick() override {
        Log("OnTick %d hits %d", ElapsedMilliseconds(), inputDevice->KeyHitCount(KEY_MOUSE_LEFT));
        return 0;
    }
    // A green frame, so that a screenshot shows where the window and its
    // context are.
    int OnDraw() override {
        Log("OnDraw");
        gl.ClearColor(0.25f, 0.625f, 0.375f, 1.0f);
        gl.Clear(GL_COLOR_BUFFER_BIT);
        return 0;
    }
};

void InitGlobals() { InitFrameworkGlobals(); }
// With "--no-app" the program creates no application, as a program that
// never makes its c_App; with "--throw" a throwable escapes the program main.
void CreateApp() {
    if (processArgumentCount > 1 && std::strcmp(processArguments[1], "--no-app") == 0) return;
    if (processArgumentCount > 1 && std::strcmp(processArguments[1], "--throw") == 0) throw new ThrowableObject();
    new c_EventLogApp();
}

}  // namespace

int main(int argc, char** argv) { return HostMain(argc, argv, InitGlobals, CreateApp); }
