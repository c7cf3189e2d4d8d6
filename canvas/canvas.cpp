#include "canvas/canvas.h"

#include <cstdint>
#include <algorithm>
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

}  // namespace

void StartCanvasFrames() {
    for (c_Canvas* canvas : LiveCanvases()) canvas->StartFrame();
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
    Reset();
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

void c_Canvas::FlushRecorded() {
    if (next == 0) return;
    BecomeCurrent();
    DescribeBatch();
    if (!frameRecord.probing) {
        Validate();
        Render();
    }
    Reset();
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
    BecomeCurrent();
    const float color[4] = {r, g, b, a};
    DescribeClear(color);
    if (frameRecord.probing) return;
    Validate();
    if (clearNeedsScissor) {
        glState.EnableScissorTest(true);
        glState.Scissor(viewX, viewY, viewW, viewH);
    }
    gl.ClearColor(r, g, b, a);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    if (clearNeedsScissor) glState.EnableScissorTest(false);
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

void c_Canvas::Validate() {
    if (builtGeneration != graphicsGeneration) {
        builtGeneration = graphicsGeneration;
        MakeContextBuffers();
        TakeWindowSize();
        dirty = -1;
    }
    BecomeCurrent();
    if (dirty & DIRTY_VIEWPORT) PlaceViewport();
    // Every time: the cache sends only what GL lacks, and so restores what
    // the framework's immediate graphics may have changed since.
    glState.BindFramebuffer(renderState.windowFramebuffer);
    glState.Viewport(viewX, viewY, viewW, viewH);
    bool scissored = clipX != viewX || clipY != viewY || clipW != viewW || clipH != viewH;
    glState.EnableScissorTest(scissored);
    if (scissored) glState.Scissor(clipX, clipY, clipW, clipH);
    if (dirty == 0) return;
    if (dirty & DIRTY_SHADER) SendShaderValues();
    if (dirty & DIRTY_LINE_WIDTH) gl.LineWidth(lineWidth);
    if (dirty & DIRTY_COLOR_MASK) gl.ColorMask(colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
    dirty = 0;
}

void c_Canvas::BecomeCurrent() {
    if (renderState.currentCanvas == this) return;
    if (renderState.currentCanvas) renderState.currentCanvas->Flush();
    renderState.currentCanvas = this;
    dirty = -1;
}

void c_Canvas::PlaceViewport() {
    TakeWindowSize();
    Placement p = Place();
    viewX = p.viewX;
    viewY = p.viewY;
    viewW = p.viewW;
    viewH = p.viewH;
    clipX = p.clipX;
    clipY = p.clipY;
    clipW = p.clipW;
    clipH = p.clipH;
    clearNeedsScissor = p.clearNeedsScissor;
}

c_Canvas::Placement c_Canvas::Place() const {
    Placement p;
    p.viewX = viewport[0];
    p.viewY = viewport[1];
    p.viewW = viewport[2];
    p.viewH = viewport[3];
    // The scissor clipped to the viewport: the part of it inside. A scissor
    // reaching past the top or left edge keeps only its inside part, rather
    // than being moved in whole.
    p.clipX = Clamp(scissor[0], 0, p.viewW);
    p.clipW = Clamp(scissor[0] + scissor[2], p.clipX, p.viewW) - p.clipX;
    p.clipY = Clamp(scissor[1], 0, p.viewH);
    p.clipH = Clamp(scissor[1] + scissor[3], p.clipY, p.viewH) - p.clipY;
    p.clipX += p.viewX;
    p.clipY += p.viewY;
    // The window's rows run bottom-up.
    p.viewY = targetHeight - p.viewH - p.viewY;
    p.clipY = targetHeight - p.clipY - p.clipH;
    bool wholeWindow = p.viewX == 0 && p.viewY == 0 && p.viewW == targetWidth && p.viewH == targetHeight;
    bool scissored = p.clipX != p.viewX || p.clipY != p.viewY || p.clipW != p.viewW || p.clipH != p.viewH;
    p.clearNeedsScissor = !scissored && !wholeWindow;
    return p;
}

void c_Canvas::SendShaderValues() {
    RenderState& s = renderState;
    // Worked out aside and compared: values that did not change leave the
    // programs' uniforms as they are.
    c_Texture* shadow = nullptr;
    ShaderValues v = WorkOutShaderValues(&shadow);
    ShaderValues& current = s;
    if (std::memcmp(&v, &current, sizeof v) == 0 && shadow == s.shadowTexture) return;
    current = v;
    s.shadowTexture = shadow;
    ++s.valuesVersion;
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

namespace {

// A frame's description is made of these records, each followed by what
// its kind carries: a clear nothing more, a batch its runs (Run) and then
// its vertex bytes. Plain 4-byte numbers only (no padding), every one
// written, so that equal frames give equal bytes.
enum DescribedKind { kDescribedClear = 1, kDescribedBatch = 2 };
struct DescribedState {
    int kind;
    int framebuffer;
    int view[4];
    int clip[4];
    int clearNeedsScissor;
    int colorMask[4];
    float lineWidth;
    int shadowTexture;  // serial, 0 for none
    float clearColor[4];
    int runs;
    int vertexBytes;
    ShaderValues values;
};
struct DescribedRun {
    int material;  // serial
    int blend;
    int order;
    int count;
};

}  // namespace

void c_Canvas::DescribeState(const float* clearColor) {
    DescribedState d{};
    d.kind = clearColor ? kDescribedClear : kDescribedBatch;
    d.framebuffer = renderState.windowFramebuffer;
    TakeWindowSize();
    Placement p = Place();
    const int view[4] = {p.viewX, p.viewY, p.viewW, p.viewH};
    const int clip[4] = {p.clipX, p.clipY, p.clipW, p.clipH};
    for (int i = 0; i < 4; ++i) {
        d.view[i] = view[i];
        d.clip[i] = clip[i];
        d.colorMask[i] = colorMask[i];
    }
    d.clearNeedsScissor = p.clearNeedsScissor;
    if (clearColor) {
        // A clear reads no shader value: a projection set after it in the
        // frame, and so still the last frame's when it runs, changes nothing.
        for (int i = 0; i < 4; ++i) d.clearColor[i] = clearColor[i];
    } else {
        d.lineWidth = lineWidth;
        c_Texture* shadow = nullptr;
        d.values = WorkOutShaderValues(&shadow);
        d.shadowTexture = shadow ? shadow->serial : 0;
        d.runs = ops->Length();
        d.vertexBytes = next;
    }
    frameRecord.Describe(&d, sizeof d);
}

void c_Canvas::DescribeClear(const float* color) { DescribeState(color); }

void c_Canvas::DescribeBatch() {
    DescribeState(nullptr);
    for (int i = 0; i < ops->Length(); ++i) {
        c_DrawOp* run = ops->Get(i);
        DescribedRun r = {run->material ? run->material->serial : 0, run->blend, run->order, run->count};
        frameRecord.Describe(&r, sizeof r);
    }
    frameRecord.Describe(data->Data(), static_cast<size_t>(next));
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
