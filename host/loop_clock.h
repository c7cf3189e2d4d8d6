// The time source and the sleep of the game loop. Production uses the GLFW
// clock and a real sleep; tests give the loop a simulated clock, so a stall of
// a second costs no second.
#pragma once

class LoopClock {
public:
    virtual ~LoopClock() {}
    // Seconds since the window system was initialised.
    virtual double Now() = 0;
    virtual void SleepMilliseconds(int milliseconds) = 0;
};

// glfwGetTime and a blocking sleep of the calling thread.
LoopClock* RealLoopClock();
