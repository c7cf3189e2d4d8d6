// The screen's two arrangements, and the one chosen for a window: the
// landscape screen of 1280 x 800 units, or, for a window taller than wide
// (an upright phone or tablet), the portrait screen of 800 x 1280 units;
// either letterboxed into the window, the largest box of its shape, centred.
#pragma once

#include "app/face/face.h"

enum class Arrangement { Landscape, Portrait };
constexpr float PORTRAIT_WIDTH = VIRTUAL_HEIGHT, PORTRAIT_HEIGHT = VIRTUAL_WIDTH;

inline Arrangement ArrangementFor(int w, int h) { return h > w ? Arrangement::Portrait : Arrangement::Landscape; }
inline float ScreenWidth(Arrangement a) { return a == Arrangement::Portrait ? PORTRAIT_WIDTH : VIRTUAL_WIDTH; }
inline float ScreenHeight(Arrangement a) { return a == Arrangement::Portrait ? PORTRAIT_HEIGHT : VIRTUAL_HEIGHT; }

struct Letterbox {
    int x, y, width, height;
    Arrangement arrangement;
    // The screen's units in one window pixel.
    float unitsPerPixel;
};

inline Letterbox FitScreen(int w, int h) {
    Letterbox box;
    box.arrangement = ArrangementFor(w, h);
    const float sw = ScreenWidth(box.arrangement), sh = ScreenHeight(box.arrangement);
    if (sw / sh < static_cast<float>(w) / static_cast<float>(h)) {
        box.width = static_cast<int>(h * (sw / sh));
        box.height = h;
        box.x = (w - box.width) / 2;
        box.y = 0;
    } else {
        box.width = w;
        box.height = static_cast<int>(w / (sw / sh));
        box.x = 0;
        box.y = (h - box.height) / 2;
    }
    box.unitsPerPixel = box.x == 0 ? sw / static_cast<float>(w) : sh / static_cast<float>(h);
    return box;
}
