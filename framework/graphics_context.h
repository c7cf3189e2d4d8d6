// The immediate-mode drawing state, its framed images and the default font.
#pragma once

#include "host/picture_file.h"
#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class gxtkGraphics;
class gxtkSurface;

// One frame's top-left corner in its image's surface.
class c_Frame : public Object {
public:
    int x = 0;
    int y = 0;
};

// A surface cut into frames of equal width laid side by side.
class c_Image : public Object {
public:
    // Flag bits.
    static constexpr int kMidHandle = 1;      // handle at the frame's centre
    static constexpr int kXPadding = 2;       // a one-pixel border left and right of each frame
    static constexpr int kYPadding = 4;       // a one-pixel border above and below
    static constexpr int kFullSurface = 0x10000;  // one frame covering the whole surface

    gc_ref<gxtkSurface> surface;
    int width = 0;   // of one frame
    int height = 0;
    gc_array<c_Frame*> frames;
    int flags = 0;
    float handleX = 0;
    float handleY = 0;

    // A second initialisation is the runtime error "Image already initialized".
    // A frame count below 1 is taken as 1.
    c_Image* Init(gxtkSurface* surface, int frameCount, int flags);
    GC_FIELDS(Object, surface, frames)
};

class c_GraphicsContext : public Object {
public:
    gc_ref<gxtkGraphics> device;  // while a frame is drawn, else null
    gc_ref<c_Image> defaultFont;
    gc_ref<c_Image> font;
    int firstChar = 0;
    float matrix[6] = {1, 0, 0, 1, 0, 0};
    float red = 255;
    float green = 255;
    float blue = 255;
    float alpha = 1;
    int blendMode = 0;
    float scissor[4] = {0, 0, 0, 0};

    // The font picture "vexa_font.png", 96 frames from the space on; without
    // the file, or with a picture too large for a font, there is no default font.
    void LoadDefaultFont();
    // Makes `graphics` the active renderer and resets the drawing state.
    void ApplyDefaultState(gxtkGraphics* graphics);
    GC_FIELDS(Object, device, defaultFont, font)
};

// The picture at `path` (completed by the host's CompleteDataPath) cut into
// `frameCount` frames, or null when the picture cannot be loaded or has more
// than `maxPixels` pixels.
c_Image* OpenFramedImage(const String& path, int frameCount, int flags, int64_t maxPixels = kMaxPicturePixels);
