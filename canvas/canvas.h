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
// Frames: every clear and every batch the canvas draws is also written into
// the frame's description (host/frame.h), as the GL values it is drawn
// under (worked out by the same code as Validate's) and its runs and
// vertices; while a frame is only probed, that is all it does. At the start
// of every frame each canvas goes back to its frame state (StartFrame).
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
    int viewX = 0, viewY = 0, viewW = 0, viewH = 0;
    // Relative to the viewport.
    gc_array<int> scissor;
    int clipX = 0, clipY = 0, clipW = 0, clipH = 0;
    bool clearNeedsScissor = false;
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
              shadowMap, colorMask)

private:
    // The viewport and scissor GL gets, bottom-up, from the fields.
    struct Placement {
        int viewX, viewY, viewW, viewH;
        int clipX, clipY, clipW, clipH;
        bool clearNeedsScissor;
    };
    Placement Place() const;
    ShaderValues WorkOutShaderValues(c_Texture** shadow);
    void FlushRecorded();
    void TakeWindowSize();
    void PlaceViewport();
    void SendShaderValues();
    // Another canvas that is current is flushed first: runs are drawn in
    // the order they were recorded, whichever canvas recorded them.
    void BecomeCurrent();
    // One clear (with its colour) or one batch (with its runs and
    // vertices) into the frame's description.
    void DescribeClear(const float* color);
    void DescribeBatch();
    void DescribeState(const float* clearColor);
};

// The frame set-up of the canvases (FrameRecord::startFrame): StartFrame on
// every canvas alive.
void StartCanvasFrames();

// The vertex buffer, its attribute layout and the quad index buffer, shared
// by all canvases, for the current graphics generation; nothing when they
// already exist for it. The vertex buffer holds one upload (UPLOAD_BYTES)
// and stays bound to GL_ARRAY_BUFFER, the index buffer to
// GL_ELEMENT_ARRAY_BUFFER: nothing else binds buffers.
void MakeContextBuffers();
