#include "canvas/texture.h"

#include <cstdint>
#include <cstdlib>

#include "canvas/renderer.h"
#include "host/errors.h"
#include "host/game.h"
#include "host/gl_api.h"

gc_root<c_IntMap2> colorTextures;
gc_root<c_Texture> whiteTexture;
gc_root<c_Texture> blackTexture;
gc_root<c_Texture> flatTexture;

namespace {

int BoundTexture() {
    GLint name = 0;
    gl.GetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

}  // namespace

c_Texture::c_Texture(int w, int h, int fmt, int textureFlags, c_DataBuffer* pixels) {
    Init(w, h, fmt, textureFlags);
    LoadPixelData(pixels);
    data = pixels;
}

c_Texture* c_Texture::Init(int w, int h, int fmt, int textureFlags) {
    InitRenderer();
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
    int saved = BoundTexture();
    gl.BindTexture(GL_TEXTURE_2D, name);

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
    gl.BindTexture(GL_TEXTURE_2D, saved);

    framebufferName = 0;
    if (flags & FramebufferTarget) {
        GLuint fb = 0;
        gl.GenFramebuffers(1, &fb);
        framebufferName = static_cast<int>(fb);
        GLint savedFramebuffer = 0;
        gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &savedFramebuffer);
        gl.BindFramebuffer(GL_FRAMEBUFFER, fb);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, name, 0);
        if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            RuntimeError("Incomplete framebuffer");
        gl.BindFramebuffer(GL_FRAMEBUFFER, savedFramebuffer);
    }
}

void c_Texture::Validate() {
    if (builtGeneration == graphicsGeneration) return;
    CreateGlObjects();
    if (data) LoadPixelData(data);
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
    int name = TextureName();
    int saved = BoundTexture();
    gl.BindTexture(GL_TEXTURE_2D, name);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                  pixels ? pixels->Data() : nullptr);
    gl.BindTexture(GL_TEXTURE_2D, saved);
    RegenerateMipmaps();
}

void c_Texture::RegenerateMipmaps() {
    if (!(flags & MipmapFilter) || builtGeneration != graphicsGeneration) return;
    int saved = BoundTexture();
    gl.BindTexture(GL_TEXTURE_2D, textureName);
    gl.GenerateMipmap(GL_TEXTURE_2D);
    gl.BindTexture(GL_TEXTURE_2D, saved);
}

void c_Texture::Destroy() {
    if (builtGeneration == graphicsGeneration) {
        GLuint name = static_cast<GLuint>(textureName);
        gl.DeleteTextures(1, &name);
    }
    // The framebuffer object is forgotten, not deleted: no texture of this
    // system is a render target that outlives its context.
    textureName = 0;
    framebufferName = 0;
}


String TextureDataPath(const String& path) {
    if (path.HasPrefix(String(".")) || path.HasPrefix(String("/"))) return path;
    int colon = path.IndexOf(String(":/"));
    if (colon != -1 && path.IndexOf(String("/")) == colon + 1) return path;
    return String("ravlen://data/") + path;
}

c_DataBuffer* PremultipliedRgba(const unsigned char* pixels, int width, int height, int components) {
    if (components < 1 || components > 4 || width <= 0 || height <= 0) return nullptr;
    // The buffer's length is a 32-bit count of bytes; a picture whose RGBA
    // copy would not fit is refused instead of wrapping to a short buffer.
    int64_t bytes = static_cast<int64_t>(width) * height * 4;
    if (bytes > INT32_MAX) return nullptr;
    int count = width * height;
    c_DataBuffer* buffer = (new c_DataBuffer())->New(static_cast<int>(bytes));
    unsigned char* out = buffer->Data();
    for (int i = 0; i < count; ++i, out += 4) {
        const unsigned char* in = pixels + static_cast<size_t>(i) * components;
        switch (components) {
        case 1: out[0] = out[1] = out[2] = in[0]; out[3] = 255; break;
        case 2: out[0] = out[1] = out[2] = in[0]; out[3] = in[1]; break;
        case 3: out[0] = in[0]; out[1] = in[1]; out[2] = in[2]; out[3] = 255; break;
        default: out[0] = in[0]; out[1] = in[1]; out[2] = in[2]; out[3] = in[3]; break;
        }
        int a = out[3];
        for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(out[c] * a / 255);
    }
    return buffer;
}

c_Texture* c_Texture::Load(const String& path, int fmt, int textureFlags, int64_t maxPixels) {
    int w = 0, h = 0, components = 0;
    unsigned char* pixels = currentGame->LoadImagePixels(TextureDataPath(path), &w, &h, &components, maxPixels);
    if (!pixels) return nullptr;
    c_DataBuffer* buffer = PremultipliedRgba(pixels, w, h, components);
    std::free(pixels);
    if (!buffer) return nullptr;
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
