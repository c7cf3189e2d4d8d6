// c_Canvas: the draw list the application draws on, owning the OpenGL state
// its runs need. State changes are lazy: a setter flushes what was recorded
// under the old state and marks what changed in `dirty`; Validate works out
// only the marked parts, just before drawing or clearing, and then hands the
// canvas's framebuffer, viewport and scissor to the GL state cache, which
// sends what GL does not have already (so a change made by the framework's
// immediate graphics in between is undone, and nothing else is sent twice).
//
// The dirty bits:
//   DIRTY_VIEWPORT     viewport and scissor (and whether a clear needs its own scissor)
//   DIRTY_SHADER       projection, model-view and the other shared shader values
//   DIRTY_LINE_WIDTH   line width
//   DIRTY_COLOR_MASK   colour mask
// All bits are set at construction, on a new graphics generation and when
// this canvas becomes the current one; Validate clears them all.
//
// Every clear and every batch goes one way to GL: its DrawnState is taken
// from the worked-out values, and Draw sends it and then clears or draws the
// batch's runs. Outside the host's frames that happens at once. While the
// host renders a frame (host/frame.h) the canvas keeps it instead, with the
// range of runs and vertex bytes it covers (the draw list is not reset
// between the frame's batches, so nothing is copied), and compares it with
// the same batch of the frame sent last; at the frame's end the kept
// batches are drawn in the order they were made, or dropped. A sent frame's
// vertex bytes stay in its canvases' `sentData`: each canvas swaps its two
// buffers when a frame is sent. A texture or material is drawn as it is
// when the frame is sent: one changed while the application draws a frame
// shows changed in all of that frame's batches. At the start of every frame
// each canvas goes back to its frame state (StartFrame).
#pragma once

#include "canvas/draw_list.h"
#include "canvas/render_state.h"
#include "runtime/array.h"
#include "runtime/gc_ref.h"

class c_Image2;
class c_Texture;

constexpr int DIRTY_VIEWPORT = 2;
constexpr int DIRTY_SHADER = 4;
constexpr int DIRTY_LINE_WIDTH = 8;
constexpr int DIRTY_COLOR_MASK = 16;

// A scissor this large (from 0, 0) covers any viewport: no scissor.
constexpr int NO_SCISSOR_SIZE = 10000;

// What GL is given for one clear or one batch besides its runs and
// vertices: the worked-out viewport, scissor and shader values and the
// clear's colour. Plain 4-byte numbers only (no padding), every one written,
// so that equal states compare equal as bytes. The shader values come last:
// a clear reads none, and its comparison stops before them and the shadow
// texture (a projection
// set after the clear, and so still the last frame's when it runs, changes
// nothing).
struct DrawnState {
    int kind;  // kDrawnClear or kDrawnBatch; 0 for the state alone (Validate)
    int framebuffer;
    int view[4];  // viewport, window pixels bottom-up
    int clip[4];  // scissor, the same
    int clearNeedsScissor;
    int colorMask[4];
    float lineWidth;
    float clearColor[4];
    int runs;
    int vertexBytes;
    int shadowTexture;  // serial, 0 for none
    ShaderValues values;
};
constexpr int kDrawnClear = 1;
constexpr int kDrawnBatch = 2;

class c_LightData : public Object {
public:
    int type = 0;  // 0: off; nothing in this system switches a light on
    gc_array<float> vector;
    gc_array<float> viewVector;
    gc_array<float> color;
    float range = 10.0f;

    c_LightData();
    GC_FIELDS(Object, vector, viewVector, color)
};

class c_Canvas : public c_DrawList {
public:
    int dirty = -1;
    gc_array<c_LightData*> lights;
    int builtGeneration = 0;
    int width = 0, height = 0;
    int targetWidth = 0, targetHeight = 0;
    // Window pixels from the top-left.
    gc_array<int> viewport;
    // Relative to the viewport.
    gc_array<int> scissor;
    // The values worked out from the fields for GL, as far as `dirty` lets
    // them be: a part is worked out again only while its bit is set.
    DrawnState drawn{};
    gc_ref<c_Texture> drawnShadow;
    // The frame's runs and vertex bytes already kept as batches: the next
    // batch starts there.
    int keptRuns = 0, keptBytes = 0;
    // The vertex bytes of this canvas's batches in the frame sent last.
    gc_ref<c_DataBuffer> sentData;
    gc_array<float> projMatrix;
    gc_array<float> viewMatrix;
    gc_array<float> modelMatrix;
    gc_array<float> ambientLight;
    gc_array<float> fogColor;
    gc_ref<c_Image2> shadowMap;
    float lineWidth = 1.0f;
    gc_array<bool> colorMask;

    c_Canvas();
    ~c_Canvas() override;
    c_Canvas* Init();
    // The state every frame starts from, whatever the last one left: the
    // whole window as viewport, no scissor, alpha blending, opaque white, the
    // identity matrix; quads recorded outside a frame are dropped. The
    // projection stays: the application sets it once or every frame, and
    // reads pointer positions through it between frames.
    void StartFrame();

    void SetViewport(int x, int y, int w, int h);
    void SetScissor(int x, int y, int w, int h);
    void SetOrthoProjection(float left, float right, float top, float bottom, float znear, float zfar);
    void Clear(float r, float g, float b, float a);
    void Flush() override;
    // Window pixels to projection space, through the viewport and the
    // inverse of the projection (without the window's flip).
    void UnprojectPoint(Array<float> inCoords, Array<float> outCoords);
    void Validate();

    GC_FIELDS(c_DrawList, lights, viewport, scissor, projMatrix, viewMatrix, modelMatrix, ambientLight, fogColor,
              shadowMap, colorMask, drawnShadow, sentData)

    // One clear or batch as Draw sends it: its runs and vertex bytes are
    // the canvas's (once sent, its runs are kept aside and its bytes are in
    // sentData).
    struct Batch {
        c_Canvas* canvas;
        int parts;  // the dirty bits whose values it sends
        c_Texture* shadow;
        int firstRun, endRun, firstByte, endByte;
        DrawnState state;
    };
    void Draw(const Batch& batch);
    // Drops what the frame kept and what is recorded.
    void DropKept();

private:
    // The viewport and scissor GL gets, bottom-up, from the fields.
    void Place();
    ShaderValues WorkOutShaderValues(c_Texture** shadow);
    // Works out the dirty parts of `drawn` and returns their bits.
    int WorkOut();
    // The worked-out state alone, as a batch of kind 0.
    Batch StateBatch();
    // A clear (with its colour) or the batch of what was recorded since the
    // last one: drawn at once, or kept and compared while a frame is.
    void Submit(const float* clearColor);
    void FlushRecorded();
    void TakeWindowSize();
    // Another canvas that is current is flushed first: runs are drawn in
    // the order they were recorded, whichever canvas recorded them.
    void BecomeCurrent();
};

// The frame set-up and end of the canvases (FrameRecord::startFrame and
// endFrame): StartFrame on every canvas alive; the kept batches drawn or
// dropped.
void StartCanvasFrames();
bool EndCanvasFrames(bool required);

// The vertex buffer, its attribute layout and the quad index buffer, shared
// by all canvases, for the current graphics generation; nothing when they
// already exist for it. The vertex buffer holds one upload (UPLOAD_BYTES)
// and stays bound to GL_ARRAY_BUFFER, the index buffer to
// GL_ELEMENT_ARRAY_BUFFER: nothing else binds buffers.
void MakeContextBuffers();
