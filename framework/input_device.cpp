#include "framework/input_device.h"

#include "framework/app.h"
#include "host/game.h"

namespace {

constexpr int kJoystickButtons = 32;

}  // namespace

c_JoyState::c_JoyState() {
    joyX = Array<float>(2);
    joyY = Array<float>(2);
    joyZ = Array<float>(2);
    buttons = Array<bool>(kJoystickButtons);
}

c_InputDevice::c_InputDevice() {
    joyStates = Array<c_JoyState*>(kJoystickPorts);
    keyDown = Array<bool>(KEY_COUNT);
    hitQueue = Array<int>(kHitQueueLength);
    keyHits = Array<int>(KEY_COUNT);
    charBuffer = Array<int>(kCharBufferLength);
    touchX = Array<float>(kFingers);
    touchY = Array<float>(kFingers);
    for (int port = 0; port < kJoystickPorts; ++port) joyStates[port] = new c_JoyState();
}

void c_InputDevice::RecordHit(int key) {
    if (hitCount >= kHitQueueLength) return;
    keyHits[key] += 1;
    hitQueue[hitCount] = key;
    hitCount += 1;
}

void c_InputDevice::KeyInput(int event, int data) {
    switch (event) {
    case EV_KEY_DOWN:
        // Auto-repeat presses of a key already down are dropped.
        if (!InKeySpace(data) || keyDown[data]) return;
        keyDown[data] = true;
        RecordHit(data);
        // The left button and the first finger are one pointer.
        if (data == KEY_MOUSE_LEFT) {
            keyDown[KEY_TOUCH_FIRST] = true;
            RecordHit(KEY_TOUCH_FIRST);
        } else if (data == KEY_TOUCH_FIRST) {
            keyDown[KEY_MOUSE_LEFT] = true;
            RecordHit(KEY_MOUSE_LEFT);
        }
        return;
    case EV_KEY_UP:
        if (!InKeySpace(data) || !keyDown[data]) return;
        keyDown[data] = false;
        if (data == KEY_MOUSE_LEFT) keyDown[KEY_TOUCH_FIRST] = false;
        if (data == KEY_TOUCH_FIRST) keyDown[KEY_MOUSE_LEFT] = false;
        return;
    case EV_KEY_CHAR:
        if (charCount >= kCharBufferLength) return;
        charBuffer[charCount] = data;
        charCount += 1;
        return;
    default:
        return;
    }
}

void c_InputDevice::SetMousePosition(float x, float y) {
    mouseX = x;
    mouseY = y;
    touchX[0] = x;
    touchY[0] = y;
}

void c_InputDevice::SetTouchPosition(int finger, float x, float y) {
    touchX[finger] = x;
    touchY[finger] = y;
    if (finger == 0) {
        mouseX = x;
        mouseY = y;
    }
}

void c_InputDevice::MouseInput(int event, int button, float x, float y) {
    switch (event) {
    case EV_MOUSE_DOWN:
        KeyInput(EV_KEY_DOWN, KEY_MOUSE_LEFT + button);
        SetMousePosition(x, y);
        return;
    case EV_MOUSE_UP:
        KeyInput(EV_KEY_UP, KEY_MOUSE_LEFT + button);
        return;
    case EV_MOUSE_MOVE:
        SetMousePosition(x, y);
        return;
    default:
        return;
    }
}

void c_InputDevice::TouchInput(int event, int finger, float x, float y) {
    if (finger < 0 || finger >= kFingers) return;
    switch (event) {
    case EV_TOUCH_DOWN:
        touchScreen = true;
        KeyInput(EV_KEY_DOWN, KEY_TOUCH_FIRST + finger);
        SetTouchPosition(finger, x, y);
        return;
    case EV_TOUCH_UP:
        KeyInput(EV_KEY_UP, KEY_TOUCH_FIRST + finger);
        return;
    case EV_TOUCH_MOVE:
        SetTouchPosition(finger, x, y);
        return;
    default:
        return;
    }
}

void c_InputDevice::MotionInput(int event, int, float x, float y, float z) {
    if (event != EV_MOTION_ACCEL) return;
    accelX = x;
    accelY = y;
    accelZ = z;
}

void c_InputDevice::PreTick() {
    for (int port = 0; port < kJoystickPorts; ++port) {
        c_JoyState* state = joyStates[port];
        // Ports are filled in order, so the first absent one ends the list.
        if (!theHost->PollJoystick(port, state->joyX, state->joyY, state->joyZ, state->buttons)) return;
        for (int b = 0; b < kJoystickButtons; ++b) {
            int key = KEY_JOYSTICK_FIRST + kJoystickButtons * port + b;
            if (!state->buttons[b]) {
                keyDown[key] = false;
            } else if (!keyDown[key]) {
                keyDown[key] = true;
                RecordHit(key);
            }
        }
    }
}

void c_InputDevice::PostTick() {
    for (int i = 0; i < hitCount; ++i) keyHits[hitQueue[i]] = 0;
    hitCount = 0;
    charReadPos = 0;
    charCount = 0;
}

void c_InputDevice::ReleaseHeldKeys() {
    for (int key = 0; key < KEY_COUNT; ++key)
        if (keyDown[key]) KeyInput(EV_KEY_UP, key);
}

int c_InputDevice::GetChar() {
    if (charReadPos >= charCount) return 0;
    return charBuffer[charReadPos++];
}
