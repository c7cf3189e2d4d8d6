#include "framework/graphics.h"

#include <cstdlib>

#include "framework/app.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "host/gl_state.h"

namespace {

int NextPowerOfTwo(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

int FormatOfDepth(int depth) {
    switch (depth) {
    case 1: return GL_LUMINANCE;
    case 2: return GL_LUMINANCE_ALPHA;
    case 3: return GL_RGB;
    default: return GL_RGBA;
    }
}

}  // namespace

gxtkGraphics::gxtkGraphics() {
    width = theHost->WindowWidth();
    height = theHost->WindowHeight();
}

int gxtkGraphics::FrameWidth() { return width; }
int gxtkGraphics::FrameHeight() { return height; }

int gxtkGraphics::StartFrame() {
    width = theHost->WindowWidth();
    height = theHost->WindowHeight();
    return 0;
}

void gxtkGraphics::EndFrame() {}
void gxtkGraphics::DropGraphics() {}

gxtkSurface* gxtkGraphics::OpenSurface(const String& path, int64_t maxPixels) {
    gxtkSurface* surface = new gxtkSurface();
    if (!FillSurface(surface, path, maxPixels)) return nullptr;
    surface->PrepareTexture();
    return surface;
}

gxtkSurface* gxtkGraphics::MakeSurface(int w, int h) {
    gxtkSurface* surface = new gxtkSurface();
    surface->width = w;
    surface->height = h;
    surface->depth = 4;
    surface->format = GL_RGBA;
    surface->PrepareTexture();
    return surface;
}

bool gxtkGraphics::FillSurface(gxtkSurface* surface, const String& path, int64_t maxPixels) {
    int w = 0, h = 0;
    unsigned char* pixels = theHost->LoadPicture(path, &w, &h, maxPixels);
    if (!pixels) return false;
    surface->TakePixels(pixels, w, h, 4);
    return true;
}

void gxtkGraphics::ClearScreen(float r, float g, float b) {
    gl.ClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    gl.Clear(GL_COLOR_BUFFER_BIT);
}

void gxtkGraphics::SetOpacity(float a) {
    alpha = a;
    UpdateColour();
}

void gxtkGraphics::SetTint(float r, float g, float b) {
    red = r;
    green = g;
    blue = b;
    UpdateColour();
}

void gxtkGraphics::UpdateColour() {
    uint32_t r = static_cast<uint32_t>(red * alpha);
    uint32_t g = static_cast<uint32_t>(green * alpha);
    uint32_t b = static_cast<uint32_t>(blue * alpha);
    uint32_t a = static_cast<uint32_t>(255.0f * alpha);
    colour = r | (g << 8) | (b << 16) | (a << 24);
}

void gxtkGraphics::SetBlendMode(int mode) {
    if (mode == 1) {
        glState.BlendFunc(GL_ONE, GL_ONE);
    } else {
        glState.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
}

void gxtkGraphics::SetClip(int x, int y, int w, int h) {
    if (x == 0 && y == 0 && w == width && h == height) {
        glState.EnableScissorTest(false);
        return;
    }
    glState.EnableScissorTest(true);
    // The window's y grows downwards, OpenGL's upwards.
    glState.Scissor(x, height - y - h, w, h);
}

void gxtkGraphics::SetTransform(float ix, float iy, float jx, float jy, float tx, float ty) {
    float m[6] = {ix, iy, jx, jy, tx, ty};
    for (int i = 0; i < 6; ++i) matrix[i] = m[i];
    transformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
}

gxtkSurface::~gxtkSurface() { DropSurface(); }

void gxtkSurface::TakePixels(unsigned char* p, int w, int h, int d) {
    std::free(pixels);
    pixels = p;
    width = w;
    height = h;
    depth = d;
    format = FormatOfDepth(d);
}

void gxtkSurface::DeleteTexture() {
    if (builtGeneration != graphicsGeneration) return;
    gl.DeleteTextures(1, &texture);
    glState.TextureDeleted(static_cast<int>(texture));
    builtGeneration = -1;
}

void gxtkSurface::DropSurface() {
    DeleteTexture();
    std::free(pixels);
    pixels = nullptr;
}

int gxtkSurface::SurfaceWidth() { return width; }
int gxtkSurface::SurfaceHeight() { return height; }
bool gxtkSurface::IsLoaded() { return true; }

void gxtkSurface::PrepareTexture() {
    if (graphicsGeneration == 0) return;
    if (builtGeneration == graphicsGeneration) {
        glState.BindTexture(0, static_cast<int>(texture));
        return;
    }
    builtGeneration = graphicsGeneration;
    gl.GenTextures(1, &texture);
    glState.BindTexture(0, static_cast<int>(texture));
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    // An error left by earlier calls must not be taken for this definition's.
    // OpenGL keeps at most one flag per kind of error, so a few reads clear them.
    for (int i = 0; i < 8 && gl.GetError() != GL_NO_ERROR; ++i) {
    }
    int textureWidth = width;
    int textureHeight = height;
    gl.TexImage2D(GL_TEXTURE_2D, 0, format, textureWidth, textureHeight, 0, format, GL_UNSIGNED_BYTE, nullptr);
    if (gl.GetError() != GL_NO_ERROR) {
        // Some devices take only power-of-two sizes.
        textureWidth = NextPowerOfTwo(width);
        textureHeight = NextPowerOfTwo(height);
        gl.TexImage2D(GL_TEXTURE_2D, 0, format, textureWidth, textureHeight, 0, format, GL_UNSIGNED_BYTE,
                      nullptr);
    }
    uscale = 1.0f / static_cast<float>(textureWidth);
    vscale = 1.0f / static_cast<float>(textureHeight);

    if (pixels) {
        gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, pixels);
    }
}
