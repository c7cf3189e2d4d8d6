#include "framework/graphics_context.h"

#include "framework/app.h"
#include "framework/graphics.h"
#include "host/errors.h"
#include "host/game.h"

namespace {

// The default font covers the 96 characters from the space (32) on.
constexpr int kFontFrames = 96;
constexpr int kFontFirstChar = 32;
// 128 x 128 pixels: the largest frame the font picture may have. A picture
// with more pixels than its frames may hold is refused before it is decoded,
// as an unreadable one would be.
constexpr int64_t kMaxFontFramePixels = 128 * 128;

}  // namespace

c_Image* c_Image::Init(gxtkSurface* s, int frameCount, int f) {
    if (surface) RuntimeError(String("Image already initialized"));
    // Dividing the surface into no frames would divide by zero.
    if (frameCount < 1) frameCount = 1;
    surface = s;
    width = s->width / frameCount;
    height = s->height;
    frames = Array<c_Frame*>(frameCount);
    for (int i = 0; i < frameCount; ++i) {
        c_Frame* frame = new c_Frame();
        frame->x = i * width;
        frames[i] = frame;
    }

    flags = f;
    if (flags & kXPadding) {
        for (int i = 0; i < frameCount; ++i) frames[i]->x += 1;
        width -= 2;
    }
    if (flags & kYPadding) {
        for (int i = 0; i < frameCount; ++i) frames[i]->y += 1;
        height -= 2;
    }
    if (flags & kMidHandle) {
        flags &= ~kMidHandle;
        handleX = static_cast<float>(width / 2);
        handleY = static_cast<float>(height / 2);
    }
    if (frameCount == 1 && frames[0]->x == 0 && frames[0]->y == 0 && s->width == width && s->height == height)
        flags |= kFullSurface;
    return this;
}

void c_GraphicsContext::LoadDefaultFont() {
    if (!defaultFont) defaultFont = OpenFramedImage(String("vexa_font.png"), kFontFrames, c_Image::kXPadding,
                                                  kFontFrames * kMaxFontFramePixels);
    font = defaultFont;
    firstChar = kFontFirstChar;
}

void c_GraphicsContext::ApplyDefaultState(gxtkGraphics* graphics) {
    activeRenderer = graphics;
    device = graphics;
    float identity[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i) matrix[i] = identity[i];
    graphics->SetTransform(1, 0, 0, 1, 0, 0);
    red = green = blue = 255;
    graphics->SetTint(red, green, blue);
    alpha = 1;
    graphics->SetOpacity(alpha);
    blendMode = 0;
    graphics->SetBlendMode(blendMode);
    scissor[0] = 0;
    scissor[1] = 0;
    scissor[2] = static_cast<float>(graphics->FrameWidth());
    scissor[3] = static_cast<float>(graphics->FrameHeight());
    graphics->SetClip(0, 0, graphics->FrameWidth(), graphics->FrameHeight());
}

c_Image* OpenFramedImage(const String& path, int frameCount, int flags, int64_t maxPixels) {
    gxtkSurface* surface = graphicsDevice->OpenSurface(CompleteDataPath(path), maxPixels);
    if (!surface) return nullptr;
    return (new c_Image())->Init(surface, frameCount, flags);
}
