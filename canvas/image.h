// c_Image2: a drawable rectangle of a material's colour texture, with a
// handle point. The corners x0..y1 are relative to the handle; the handle
// itself is not stored but follows from them (PivotX, PivotY).
#pragma once

#include "host/picture_file.h"
#include "runtime/collector.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_Material;
class c_Shader;

// The texture flags an image passes on to its material.
constexpr int IMAGE_FLAG_MASK = 0x103;

class c_Image2 : public Object {
public:
    gc_ref<c_Material> material;
    int width = 0;
    int height = 0;
    float x0 = -1, x1 = 1, y0 = -1, y1 = 1;
    int x = 0;
    float s0 = 0;
    int y = 0;
    float t0 = 0;
    float s1 = 1, t1 = 1;

    // The whole colour texture of the material; retains the material.
    c_Image2(c_Material* material, float xhandle, float yhandle);
    // A rectangle of another image, at (x, y) relative to that image's own.
    c_Image2(c_Image2* source, int x, int y, int width, int height, float xhandle, float yhandle);

    // Null when the picture cannot be loaded or has more than `maxPixels`
    // pixels; a null shader is the default one.
    static c_Image2* Load(const String& path, float xhandle, float yhandle, int flags, c_Shader* shader,
                          int64_t maxPixels = kMaxPicturePixels);

    void SetPivot(float xhandle, float yhandle);
    int Width() const { return width; }
    int Height() const { return height; }
    float PivotX() const { return -x0 / (x1 - x0); }
    float PivotY() const { return -y0 / (y1 - y0); }
    // Gives up the material; the image must not be drawn afterwards.
    void Discard();

    GC_FIELDS(Object, material)
};
