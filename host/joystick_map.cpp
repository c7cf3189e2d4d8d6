#include "host/joystick_map.h"

namespace {

constexpr int kEnd = 999;

// An axis entry: the low four bits name the source, the rest the transform.
constexpr int kAsIs = 0;
constexpr int kHalfUp = 16;    // (axis + 1) * 0.5
constexpr int kHalfDown = 32;  // (1 - axis) * 0.5
constexpr int kNegated = 64;
constexpr int kButton = 128;   // 1.0 while the button is pressed

const int kAxisTableA[] = {0, 65, 2, 4, 67, 66, kEnd};
const int kButtonTableA[] = {0, 1, 2, 3, 4, 5, 6, 7, 13, 10, 11, 12, 8, 9, kEnd};
const int kAxisTableB[] = {0, 1, 134, 2, 67, 135, kEnd};
const int kButtonTableB[] = {1, 2, 0, 3, 4, 5, 8, 9, 15, 12, 13, 14, 10, 11, kEnd};

bool IsPressed(const unsigned char* pressed, int count, int index) {
    if (index < 0) index += count;  // counts from the end
    return index >= 0 && index < count && pressed[index] != 0;
}

float AxisOutput(int entry, const float* axes, int axisCount, const unsigned char* pressed, int buttonCount) {
    int source = entry & 15;
    int transform = entry & ~15;
    if (transform == kButton) return IsPressed(pressed, buttonCount, source) ? 1.0f : 0.0f;
    if (source >= axisCount) return 0.0f;
    float axis = axes[source];
    switch (transform) {
    case kAsIs: return axis;
    case kHalfUp: return (axis + 1.0f) * 0.5f;
    case kHalfDown: return (1.0f - axis) * 0.5f;
    case kNegated: return -axis;
    default: return 0.0f;
    }
}

}  // namespace

void MapJoystick(const float* axes, int axisCount, const unsigned char* pressed, int buttonCount,
                 Array<float> x, Array<float> y, Array<float> z, Array<bool> buttons) {
    bool layoutA = axisCount == 5 && buttonCount == 14;
    const int* axisTable = layoutA ? kAxisTableA : kAxisTableB;
    const int* buttonTable = layoutA ? kButtonTableA : kButtonTableB;

    float out[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 6 && axisTable[i] != kEnd; ++i)
        out[i] = AxisOutput(axisTable[i], axes, axisCount, pressed, buttonCount);
    x[0] = out[0];
    y[0] = out[1];
    z[0] = out[2];
    x[1] = out[3];
    y[1] = out[4];
    z[1] = out[5];

    for (int j = 0; j < 32; ++j) buttons[j] = false;
    for (int j = 0; j < 32 && buttonTable[j] != kEnd; ++j)
        buttons[j] = IsPressed(pressed, buttonCount, buttonTable[j]);
}
