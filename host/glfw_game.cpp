#include "host/glfw_game.h"

#include <cstdint>

// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "host/open_link.h"
#include "host/paths.h"

KtGlfwGame* currentGlfwGame = nullptr;

namespace {

// After a stall, at most this many updates are replayed in one pass; the rest
// of the backlog is dropped so that a slow machine does not fall further behind.
constexpr int kMaxCatchUpUpdates = 4;

// The start-up window: 800 x 500 pixels, resizable (2), decorated (4), with a
// 32-bit depth buffer (16), windowed and double-buffered.
constexpr int kStartWidth = 800;
constexpr int kStartHeight = 500;
constexpr int kStartFlags = 22;

}  // namespace

KtGlfwGame::KtGlfwGame() : clock(RealLoopClock()) {
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

void KtGlfwGame::SetTickRate(int hertz) {
    tickRate = hertz;
    if (hertz != 0) tickPeriod = 1.0 / hertz;
    nextTick = 0;
}

int KtGlfwGame::ElapsedMilliseconds() {
    // Whole milliseconds, truncated; after about 24.8 days the count wraps
    // around the 32-bit range instead of leaving it (a float-to-int
    // conversion out of range has no defined result).
    int64_t ms = static_cast<int64_t>(clock->Now() * 1000.0);
    return static_cast<int>(static_cast<uint32_t>(ms));
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
    Render();
    glfwSwapBuffers(window);
    SleepUntilNextTick();
    PumpEvents();
    RunDueUpdates();
    return true;
}

void KtGlfwGame::SleepUntilNextTick() {
    if (nextTick == 0) return;
    double delay = nextTick - clock->Now();
    // Truncated to whole milliseconds, so the loop never sleeps past the tick.
    if (delay > 0) clock->SleepMilliseconds(static_cast<int>(delay * 1000.0));
}

void KtGlfwGame::PumpEvents() {
    if (suspended) {
        glfwWaitEvents();
    } else {
        glfwPollEvents();
    }
    ReapLinkOpeners();
    FollowFocus(glfwGetWindowAttrib(window, GLFW_FOCUSED) != 0);
}

void KtGlfwGame::FollowFocus(bool focused) {
    if (focused) {
        focusSeen = true;
        if (suspended) {
            Resume();
            nextTick = 0;
        }
    } else if (focusSeen && !suspended) {
        Suspend();
        nextTick = 0;
    }
}

void KtGlfwGame::RunDueUpdates() {
    if (suspended) return;
    if (tickRate == 0) {
        Update();
        return;
    }
    if (nextTick == 0) nextTick = clock->Now();
    for (int i = 0; i < kMaxCatchUpUpdates; ++i) {
        Update();
        if (nextTick == 0) return;  // the update changed the rate
        nextTick += tickPeriod;
        if (nextTick > clock->Now()) return;
    }
    nextTick = 0;
}

void KtGlfwGame::OpenLink(const String& url) { StartLinkOpener(PathToUtf8(url)); }
