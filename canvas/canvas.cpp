#include "canvas/canvas.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "canvas/font.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "canvas/matrix4.h"
#include "canvas/render_state.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/frame.h"
#include "host/game.h"
#include "host/gl_api.h"
#include "host/gl_state.h"

namespace {

Array<float> Identity4x4() {
    Array<float> m(16);
    Mat4Identity(m.Data());
    return m;
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// Every canvas alive, for the frame set-up; a canvas leaves as it is freed.
std::vector<c_Canvas*>& LiveCanvases() {
    static std::vector<c_Canvas*> canvases;
    return canvases;
}

// A run as a sent frame keeps it.
struct SentRun {
    int material;  // serial
    int blend;
    int order;
    int count;
    bool operator==(const SentRun& o) const {
        return material == o.material && blend == o.blend && order == o.order && count == o.count;
    }
};

SentRun SentRunOf(c_DrawOp* run) {
    return {run->material ? run->material->serial : 0, run->blend, run->order, run->count};
}

// The frame being rendered, against the frame sent last. `kept` holds the
// batches made so far in order, whichever canvas made them; `differs` turns
// true at the first of them that is not the same as the sent frame's batch
// at its place, and from then on nothing is compared. The sent batches'
// runs are in `sentRuns` (their firstRun and endRun index it), their bytes
// in their canvases' sentData.
struct Frames {
    std::vector<c_Canvas::Batch> kept;
    bool differs = false;
    std::vector<c_Canvas::Batch> sent;
    std::vector<SentRun> sentRuns;
};

Frames& TheFrames() {
    static Frames frames;
    return frames;
}

bool SameAsSent(const Frames& f, const c_Canvas::Batch& b) {
    size_t at = f.kept.size();
    if (at >= f.sent.size()) return false;
    const c_Canvas::Batch& s = f.sent[at];
    size_t stateBytes = b.state.kind == kDrawnClear ? offsetof(DrawnState, shadowTexture) : sizeof(DrawnState);
    if (s.canvas != b.canvas || std::memcmp(&s.state, &b.state, stateBytes) != 0) return false;
    // The same number of runs and bytes: the states hold them.
    for (int i = 0; i < b.state.runs; ++i)
        if (!(SentRunOf(b.canvas->ops->Get(b.firstRun + i)) == f.sentRuns[s.firstRun + i])) return false;
    return std::memcmp(b.canvas->sentData->Data() + s.firstByte, b.canvas->data->Data() + b.firstByte,
                       static_cast<size_t>(b.state.vertexBytes)) == 0;
}

}  // namespace

void StartCanvasFrames() {
    TheFrames().kept.clear();
    TheFrames().differs = false;
    for (c_Canvas* canvas : LiveCanvases()) canvas->StartFrame();
}

bool EndCanvasFrames(bool required) {
    Frames& f = TheFrames();
    bool draw = required || f.differs || f.kept.size() != f.sent.size();
    if (draw) {
        for (const c_Canvas::Batch& b : f.kept) b.canvas->Draw(b);
        // What was sent is what the next frame is compared with.
        f.sentRuns.clear();
        f.sent.swap(f.kept);
        for (c_Canvas::Batch& b : f.sent) {
            int first = static_cast<int>(f.sentRuns.size());
            for (int i = b.firstRun; i < b.endRun; ++i) f.sentRuns.push_back(SentRunOf(b.canvas->ops->Get(i)));
            b.firstRun = first;
            b.endRun = static_cast<int>(f.sentRuns.size());
        }
        for (c_Canvas* canvas : LiveCanvases()) {
            if (!canvas->sentData) canvas->sentData = (new c_DataBuffer())->New(INITIAL_VERTEX_BYTES);
            c_DataBuffer* sent = canvas->data;
            canvas->data = canvas->sentData;
            canvas->sentData = sent;
        }
    }
    f.kept.clear();
    f.differs = false;
    for (c_Canvas* canvas : LiveCanvases()) canvas->DropKept();
    return draw;
}

c_LightData::c_LightData() {
    vector = Array<float>::Of({0, 0, -10, 1});
    viewVector = Array<float>(4);
    color = Array<float>::Of({1, 1, 1, 1});
}

c_Canvas::c_Canvas() {
    lights = Array<c_LightData*>(MAX_LIGHTS);
    viewport = Array<int>::Of({0, 0, 640, 480});
    scissor = Array<int>::Of({0, 0, NO_SCISSOR_SIZE, NO_SCISSOR_SIZE});
    projMatrix = Identity4x4();
    viewMatrix = Identity4x4();
    modelMatrix = Identity4x4();
    ambientLight = Array<float>::Of({0, 0, 0, 1});
    fogColor = Array<float>::Of({0, 0, 0, 0});
    colorMask = Array<bool>::Of({true, true, true, true});
    LiveCanvases().push_back(this);
}

c_Canvas::~c_Canvas() {
    std::vector<c_Canvas*>& canvases = LiveCanvases();
    canvases.erase(std::remove(canvases.begin(), canvases.end(), this), canvases.end());
    // The frames' batches must not outlive their canvas; a sent frame that
    // showed this one is no longer known, and the next is sent whatever.
    Frames& f = TheFrames();
    auto mine = [this](const Batch& b) { return b.canvas == this; };
    f.kept.erase(std::remove_if(f.kept.begin(), f.kept.end(), mine), f.kept.end());
    if (std::any_of(f.sent.begin(), f.sent.end(), mine)) {
        f.sent.clear();
        frameRecord.RequireRedraw();
    }
}

c_Canvas* c_Canvas::Init() {
    RequireRenderer();
    font = defaultFont;
    stockMaterial = fastShader->StockMaterial();
    for (int i = 0; i < MAX_LIGHTS; ++i) lights[i] = new c_LightData();
    dirty = -1;
    TakeWindowSize();
    SetViewport(0, 0, width, height);
    SetOrthoProjection(0, static_cast<float>(width), 0, static_cast<float>(height), -1, 1);
    return this;
}

void c_Canvas::StartFrame() {
    DropKept();
    TakeWindowSize();
    SetViewport(0, 0, width, height);
    SetScissor(0, 0, NO_SCISSOR_SIZE, NO_SCISSOR_SIZE);
    blend = BlendAlpha;
    SetMatrix(1, 0, 0, 1, 0, 0);
    alpha = 255.0f;
    SetColor(1, 1, 1);
}

void c_Canvas::TakeWindowSize() {
    width = targetWidth = currentGame->WindowWidth();
    height = targetHeight = currentGame->WindowHeight();
}

void c_Canvas::DropKept() {
    Reset();
    keptRuns = keptBytes = 0;
}

void c_Canvas::FlushRecorded() {
    if (next == keptBytes) return;
    Submit(nullptr);
}

void c_Canvas::Submit(const float* clearColor) {
    Batch b = StateBatch();
    b.firstRun = keptRuns;
    b.firstByte = keptBytes;
    if (clearColor) {
        b.state.kind = kDrawnClear;
        for (int i = 0; i < 4; ++i) b.state.clearColor[i] = clearColor[i];
        b.endRun = b.firstRun;
        b.endByte = b.firstByte;
    } else {
        b.state.kind = kDrawnBatch;
        b.endRun = ops->Length();
        b.endByte = next;
        b.state.runs = b.endRun - b.firstRun;
        b.state.vertexBytes = b.endByte - b.firstByte;
    }
    if (!frameRecord.recording) {
        Draw(b);
        if (!clearColor) Reset();
        return;
    }
    Frames& f = TheFrames();
    if (!f.differs) f.differs = !SameAsSent(f, b);
    f.kept.push_back(b);
    keptRuns = b.endRun;
    keptBytes = b.endByte;
    // The next quad starts a run of the next batch.
    op = nullRun;
}

void c_Canvas::Flush() { FlushRecorded(); }

void c_Canvas::SetViewport(int x, int y, int w, int h) {
    FlushRecorded();
    viewport[0] = x;
    viewport[1] = y;
    viewport[2] = w;
    viewport[3] = h;
    dirty |= DIRTY_VIEWPORT;
}

void c_Canvas::SetScissor(int x, int y, int w, int h) {
    FlushRecorded();
    scissor[0] = x;
    scissor[1] = y;
    scissor[2] = w;
    scissor[3] = h;
    dirty |= DIRTY_VIEWPORT;
}

void c_Canvas::SetOrthoProjection(float left, float right, float top, float bottom, float znear, float zfar) {
    FlushRecorded();
    float* m = projMatrix.Data();
    for (int i = 0; i < 16; ++i) m[i] = 0;
    m[0] = 2 / (right - left);
    m[5] = 2 / (bottom - top);
    m[10] = 2 / (zfar - znear);
    m[12] = -(left + right) / (right - left);
    m[13] = -(top + bottom) / (bottom - top);
    m[14] = -(znear + zfar) / (zfar - znear);
    m[15] = 1;
    dirty |= DIRTY_SHADER;
}

void c_Canvas::Clear(float r, float g, float b, float a) {
    FlushRecorded();
    const float color[4] = {r, g, b, a};
    Submit(color);
}

void c_Canvas::UnprojectPoint(Array<float> inCoords, Array<float> outCoords) {
    float inverse[16];
    Mat4Invert(projMatrix.Data(), inverse);
    float v[4] = {(inCoords[0] - viewport[0]) / viewport[2] * 2 - 1,
                  (inCoords[1] - viewport[1]) / viewport[3] * 2 - 1, -1, 1};
    Mat4TransformVector(inverse, v, v);
    outCoords[0] = v[0] / v[3];
    outCoords[1] = v[1] / v[3];
    if (outCoords.Length() > 2) outCoords[2] = v[2] / v[3];
}

void c_Canvas::Validate() { Draw(StateBatch()); }

c_Canvas::Batch c_Canvas::StateBatch() {
    Batch b{};
    b.canvas = this;
    b.parts = WorkOut();
    b.shadow = drawnShadow;
    b.state = drawn;
    return b;
}

int c_Canvas::WorkOut() {
    if (builtGeneration != graphicsGeneration) {
        builtGeneration = graphicsGeneration;
        MakeContextBuffers();
        TakeWindowSize();
        dirty = -1;
    }
    BecomeCurrent();
    int parts = dirty;
    drawn.framebuffer = renderState.windowFramebuffer;
    if (parts & DIRTY_VIEWPORT) Place();
    if (parts & DIRTY_SHADER) {
        c_Texture* shadow = nullptr;
        drawn.values = WorkOutShaderValues(&shadow);
        drawn.shadowTexture = shadow ? shadow->serial : 0;
        drawnShadow = shadow;
    }
    if (parts & DIRTY_LINE_WIDTH) drawn.lineWidth = lineWidth;
    if (parts & DIRTY_COLOR_MASK)
        for (int i = 0; i < 4; ++i) drawn.colorMask[i] = colorMask[i];
    dirty = 0;
    return parts;
}

void c_Canvas::Draw(const Batch& b) {
    const DrawnState& s = b.state;
    const int* view = s.view;
    const int* clip = s.clip;
    // Every time: the cache sends only what GL lacks, and so restores what
    // the framework's immediate graphics may have changed since.
    glState.BindFramebuffer(s.framebuffer);
    glState.Viewport(view[0], view[1], view[2], view[3]);
    bool scissored = clip[0] != view[0] || clip[1] != view[1] || clip[2] != view[2] || clip[3] != view[3];
    glState.EnableScissorTest(scissored);
    if (scissored) glState.Scissor(clip[0], clip[1], clip[2], clip[3]);
    if (b.parts & DIRTY_SHADER) {
        // Compared first: values that did not change leave the programs'
        // uniforms as they are.
        RenderState& current = renderState;
        ShaderValues& values = current;
        if (std::memcmp(&s.values, &values, sizeof values) != 0 || b.shadow != current.shadowTexture) {
            values = s.values;
            current.shadowTexture = b.shadow;
            ++current.valuesVersion;
        }
    }
    if (b.parts & DIRTY_LINE_WIDTH) gl.LineWidth(s.lineWidth);
    if (b.parts & DIRTY_COLOR_MASK) gl.ColorMask(s.colorMask[0], s.colorMask[1], s.colorMask[2], s.colorMask[3]);
    if (s.kind == kDrawnBatch) {
        RenderRange(b.firstRun, b.endRun, b.firstByte, b.endByte);
    } else if (s.kind == kDrawnClear) {
        if (s.clearNeedsScissor) {
            glState.EnableScissorTest(true);
            glState.Scissor(view[0], view[1], view[2], view[3]);
        }
        gl.ClearColor(s.clearColor[0], s.clearColor[1], s.clearColor[2], s.clearColor[3]);
        gl.Clear(GL_COLOR_BUFFER_BIT);
        if (s.clearNeedsScissor) glState.EnableScissorTest(false);
    }
}

void c_Canvas::BecomeCurrent() {
    if (renderState.currentCanvas == this) return;
    if (renderState.currentCanvas) renderState.currentCanvas->Flush();
    renderState.currentCanvas = this;
    dirty = -1;
}

void c_Canvas::Place() {
    TakeWindowSize();
    int viewX = viewport[0], viewY = viewport[1], viewW = viewport[2], viewH = viewport[3];
    // The scissor clipped to the viewport: the part of it inside. A scissor
    // reaching past the top or left edge keeps only its inside part, rather
    // than being moved in whole.
    int clipX = Clamp(scissor[0], 0, viewW);
    int clipW = Clamp(scissor[0] + scissor[2], clipX, viewW) - clipX;
    int clipY = Clamp(scissor[1], 0, viewH);
    int clipH = Clamp(scissor[1] + scissor[3], clipY, viewH) - clipY;
    clipX += viewX;
    clipY += viewY;
    // The window's rows run bottom-up.
    viewY = targetHeight - viewH - viewY;
    clipY = targetHeight - clipY - clipH;
    const int view[4] = {viewX, viewY, viewW, viewH};
    const int clip[4] = {clipX, clipY, clipW, clipH};
    for (int i = 0; i < 4; ++i) {
        drawn.view[i] = view[i];
        drawn.clip[i] = clip[i];
    }
    bool wholeWindow = viewX == 0 && viewY == 0 && viewW == targetWidth && viewH == targetHeight;
    bool scissored = clipX != viewX || clipY != viewY || clipW != viewW || clipH != viewH;
    drawn.clearNeedsScissor = !scissored && !wholeWindow;
}

ShaderValues c_Canvas::WorkOutShaderValues(c_Texture** shadow) {
    const RenderState& s = renderState;
    ShaderValues v;
    v.clipPosScale[1] = -1;
    float projection[16];
    Mat4Multiply(s.flipMatrix, projMatrix.Data(), projection);
    Mat4Multiply(viewMatrix.Data(), modelMatrix.Data(), v.modelView);
    Mat4Multiply(projection, v.modelView, v.modelViewProjection);
    for (int i = 0; i < 4; ++i) {
        v.ambientLight[i] = ambientLight[i];
        v.fogColor[i] = fogColor[i];
    }
    for (int i = 0; i < lights.Length(); ++i) {
        c_LightData* light = lights[i];
        if (!light || light->type == 0) continue;
        Mat4TransformVector(viewMatrix.Data(), light->vector.Data(), light->viewVector.Data());
        float* colorSlot = v.lightColors + 4 * v.lightCount;
        float* vectorSlot = v.lightVectors + 4 * v.lightCount;
        for (int k = 0; k < 4; ++k) colorSlot[k] = light->color[k];
        vectorSlot[0] = light->viewVector[0];
        vectorSlot[1] = light->viewVector[1];
        vectorSlot[2] = light->viewVector[2];
        vectorSlot[3] = light->range;
        ++v.lightCount;
    }
    *shadow = shadowMap && shadowMap->material ? shadowMap->material->ColorTexture() : nullptr;
    return v;
}

void MakeContextBuffers() {
    if (renderState.buffersGeneration == graphicsGeneration) return;
    renderState.buffersGeneration = graphicsGeneration;

    GLuint vertexBuffer = 0;
    gl.GenBuffers(1, &vertexBuffer);
    renderState.vertexBuffer = vertexBuffer;
    gl.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    gl.BufferData(GL_ARRAY_BUFFER, UPLOAD_BYTES, nullptr, GL_STREAM_DRAW);
    struct Attribute {
        int size;
        GLenum type;
        GLboolean normalised;
        intptr_t offset;
    };
    const Attribute attributes[4] = {{2, GL_FLOAT, GL_FALSE, 0},
                                     {2, GL_FLOAT, GL_FALSE, 8},
                                     {2, GL_FLOAT, GL_FALSE, 16},
                                     {4, GL_UNSIGNED_BYTE, GL_TRUE, 24}};
    for (GLuint i = 0; i < 4; ++i) {
        gl.EnableVertexAttribArray(i);
        gl.VertexAttribPointer(i, attributes[i].size, attributes[i].type, attributes[i].normalised, VERTEX_BYTES,
                               reinterpret_cast<const void*>(attributes[i].offset));
    }

    GLuint indexBuffer = 0;
    gl.GenBuffers(1, &indexBuffer);
    renderState.indexBuffer = indexBuffer;
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    std::vector<uint16_t> indices;
    indices.reserve(INDEX_BUFFER_BYTES / 2);
    for (int b = 0; b < 4; ++b)
        for (int q = 0; q < QUADS_PER_UPLOAD; ++q) {
            uint16_t v = static_cast<uint16_t>(4 * q + b);
            for (int k : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<uint16_t>(v + k));
        }
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, INDEX_BUFFER_BYTES, indices.data(), GL_STATIC_DRAW);
}
