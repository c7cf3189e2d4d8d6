// The first-generation graphics device and its pictures. In this system the
// device only reports the window's size, brackets every frame and loads
// pictures into textures; all drawing goes through the canvas renderer.
#pragma once

#include <cstdint>

#include "host/picture_file.h"
#include "runtime/collector.h"
#include "runtime/string.h"

class gxtkSurface;

class gxtkGraphics : public Object {
public:
    int width = 0;
    int height = 0;
    // The current colour premultiplied by alpha: bytes R*a, G*a, B*a, 255*a
    // in memory order, each truncated.
    uint32_t colour = 0xFFFFFFFF;
    float red = 255;
    float green = 255;
    float blue = 255;
    float alpha = 1;
    // ix, iy, jx, jy, tx, ty
    float matrix[6] = {1, 0, 0, 1, 0, 0};
    bool transformed = false;

    // Takes the window's size when the host already has a window.
    gxtkGraphics();

    virtual int FrameWidth();
    virtual int FrameHeight();
    // Reads the window's size. Returns 0: the immediate-mode context is never
    // made ready for drawing.
    virtual int StartFrame();
    virtual void EndFrame();
    virtual void DropGraphics();
    // A surface with the picture and its texture, or null when the picture
    // cannot be loaded or has more than `maxPixels` pixels.
    virtual gxtkSurface* OpenSurface(const String& path, int64_t maxPixels = kMaxPicturePixels);
    // A surface without pixels, depth 4, RGBA.
    virtual gxtkSurface* MakeSurface(int width, int height);
    // Loads a picture into the surface as the host's LoadPicture gives it
    // (premultiplied RGBA); false when it cannot or when it has more than
    // `maxPixels` pixels.
    virtual bool FillSurface(gxtkSurface* surface, const String& path, int64_t maxPixels = kMaxPicturePixels);
    virtual void ClearScreen(float r, float g, float b);
    virtual void SetOpacity(float alpha);
    virtual void SetTint(float r, float g, float b);
    // 1 additive, anything else premultiplied alpha.
    virtual void SetBlendMode(int mode);
    virtual void SetClip(int x, int y, int w, int h);
    virtual void SetTransform(float ix, float iy, float jx, float jy, float tx, float ty);

private:
    void UpdateColour();
};

class gxtkSurface : public Object {
public:
    // Kept for re-uploading after a new context; owned, freed with std::free.
    // Premultiplied by alpha.
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int depth = 0;   // bytes per pixel, 1 to 4
    int format = 0;  // GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB or GL_RGBA
    // The graphicsGeneration the texture was made under; -1 for none.
    int builtGeneration = -1;
    unsigned int texture = 0;
    float uscale = 0;
    float vscale = 0;

    ~gxtkSurface() override;

    // Takes ownership of a block of premultiplied pixels, `depth` bytes each.
    void TakePixels(unsigned char* pixels, int width, int height, int depth);

    virtual void DropSurface();
    virtual int SurfaceWidth();
    virtual int SurfaceHeight();
    virtual bool IsLoaded();
    // Binds the texture (on unit 0, through the GL state cache), making it
    // first when there is a context and the texture is missing or belongs to
    // an earlier one.
    virtual void PrepareTexture();

private:
    void DeleteTexture();
};
