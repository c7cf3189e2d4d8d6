#include "host/loop_clock.h"

// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <chrono>
#include <thread>

namespace {

class GlfwLoopClock : public LoopClock {
public:
    double Now() override { return glfwGetTime(); }
    void SleepMilliseconds(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

}  // namespace

LoopClock* RealLoopClock() {
    static GlfwLoopClock clock;
    return &clock;
}
