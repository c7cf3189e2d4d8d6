// c_DrawList records drawing as vertices in a byte buffer, grouped into runs
// (c_DrawOp) that share a material, a blend mode and a primitive size, and
// sends them to OpenGL in few uploads and draw calls. It carries the current
// 2x3 matrix with a ring stack of 64 saved matrices, and the current colour.
//
// Runs: `ops` holds the runs since the last reset in drawing order, and `op`
// is the one a new primitive may join. Whether it may is decided by
// JoinsCurrentRun alone. After a reset `op` is the shared null run, which
// nothing joins. Runs are never freed: Reset hands them to a pool shared by
// all draw lists, and new runs come from there first.
#pragma once

#include <cstring>

#include "runtime/array.h"
#include "runtime/collector.h"
#include "host/data_buffer.h"
#include "runtime/containers.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_Font;
class c_Image2;
class c_Material;

// Blend modes.
constexpr int BlendNone = 0;
constexpr int BlendAlpha = 1;
constexpr int BlendAdd = 2;
constexpr int BlendMultiply = 3;
constexpr int BlendMultiplyNoAlpha = 4;

// The vertex: x, y (already through the matrix), s, t, the matrix's ix, iy
// (the shaders' tangent), and the packed premultiplied colour R, G, B, A.
constexpr int VERTEX_BYTES = 28;
// One upload fills the canvas's vertex buffer object: 2340 vertices, a whole
// number of quads (585) and of triangles (780).
constexpr int UPLOAD_BYTES = 65520;
constexpr int UPLOAD_VERTICES = UPLOAD_BYTES / VERTEX_BYTES;
constexpr int QUADS_PER_UPLOAD = UPLOAD_VERTICES / 4;
// Room StartPrimitive makes: one quad.
constexpr int QUAD_BYTES = 4 * VERTEX_BYTES;
// The quad index buffer: four blocks of 585 quads, six 16-bit indices each.
// Block b serves runs whose first vertex is b modulo 4.
constexpr int INDEX_BLOCK_BYTES = QUADS_PER_UPLOAD * 6 * 2;
constexpr int INDEX_BUFFER_BYTES = 4 * INDEX_BLOCK_BYTES;
// 4096 bytes: a list starts with room for 36 quads and grows by half.
constexpr int INITIAL_VERTEX_BYTES = 4096;
// 64 matrices of six floats.
constexpr int MATRIX_STACK_FLOATS = 384;
// Degrees to radians, as a float.
constexpr float DEGREES_TO_RADIANS = 0.017453292f;

// A 2x3 matrix: a point (px, py) goes to (ix*px + jx*py + tx, iy*px + jy*py + ty).
// Then is the one product rule: the draw list's Transform and its placements,
// and the matrix DrawImage draws a sprite with, all go through it, so a sprite
// lands on the same bits whichever way its matrix was built.
struct Affine {
    float ix, iy, jx, jy, tx, ty;

    // This matrix followed by (mix, miy, mjx, mjy, mtx, mty) in its local
    // space.
    Affine Then(float mix, float miy, float mjx, float mjy, float mtx, float mty) const {
        return {mix * ix + miy * jx, mix * iy + miy * jy, mjx * ix + mjy * jx,
                mjx * iy + mjy * jy, mtx * ix + mty * jx + tx, mtx * iy + mty * jy + ty};
    }
};

class c_DrawOp : public Object {
public:
    gc_ref<c_Material> material;
    int blend = 0;
    int order = 0;  // vertices per primitive: 1 points, 2 lines, 3 triangles, 4 quads, 5+ fans
    int count = 0;  // vertices in the run

    GC_FIELDS(Object, material)
};

// Shadow casters are not drawn in this system; the draw list keeps their
// (always empty) stacks.
class c_ShadowCaster : public Object {};

class c_DrawList : public Object {
public:
    gc_ref<c_Font> font;
    gc_ref<c_Material> stockMaterial;
    int next = 0;
    gc_ref<c_Stack3> ops;
    gc_ref<c_DataBuffer> data;
    gc_ref<c_DrawOp> op;
    gc_ref<c_Stack4> casters;
    gc_ref<c_Stack4> casterVerts;
    gc_array<float> color;
    float alpha = 255.0f;
    int packedColor = -1;  // 0xffffffff
    int blend = BlendAlpha;
    float ix = 1, jx = 0, tx = 0, iy = 0, jy = 1, ty = 0;
    gc_array<float> matrixStack;
    int matrixTop = 0;

    c_DrawList();

    // The matrix operations compose on the right: later ones act in the
    // local space of earlier ones. Angles are in degrees. The small ones are
    // here, inline, because every sprite drawn goes through them.
    Affine Matrix() const { return {ix, iy, jx, jy, tx, ty}; }
    void SetMatrix(const Affine& m) { SetMatrix(m.ix, m.iy, m.jx, m.jy, m.tx, m.ty); }
    void SetMatrix(float nix, float niy, float njx, float njy, float ntx, float nty) {
        ix = nix;
        iy = niy;
        jx = njx;
        jy = njy;
        tx = ntx;
        ty = nty;
    }
    void Transform(float mix, float miy, float mjx, float mjy, float mtx, float mty) {
        SetMatrix(Matrix().Then(mix, miy, mjx, mjy, mtx, mty));
    }
    void Translate(float x, float y) { SetMatrix(Translated(Matrix(), x, y)); }
    void Rotate(float rz);
    void Scale(float sx, float sy) { SetMatrix(Scaled(Matrix(), sx, sy)); }
    void PlaceTurned(float x, float y, float rz);
    void PlaceTurnedScaled(float x, float y, float rz, float sx, float sy);
    // The stack is a ring of 64 matrices: the 65th push overwrites the oldest
    // saved one, and there is no overflow error.
    void PushMatrix() {
        float* slot = matrixStack.Data() + matrixTop;
        slot[0] = ix;
        slot[1] = iy;
        slot[2] = jx;
        slot[3] = jy;
        slot[4] = tx;
        slot[5] = ty;
        matrixTop += 6;
        if (matrixTop >= MATRIX_STACK_FLOATS) matrixTop -= MATRIX_STACK_FLOATS;
    }
    void PopMatrix() {
        matrixTop -= 6;
        if (matrixTop < 0) matrixTop += MATRIX_STACK_FLOATS;
        const float* slot = matrixStack.Data() + matrixTop;
        SetMatrix(slot[0], slot[1], slot[2], slot[3], slot[4], slot[5]);
    }

    void SetColor(float r, float g, float b);

    // The one batching rule: a quad of `material` extends the current run
    // when the run has that material, the list's blend mode and quads.
    bool JoinsCurrentRun(c_Material* material) const {
        return op->material == material && op->blend == blend && op->order == 4;
    }
    // Room for one quad, and the run it belongs to.
    void StartPrimitive(c_Material* material) {
        if (!material) material = stockMaterial;
        if (next + QUAD_BYTES > data->Length()) GrowData();
        if (JoinsCurrentRun(material))
            op->count += 4;
        else
            StartRun(material);
    }
    void PutVertex(float x, float y, float s, float t);
    // The image's quad under the current matrix.
    void DrawImage(c_Image2* image);
    // The image placed at (x, y), then turned by rz degrees, then scaled, in
    // the current matrix's space; the current matrix stays as it is. A
    // negative sx mirrors the image.
    void DrawImage(c_Image2* image, float x, float y);
    void DrawImage(c_Image2* image, float x, float y, float rz);
    void DrawImage(c_Image2* image, float x, float y, float rz, float sx, float sy);
    // A rectangle in the current colour and alpha.
    void DrawRect(float x, float y, float w, float h);
    // One line of text in the current font, its top-left corner at (x, y),
    // every glyph `scale` times its size. Characters the font lacks draw its
    // replacement mark (c_Font::GlyphFor).
    void DrawText(const String& text, float x, float y, float scale = 1);
    float TextWidth(const String& text, float scale = 1) const;
    // 0 (transparent) to 1; the colour stays.
    void SetAlpha(float a);

    // Sends the runs to OpenGL, into the vertex and index buffers the canvas
    // has bound. Nothing at all happens when nothing is recorded; nothing is
    // read back from GL either (not even its error flag: a read waits for
    // the driver).
    void Render();
    // The runs from firstRun to before endRun, whose vertices are the bytes
    // from firstByte to before endByte.
    void RenderRange(int firstRun, int endRun, int firstByte, int endByte);
    void Reset();
    virtual void Flush();

    GC_FIELDS(Object, font, stockMaterial, ops, data, op, casters, casterVerts, color, matrixStack)

private:
    static Affine Translated(const Affine& m, float x, float y) { return m.Then(1, 0, 0, 1, x, y); }
    static Affine Scaled(const Affine& m, float sx, float sy) { return m.Then(sx, 0, 0, sy, 0, 0); }
    static Affine Turned(const Affine& m, float c, float s) { return m.Then(c, -s, s, c, 0, 0); }
    // The cosine and sine of rz degrees as the rotation rule has them: rz
    // times the float DEGREES_TO_RADIANS, cosine and sine in double
    // precision, stored as floats. An angle of 0 needs no trigonometry
    // (cosine 1, sine the zero itself, sign and all), and each angle's pair is
    // worked out once and kept while its slot lasts: sprites turned alike in
    // a frame, or from frame to frame, share it.
    static void TurnOf(float rz, float* c, float* s);
    // The matrices DrawImage places an image with: the placement rule, with
    // shortcuts from the identity (see draw_list.cpp).
    Affine PlacedTurned(float x, float y, float rz);
    Affine PlacedTurnedScaled(float x, float y, float rz, float sx, float sy);
    // The rule step by step from `m`, out of line: the shortcuts cover the
    // common case.
    __attribute__((noinline)) Affine TurnedStepByStep(const Affine& m, float x, float y, float rz);
    __attribute__((noinline)) Affine TurnedScaledStepByStep(const Affine& m, float x, float y, float rz, float sx,
                                                            float sy);
    // Whether the current matrix is the identity, to the bit.
    bool MatrixIsIdentity() const;

    // By half its size, or to what the next quad needs if that is more; the
    // old block is given back at once.
    void GrowData();
    void StartRun(c_Material* material);
    void DrawRun(c_DrawOp* run, int first, int count);
    void PutImage(c_Image2* image, const Affine& m);
    void WriteImage(c_Image2* image, const Affine& m);
    // A quad of `material` from (x0, y0) to (x1, y1) through `m`, with
    // texture corners (s0, t0) and (s1, t1), written straight into `data`:
    // the corners (x0, y0), (x1, y0), (x1, y1), (x0, y1) in this order.
    __attribute__((always_inline)) void PutQuad(c_Material* material, const Affine& matrix, float x0, float y0,
                                                float x1, float y1, float s0, float t0, float s1, float t1) {
        StartQuad(material);
        WriteQuad(matrix, x0, y0, x1, y1, s0, t0, s1, t1);
    }
    // StartPrimitive for a quad. The common case, a quad that fits and joins
    // the run, calls nothing; the rest goes out of line.
    __attribute__((always_inline)) void StartQuad(c_Material* material) {
        if (!material) material = stockMaterial;
        if (next + QUAD_BYTES > data->Length() || !JoinsCurrentRun(material)) return StartPrimitiveOutOfLine(material);
        op->count += 4;
    }
    __attribute__((noinline)) void StartPrimitiveOutOfLine(c_Material* material) { StartPrimitive(material); }
    // The corners (x0, y0), (x1, y0), (x1, y1), (x0, y1) in this order, at
    // `next`, where StartPrimitive made room.
    __attribute__((always_inline)) void WriteQuad(const Affine& matrix, float x0, float y0, float x1, float y1,
                                                  float s0, float t0, float s1, float t1) {
        // Copied first: the byte stores below could alias anything, and would
        // make the compiler read the matrix again after each of them.
        const Affine m = matrix;
        const int color = packedColor;
        unsigned char* at = data->Data() + next;
        next += QUAD_BYTES;
        PutCorner(at, m, x0, y0, s0, t0, color);
        PutCorner(at + VERTEX_BYTES, m, x1, y0, s1, t0, color);
        PutCorner(at + 2 * VERTEX_BYTES, m, x1, y1, s1, t1, color);
        PutCorner(at + 3 * VERTEX_BYTES, m, x0, y1, s0, t1, color);
    }
    // One vertex at `at`: the point through the matrix, s, t, the matrix's
    // x axis and the packed colour. Stored as it is made: a vertex put
    // together in memory first and copied would stall on reading back stores
    // that are still on their way.
    static void PutCorner(unsigned char* at, const Affine& m, float x, float y, float s, float t, int color) {
        const float v[6] = {m.ix * x + m.jx * y + m.tx, m.iy * x + m.jy * y + m.ty, s, t, m.ix, m.iy};
        std::memcpy(at, v, sizeof v);
        std::memcpy(at + 24, &color, 4);
    }
};

// Shared by all draw lists: the run nothing joins, and the free runs.
extern gc_root<c_DrawOp> nullRun;
extern gc_root<c_Stack3> freeOps;
