// The event codes and the key space shared by the host, which produces
// events, and the input device, which keeps their state.
#pragma once

constexpr int EV_KEY_DOWN = 1;
constexpr int EV_KEY_UP = 2;
constexpr int EV_KEY_CHAR = 3;
constexpr int EV_MOUSE_DOWN = 4;
constexpr int EV_MOUSE_UP = 5;
constexpr int EV_MOUSE_MOVE = 6;
constexpr int EV_TOUCH_DOWN = 7;
constexpr int EV_TOUCH_UP = 8;
constexpr int EV_TOUCH_MOVE = 9;
constexpr int EV_MOTION_ACCEL = 10;

// Key numbers 0 to 511: mouse buttons 1 to 3, keyboard keys 8 to 222,
// joystick buttons 256 to 383, fingers 384 to 415.
constexpr int KEY_COUNT = 512;
constexpr int KEY_MOUSE_LEFT = 1;
constexpr int KEY_JOYSTICK_FIRST = 256;
constexpr int KEY_TOUCH_FIRST = 384;
// Ends the program when pressed; nothing on this platform produces it.
constexpr int KEY_QUIT = 416;
// Pressed and released when the user closes the window.
constexpr int KEY_CLOSE = 432;
