#include "host/frame.h"

#include "host/game.h"

FrameRecord frameRecord;

void FrameRecord::Start(bool probe) {
    probing = probe;
    description_.clear();
    if (startFrame) startFrame();
}

void FrameRecord::Describe(const void* bytes, size_t count) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    description_.insert(description_.end(), p, p + count);
}

void FrameRecord::Reset() {
    probing = false;
    description_.clear();
    presented_.clear();
    redrawRequired_ = true;
    generation_ = width_ = height_ = -1;
}

bool RenderChangedFrame(KtGame& game) {
    if (!game.IsStarted()) return false;
    FrameRecord& f = frameRecord;
    int w = game.WindowWidth(), h = game.WindowHeight();
    bool required = f.redrawRequired_ || f.generation_ != graphicsGeneration || f.width_ != w || f.height_ != h;
    if (!required) {
        f.Start(true);
        game.Render();
        f.probing = false;
        // A texture made or changed while probing requires the redraw too.
        if (!f.redrawRequired_ && f.description_ == f.presented_) return false;
    }
    // Cleared before drawing: what changes during the drawing is drawn again.
    f.redrawRequired_ = false;
    f.Start(false);
    game.Render();
    f.presented_.swap(f.description_);
    f.generation_ = graphicsGeneration;
    f.width_ = w;
    f.height_ = h;
    return true;
}
