#include "host/loop_clock.h"

// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace {

class GlfwLoopClock : public LoopClock {
public:
    double Now() override { return glfwGetTime(); }
    void WaitEvents(double seconds) override {
        if (seconds > 0)
            glfwWaitEventsTimeout(seconds);
        else
            glfwPollEvents();
    }
};

}  // namespace

LoopClock* RealLoopClock() {
    static GlfwLoopClock clock;
    return &clock;
}
