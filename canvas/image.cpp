#include "canvas/image.h"

#include "canvas/material.h"
#include "canvas/texture.h"
#include "host/errors.h"

c_Image2::c_Image2(c_Material* source, float xhandle, float yhandle) {
    c_Texture* texture = source->ColorTexture();
    if (!texture) RuntimeError("Material has no ColorTexture");
    material = source;
    material->Retain();
    width = texture->Width();
    height = texture->Height();
    SetPivot(xhandle, yhandle);
}

c_Image2::c_Image2(c_Image2* source, int sx, int sy, int w, int h, float xhandle, float yhandle) {
    material = source->material;
    material->Retain();
    x = source->x + sx;
    y = source->y + sy;
    width = w;
    height = h;
    SetPivot(xhandle, yhandle);
}

c_Image2* c_Image2::Load(const String& path, float xhandle, float yhandle, int flags, c_Shader* shader,
                         int64_t maxPixels) {
    c_Material* loaded = c_Material::Load(path, (flags & IMAGE_FLAG_MASK) | ClampUV, shader, maxPixels);
    if (!loaded) return nullptr;
    c_Image2* image = new c_Image2(loaded, xhandle, yhandle);
    // The image holds its own reference now; the loader's is given back.
    loaded->Release();
    return image;
}

void c_Image2::SetPivot(float xhandle, float yhandle) {
    x0 = -width * xhandle;
    x1 = (1 - xhandle) * width;
    y0 = -height * yhandle;
    y1 = (1 - yhandle) * height;
    c_Texture* texture = material->ColorTexture();
    float tw = static_cast<float>(texture->Width());
    float th = static_cast<float>(texture->Height());
    s0 = x / tw;
    t0 = y / th;
    s1 = (x + width) / tw;
    t1 = (y + height) / th;
}

void c_Image2::Discard() {
    if (material) material->Release();
    material = nullptr;
}
