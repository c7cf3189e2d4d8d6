// The virtual screen letterboxed into the window: the largest box of its
// shape, centred.
#pragma once

#include "app/face/face.h"

struct Letterbox {
    int x, y, width, height;
};

inline Letterbox FitVirtualScreen(int w, int h) {
    const float aspect = VIRTUAL_WIDTH / VIRTUAL_HEIGHT;
    Letterbox box;
    if (aspect < static_cast<float>(w) / static_cast<float>(h)) {
        box.width = static_cast<int>(h * aspect);
        box.height = h;
        box.x = (w - box.width) / 2;
        box.y = 0;
    } else {
        box.width = w;
        box.height = static_cast<int>(w / aspect);
        box.x = 0;
        box.y = (h - box.height) / 2;
    }
    return box;
}
