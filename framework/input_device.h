// The input state the application reads at each update: keys down and the
// presses since the last update (mouse buttons, keyboard, joystick buttons
// and fingers share one key space, see host/events.h), typed characters,
// pointer and finger positions, the accelerometer and the joysticks.
//
// Between two updates presses are counted and characters queued up to fixed
// limits; PostTick clears both after each OnTick.
#pragma once

#include "host/events.h"
#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/gc_ref.h"

// One joystick: two sticks, two triggers and 32 buttons.
class c_JoyState : public Object {
public:
    gc_array<float> joyX;
    gc_array<float> joyY;
    gc_array<float> joyZ;
    gc_array<bool> buttons;

    c_JoyState();
    GC_FIELDS(Object, joyX, joyY, joyZ, buttons)
};

class c_InputDevice : public Object {
public:
    // Presses counted per update: the 34th distinct press is not counted.
    static constexpr int kHitQueueLength = 33;
    // Characters queued per update: the 33rd is dropped.
    static constexpr int kCharBufferLength = 32;
    static constexpr int kFingers = 32;
    static constexpr int kJoystickPorts = 4;

    gc_array<c_JoyState*> joyStates;
    gc_array<bool> keyDown;
    int hitCount = 0;
    gc_array<int> hitQueue;
    gc_array<int> keyHits;
    int charReadPos = 0;
    int charCount = 0;
    gc_array<int> charBuffer;
    float mouseX = 0;
    float mouseY = 0;
    gc_array<float> touchX;
    gc_array<float> touchY;
    float accelX = 0;
    float accelY = 0;
    float accelZ = 0;
    // A finger has touched the screen since start: the device has a touch
    // screen, whatever else it has.
    bool touchScreen = false;

    // The four joystick states are created here too.
    c_InputDevice();
    GC_FIELDS(Object, joyStates, keyDown, hitQueue, keyHits, charBuffer, touchX, touchY)

    // Events with codes of another kind are ignored, as are key numbers
    // outside the key space and fingers outside 0 to 31.
    void KeyInput(int event, int data);
    void MouseInput(int event, int button, float x, float y);
    void TouchInput(int event, int finger, float x, float y);
    void MotionInput(int event, int data, float x, float y, float z);

    // Before OnTick: polls the joysticks into their states and their buttons
    // into the key space.
    void PreTick();
    // After OnTick: forgets the presses and characters of this update.
    void PostTick();
    // Every key, button and finger still down goes up: a release that
    // happens while the window is away never reaches the application.
    void ReleaseHeldKeys();

    bool IsKeyDown(int key) const { return InKeySpace(key) && keyDown[key]; }
    int KeyHitCount(int key) const { return InKeySpace(key) ? keyHits[key] : 0; }
    float PointerX() const { return mouseX; }
    float PointerY() const { return mouseY; }
    // The next queued character of this update, 0 when there is none.
    int GetChar();

private:
    static bool InKeySpace(int key) { return key >= 0 && key < KEY_COUNT; }
    void RecordHit(int key);
    void SetMousePosition(float x, float y);
    void SetTouchPosition(int finger, float x, float y);
};
