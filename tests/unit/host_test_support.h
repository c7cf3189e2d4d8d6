// Shared pieces of the host and framework tests: a simulated loop clock, a
// delegate that records what reaches it, a host that counts its collector
// steps, and a picture too large for any font.
#pragma once

#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/glfw_game.h"

// Time passes only when the loop waits or a test says so; no event ever
// comes, so every wait lasts as long as it may.
class FakeClock : public LoopClock {
public:
    double now = 100.0;  // away from 0, which the loop reads as "no tick scheduled"
    std::vector<double> waits;
    double Now() override { return now; }
    void WaitEvents(double seconds) override {
        waits.push_back(seconds);
        if (seconds > 0) now += seconds;
    }
};

class RecordingDelegate : public KtGameDelegate {
public:
    std::vector<std::string> calls;
    // Run inside each Update, for tests that act from within an update.
    void (*onUpdate)(RecordingDelegate*) = nullptr;
    int updates = 0;

    void Start() override { calls.push_back("Start"); }
    void Suspend() override { calls.push_back("Suspend"); }
    void Resume() override { calls.push_back("Resume"); }
    void Update() override {
        ++updates;
        calls.push_back("Update");
        if (onUpdate) onUpdate(this);
    }
    void Render() override { calls.push_back("Render"); }
    void KeyInput(int event, int data) override {
        calls.push_back("Key " + std::to_string(event) + " " + std::to_string(data));
    }
    void MouseInput(int event, int data, float x, float y) override {
        calls.push_back("Mouse " + std::to_string(event) + " " + std::to_string(data) + " " +
                        std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    }
    void TouchInput(int event, int data, float, float) override {
        calls.push_back("Touch " + std::to_string(event) + " " + std::to_string(data));
    }
    void MotionInput(int event, int, float, float, float) override {
        calls.push_back("Motion " + std::to_string(event));
    }
    void ReleaseGraphics() override { calls.push_back("ReleaseGraphics"); }
};

class CountingGame : public KtRavlenGame {
public:
    int collectSteps = 0;
    void CollectStep() override {
        ++collectSteps;
        KtGlfwGame::CollectStep();
    }
};

// A valid one-colour PNG of 8192 x 8192 pixels in an 18 KB file: 64 MiB as
// grey pixels, 256 MiB as RGBA.
inline std::string HugePicturePath() {
    const char* source = std::getenv("GRIMALOU_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/unit/pictures/white_8192.png";
}

// The most memory this process has had resident so far, in KiB.
inline long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
