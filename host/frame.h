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
// What a frame would send is kept by the renderer as the application draws:
// every clear and every batch of quads, with the viewport, scissor,
// projection and shader values it is drawn under and its runs and vertices
// (see c_Canvas). Nothing else says that the picture changed: a new screen,
// button or indicator is noticed because its quads are, without code of its
// own.
//
// A frame is rendered once. While the host renders it (`recording`), the
// renderer keeps each clear and batch instead of sending it, and compares it
// with the same batch of the frame it sent last as it goes (once one
// differs, the rest are not compared). When the application has drawn, the
// renderer sends what it kept if the window needs a picture or the frame
// differs, else drops it (endFrame). The vertices it sends are the ones it
// compared: nothing is drawn twice or copied. Drawing done outside the
// host's frames (a benchmark, a tool) is sent at once and kept by nothing.
#pragma once

class KtGame;

class FrameRecord {
public:
    // True while the host renders a frame: the renderer keeps what it would
    // send.
    bool recording = false;
    // The renderer's frame set-up (the canvas registers it): runs at the
    // start of every frame, so that no drawing state (viewport, scissor,
    // blend mode) carries over from one frame into the next.
    void (*startFrame)() = nullptr;
    // The renderer's frame end: sends what it kept when `required` or when
    // it differs from what it sent last, else drops it; true when it sent.
    // Either way it keeps nothing of the frame but what it sent.
    bool (*endFrame)(bool required) = nullptr;

    // The next frame is drawn and presented whatever it holds.
    void RequireRedraw() { redrawRequired_ = true; }
    // Forgets the presented frame, as at start-up.
    void Reset();

private:
    friend bool RenderChangedFrame(KtGame& game);
    bool redrawRequired_ = true;
    // The GL context and window size the presented frame was drawn for.
    int generation_ = -1, width_ = -1, height_ = -1;
};

// The one record of the process: there is one window.
extern FrameRecord frameRecord;

// Renders the game's frame and draws it when the picture can have changed
// (the rule above); true when it drew, and the host must then present it
// (swap).
bool RenderChangedFrame(KtGame& game);
