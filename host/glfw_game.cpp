#include "host/glfw_game.h"

// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "host/frame.h"
#include "host/open_link.h"
#include "host/paths.h"

KtGlfwGame* currentGlfwGame = nullptr;

namespace {

// The start-up window: 800 x 500 pixels, resizable (2), decorated (4), with a
// 32-bit depth buffer (16), windowed and double-buffered.
constexpr int kStartWidth = 800;
constexpr int kStartHeight = 500;
constexpr int kStartFlags = 22;

}  // namespace

KtGlfwGame::KtGlfwGame() {
    currentGlfwGame = this;
    if (GLFWmonitor* monitor = glfwGetPrimaryMonitor()) {
        if (const GLFWvidmode* mode = glfwGetVideoMode(monitor)) {
            desktopVideoMode[0] = mode->width;
            desktopVideoMode[1] = mode->height;
            desktopVideoMode[2] = mode->redBits;
            desktopVideoMode[3] = mode->greenBits;
            desktopVideoMode[4] = mode->blueBits;
            desktopVideoMode[5] = mode->refreshRate;
        }
    }
}

void KtGlfwGame::Run(void (*startGraphics)()) {
    CreateDeviceWindow(kStartWidth, kStartHeight, kStartFlags);
    if (startGraphics) startGraphics();
    Start();
    while (RunPass()) {
    }
}

bool KtGlfwGame::RunPass() {
    if (glfwWindowShouldClose(window)) return false;
    PresentChangedFrame();
    PumpEvents();
    RunDueUpdates();
    return true;
}

void KtGlfwGame::PresentChangedFrame() {
    // At rate 0 nothing else paces the loop than the buffer swap: every
    // pass presents.
    if (tickRate == 0) frameRecord.RequireRedraw();
    if (RenderChangedFrame(*this) && window) glfwSwapBuffers(window);
}

void KtGlfwGame::WaitForNextTick() {
    // Events end a wait early. Their callbacks store input, which the
    // application reads at its next update, or draw at once (a resize), so
    // the wait goes on until the update is due.
    do {
        double delay = tickRate == 0 || nextTick == 0 ? 0 : nextTick - clock->Now();
        clock->WaitEvents(delay);
    } while (tickRate != 0 && nextTick != 0 && clock->Now() < nextTick);
}

void KtGlfwGame::PumpEvents() {
    if (suspended) {
        glfwWaitEvents();
    } else {
        WaitForNextTick();
    }
    ReapLinkOpeners();
    FollowFocus(glfwGetWindowAttrib(window, GLFW_FOCUSED) != 0);
}

void KtGlfwGame::OpenLink(const String& url) { StartLinkOpener(PathToUtf8(url)); }

std::string KtGlfwGame::SendFile(const std::string& path, const std::string& subject, const std::string& body) {
    return StartProgram({"xdg-email", "--subject", subject, "--body", body, "--attach", path});
}

std::string KtGlfwGame::ShowFile(const std::string& path) {
    // The file manager's own interface selects the file in its folder; without
    // one, the folder opens.
    if (RunProgram({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.FileManager1",
                    "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1.ShowItems",
                    "array:string:" + FileUrl(path), "string:"}) == 0)
        return std::string();
    return StartProgram({"xdg-open", path.substr(0, path.find_last_of('/'))});
}
