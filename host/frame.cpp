#include "host/frame.h"

#include "host/game.h"

FrameRecord frameRecord;

void FrameRecord::Reset() {
    recording = false;
    redrawRequired_ = true;
    generation_ = width_ = height_ = -1;
}

bool RenderChangedFrame(KtGame& game) {
    if (!game.IsStarted()) return false;
    FrameRecord& f = frameRecord;
    int w = game.WindowWidth(), h = game.WindowHeight();
    f.recording = true;
    if (f.startFrame) f.startFrame();
    game.Render();
    f.recording = false;
    // A texture made or changed while rendering requires the drawing too.
    bool required = f.redrawRequired_ || f.generation_ != graphicsGeneration || f.width_ != w || f.height_ != h;
    // Cleared before sending: what changes while the kept frame is sent is
    // drawn again next time.
    f.redrawRequired_ = false;
    if (!(f.endFrame ? f.endFrame(required) : required)) return false;
    f.generation_ = graphicsGeneration;
    f.width_ = w;
    f.height_ = h;
    return true;
}
