// How a joystick's raw axes and buttons become the framework's two sticks,
// two triggers and 32 buttons. Two layouts are known: devices with exactly
// 5 axes and 14 buttons use tables A, any other device tables B.
#pragma once

#include "runtime/array.h"

// x, y and z receive two floats each (first stick or trigger at 0, second at
// 1), buttons 32 bools. `pressed` holds one byte per button, non-zero when
// pressed. A table entry whose source the device does not report yields 0.0
// or false.
void MapJoystick(const float* axes, int axisCount, const unsigned char* pressed, int buttonCount,
                 Array<float> x, Array<float> y, Array<float> z, Array<bool> buttons);
