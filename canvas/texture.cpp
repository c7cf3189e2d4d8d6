#include "canvas/texture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "canvas/render_state.h"
#include "host/errors.h"
#include "host/frame.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "host/gl_state.h"

gc_root<c_IntMap2> colorTextures;
gc_root<c_Texture> whiteTexture;
gc_root<c_Texture> blackTexture;
gc_root<c_Texture> flatTexture;

c_Texture::c_Texture(int w, int h, int fmt, int textureFlags, c_DataBuffer* pixels) {
    Init(w, h, fmt, textureFlags);
    LoadPixelData(pixels);
    data = pixels;
}

c_Texture* c_Texture::Init(int w, int h, int fmt, int textureFlags) {
    RequireRenderer();
    if (fmt != 4) RuntimeError("Invalid texture format: " + String(fmt));
    width = w;
    height = h;
    format = fmt;
    flags = textureFlags;
    CreateGlObjects();
    return this;
}

void c_Texture::CreateGlObjects() {
    builtGeneration = graphicsGeneration;
    GLuint name = 0;
    gl.GenTextures(1, &name);
    textureName = static_cast<int>(name);
    BindForEditing();

    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, (flags & LinearFilter) ? GL_LINEAR : GL_NEAREST);
    GLint minFilter = GL_NEAREST;
    if ((flags & LinearFilter) && (flags & MipmapFilter))
        minFilter = GL_LINEAR_MIPMAP_LINEAR;
    else if (flags & MipmapFilter)
        minFilter = GL_NEAREST_MIPMAP_NEAREST;
    else if (flags & LinearFilter)
        minFilter = GL_LINEAR;
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    if (flags & ClampU) gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    if (flags & ClampV) gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);

    framebufferName = 0;
    if (flags & FramebufferTarget) {
        GLuint fb = 0;
        gl.GenFramebuffers(1, &fb);
        framebufferName = static_cast<int>(fb);
        glState.BindFramebuffer(framebufferName);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name, 0);
        if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            RuntimeError("Incomplete framebuffer");
        // Back to the window, which every canvas draws into.
        glState.BindFramebuffer(renderState.windowFramebuffer);
    }
}

void c_Texture::BindForEditing() { glState.BindTexture(0, textureName); }

void c_Texture::Validate() {
    if (builtGeneration == graphicsGeneration) return;
    CreateGlObjects();
    // The same pixels again, in the new context (which is drawn anyway).
    if (data) Upload(data);
}

int c_Texture::TextureName() {
    Validate();
    return textureName;
}

int c_Texture::FramebufferName() {
    Validate();
    return framebufferName;
}

void c_Texture::LoadPixelData(c_DataBuffer* pixels) {
    Validate();
    Upload(pixels);
    // Whatever shows this texture now looks different.
    frameRecord.RequireRedraw();
}

void c_Texture::Upload(c_DataBuffer* pixels) {
    BindForEditing();
    const unsigned char* bytes = pixels ? pixels->Data() : nullptr;
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
    if (!(flags & MipmapFilter)) return;
    if (!bytes) {
        RegenerateMipmaps();
        return;
    }
    // The levels are made here, the same 2x2 averages that glGenerateMipmap
    // gives, because a software rasteriser builds a program for that call
    // the first time (about 55 ms of the start-up).
    std::vector<unsigned char> level, next;
    int w = width, h = height;
    for (int n = 1; w > 1 || h > 1; ++n) {
        int halfW = w > 1 ? w / 2 : 1, halfH = h > 1 ? h / 2 : 1;
        next.resize(static_cast<size_t>(halfW) * halfH * 4);
        HalveRgba(bytes, w, h, next.data());
        gl.TexImage2D(GL_TEXTURE_2D, n, GL_RGBA, halfW, halfH, 0, GL_RGBA, GL_UNSIGNED_BYTE, next.data());
        level.swap(next);
        bytes = level.data();
        w = halfW;
        h = halfH;
    }
}

void HalveRgba(const unsigned char* pixels, int width, int height, unsigned char* half) {
    int halfW = width > 1 ? width / 2 : 1, halfH = height > 1 ? height / 2 : 1;
    size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < halfH; ++y) {
        const unsigned char* top = pixels + 2 * y * row;
        // A side of one pixel has no second row or column to take.
        const unsigned char* bottom = height > 1 ? top + row : top;
        int right = width > 1 ? 4 : 0;
        for (int x = 0; x < halfW; ++x, top += 8, bottom += 8)
            for (int c = 0; c < 4; ++c)
                *half++ = static_cast<unsigned char>((top[c] + top[c + right] + bottom[c] + bottom[c + right] + 2) / 4);
    }
}

void c_Texture::RegenerateMipmaps() {
    if (!(flags & MipmapFilter) || builtGeneration != graphicsGeneration) return;
    BindForEditing();
    gl.GenerateMipmap(GL_TEXTURE_2D);
}

void c_Texture::Destroy() {
    if (builtGeneration == graphicsGeneration) {
        GLuint name = static_cast<GLuint>(textureName);
        gl.DeleteTextures(1, &name);
        glState.TextureDeleted(textureName);
    }
    // The framebuffer object is forgotten, not deleted: no texture of this
    // system is a render target that outlives its context.
    textureName = 0;
    framebufferName = 0;
}


c_Texture* c_Texture::Load(const String& path, int fmt, int textureFlags, int64_t maxPixels) {
    int w = 0, h = 0;
    unsigned char* pixels = currentGame->LoadPicture(CompleteDataPath(path), &w, &h, maxPixels);
    if (!pixels) return nullptr;
    c_DataBuffer* buffer = (new c_DataBuffer())->New(w * h * 4);
    std::memcpy(buffer->Data(), pixels, static_cast<size_t>(w) * h * 4);
    std::free(pixels);
    return new c_Texture(w, h, fmt, textureFlags, buffer);
}

c_Texture* c_Texture::ColorTexture(int color) {
    c_Texture* texture = colorTextures->Lookup(color);
    if (texture) return texture;
    c_DataBuffer* pixel = (new c_DataBuffer())->New(4);
    pixel->PokeInt(0, color);
    texture = new c_Texture(1, 1, 4, ClampUV, pixel);
    colorTextures->Put(color, texture);
    return texture;
}

c_Texture* c_Texture::WhiteTexture() {
    if (!whiteTexture) whiteTexture = ColorTexture(static_cast<int>(0xffffffffu));
    return whiteTexture;
}

c_Texture* c_Texture::BlackTexture() {
    if (!blackTexture) blackTexture = ColorTexture(static_cast<int>(0xff000000u));
    return blackTexture;
}

c_Texture* c_Texture::FlatTexture() {
    if (!flatTexture) flatTexture = ColorTexture(static_cast<int>(0xff888888u));
    return flatTexture;
}
