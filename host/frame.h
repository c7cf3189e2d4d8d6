// Frames: the drawing state every frame starts from, and whether a frame is
// drawn and presented at all.
//
// The rule that decides, for every host (RenderChangedFrame): a frame is
// drawn and presented when what it would send to GL differs from what the
// last presented frame sent, or when the window needs a picture whatever the
// frame holds: a new GL context, a new window size, an expose, a changed
// texture or material (RequireRedraw). Otherwise nothing reaches GL, nothing
// is swapped, and the last presented picture stays on the screen.
//
// What a frame would send is written into the frame's description by the
// renderer, as the application draws: every clear and every batch of quads,
// with the viewport, scissor, projection and shader values it is drawn under
// (see c_Canvas). Nothing else says that the picture changed: a new screen,
// button or indicator is noticed because its quads are, without code of its
// own.
//
// To learn a frame's description without drawing it, the frame is first
// rendered as a probe: the renderer describes and sends nothing to GL. Only
// when the description differs is the frame rendered again, drawing. So the
// application's drawing must follow from its state without changing it (the
// same frame drawn twice is the same frame), which is what a frame is anyway.
#pragma once

#include <cstddef>
#include <vector>

class KtGame;

class FrameRecord {
public:
    // True while a frame is probed: the renderer describes it and sends
    // nothing to GL.
    bool probing = false;
    // The renderer's frame set-up (the canvas registers it): runs at the
    // start of every frame, so that no drawing state (viewport, scissor,
    // blend mode) carries over from one frame into the next.
    void (*startFrame)() = nullptr;

    // Begins a frame: an empty description, then the renderer's set-up.
    void Start(bool probe);
    // Appends to the description of the frame being rendered.
    void Describe(const void* bytes, size_t count);
    // The next frame is drawn and presented whatever it holds.
    void RequireRedraw() { redrawRequired_ = true; }
    // Forgets the presented frame, as at start-up.
    void Reset();

private:
    friend bool RenderChangedFrame(KtGame& game);
    std::vector<unsigned char> description_;
    std::vector<unsigned char> presented_;
    bool redrawRequired_ = true;
    // The GL context and window size the presented frame was drawn for.
    int generation_ = -1, width_ = -1, height_ = -1;
};

// The one record of the process: there is one window.
extern FrameRecord frameRecord;

// Renders the game's frame when the picture can have changed (the rule
// above); true when it drew, and the host must then present it (swap).
bool RenderChangedFrame(KtGame& game);
