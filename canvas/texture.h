// c_Texture: one OpenGL 2D texture (and, for render targets, a framebuffer
// object) with a copy of its pixels, so that it can be rebuilt when a new
// window brings a new GL context. Shared by reference counting.
//
// Pixels: rows top to bottom, 4 bytes R, G, B, A, colour premultiplied by
// alpha for pictures loaded from files. As a little-endian integer a pixel is
// A<<24 | B<<16 | G<<8 | R, which is how colours are given as integers.
#pragma once

#include "canvas/ref_counted.h"
#include "host/data_buffer.h"
#include "host/picture_file.h"
#include "runtime/array.h"
#include "runtime/containers.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

// Texture flags; the values are part of the interface.
constexpr int LinearFilter = 1;
constexpr int MipmapFilter = 2;
constexpr int ClampU = 4;
constexpr int ClampV = 8;
constexpr int ClampUV = 12;
constexpr int FramebufferTarget = 16;
// Every texture here keeps its pixels; the flag only passes the image mask.
constexpr int KeepPixels = 256;

class c_Texture : public c_RefCounted {
public:
    int flags = 0;
    int width = 0;
    int height = 0;
    int format = 0;
    int builtGeneration = 0;
    int textureName = 0;
    int framebufferName = 0;
    gc_ref<c_DataBuffer> data;

    c_Texture() = default;
    // Init, upload and keep the pixels.
    c_Texture(int width, int height, int format, int flags, c_DataBuffer* data);

    c_Texture* Init(int width, int height, int format, int flags);

    // A picture file (its path completed by CompleteDataPath, read by the
    // host's LoadPicture) as a premultiplied RGBA texture, or null when the
    // file cannot be read or decoded or has more than `maxPixels` pixels.
    static c_Texture* Load(const String& path, int format, int flags, int64_t maxPixels = kMaxPicturePixels);
    // The shared 1x1 texture of one colour, made on first use, kept for ever.
    static c_Texture* ColorTexture(int color);
    static c_Texture* WhiteTexture();
    static c_Texture* BlackTexture();
    static c_Texture* FlatTexture();

    int TextureName();
    int FramebufferName();
    // Rebuilds the GL objects (and re-uploads the pixels) when they belong to
    // an older context.
    void Validate();
    void LoadPixelData(c_DataBuffer* pixels);
    void RegenerateMipmaps();

    int Width() const { return width; }
    int Height() const { return height; }
    int Flags() const { return flags; }

    void Destroy() override;
    GC_FIELDS(c_RefCounted, data)

private:
    void CreateGlObjects();
    void Upload(c_DataBuffer* pixels);
    // Binds the texture for defining or changing it. The GL state cache
    // keeps the binding; whoever draws binds what it needs through the cache.
    void BindForEditing();
};

// The next mipmap level of RGBA pixels (rows top to bottom): each pixel the
// rounded average of a 2x2 block; a side of one pixel stays one, the last
// column or row of an odd side is left out, as GL halves sizes.
void HalveRgba(const unsigned char* pixels, int width, int height, unsigned char* half);

// The shared colour textures.
extern gc_root<c_IntMap2> colorTextures;
extern gc_root<c_Texture> whiteTexture;
extern gc_root<c_Texture> blackTexture;
extern gc_root<c_Texture> flatTexture;
