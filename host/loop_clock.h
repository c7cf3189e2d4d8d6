// The time source and the wait of the game loop. Production uses the GLFW
// clock and waits in the window system for events; tests give the loop a
// simulated clock, so a stall of a second costs no second.
#pragma once

class LoopClock {
public:
    virtual ~LoopClock() {}
    // Seconds since the window system was initialised.
    virtual double Now() = 0;
    // Handles the window system's events (their callbacks run here) and
    // returns after the first batch of them, or after `seconds` without any;
    // 0 or less only takes the events already waiting.
    virtual void WaitEvents(double seconds) = 0;
};

// glfwGetTime, glfwWaitEventsTimeout and glfwPollEvents.
LoopClock* RealLoopClock();
