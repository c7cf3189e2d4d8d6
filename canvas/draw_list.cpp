#include "canvas/draw_list.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "canvas/font.h"
#include "canvas/image.h"
#include "canvas/material.h"
#include "host/data_buffer.h"
#include "host/gl_api.h"
#include "host/gl_state.h"

gc_root<c_DrawOp> nullRun;
gc_root<c_Stack3> freeOps;

c_DrawList::c_DrawList() {
    ops = new c_Stack3();
    data = (new c_DataBuffer())->New(INITIAL_VERTEX_BYTES);
    op = nullRun;
    casters = new c_Stack4();
    casterVerts = new c_Stack4();
    color = Array<float>::Of({1, 1, 1, 1});
    matrixStack = Array<float>(MATRIX_STACK_FLOATS);
}

namespace {

// The cosine and sine of the angles turned by lately, one slot for each
// angle's bits by a multiplicative hash: 1024 slots (12 KiB), enough for the
// few hundred angles of a busy frame to meet few others in their slot. A slot
// holds the bits of its angle and the pair the rule gave for it; all bits 0
// (the angle +0, which never gets here) marks a slot never filled. The pair
// depends on the angle alone, so no slot ever needs clearing.
struct Turn {
    uint32_t angle;
    float cosine;
    float sine;
} turns[1024];

uint32_t TurnSlot(uint32_t angleBits) { return (angleBits * 2654435761u) >> 22; }

}  // namespace

__attribute__((always_inline)) inline void c_DrawList::TurnOf(float rz, float* c, float* s) {
    if (rz == 0) {
        *c = 1;
        *s = rz;
        return;
    }
    uint32_t bits;
    std::memcpy(&bits, &rz, 4);
    Turn& turn = turns[TurnSlot(bits)];
    if (turn.angle == bits) {
        *c = turn.cosine;
        *s = turn.sine;
        return;
    }
    // One call gives both: the compiler makes the pair one sincos.
    double radians = rz * DEGREES_TO_RADIANS;
    *c = static_cast<float>(std::cos(radians));
    *s = static_cast<float>(std::sin(radians));
    turn.angle = bits;
    turn.cosine = *c;
    turn.sine = *s;
}

void c_DrawList::Rotate(float rz) {
    float c, s;
    TurnOf(rz, &c, &s);
    SetMatrix(Turned(Matrix(), c, s));
}

void c_DrawList::PlaceTurned(float x, float y, float rz) {
    Translate(x, y);
    Rotate(rz);
}

void c_DrawList::PlaceTurnedScaled(float x, float y, float rz, float sx, float sy) {
    Translate(x, y);
    Rotate(rz);
    Scale(sx, sy);
}

namespace {

// Components outside 0..1 would carry into the neighbouring byte.
uint32_t ColorByte(float value) {
    int byte = static_cast<int>(value);
    return static_cast<uint32_t>(byte < 0 ? 0 : byte > 255 ? 255 : byte);
}

}  // namespace

void c_DrawList::SetColor(float r, float g, float b) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    uint32_t packed = ColorByte(alpha) << 24 | ColorByte(b * alpha) << 16 | ColorByte(g * alpha) << 8 |
                      ColorByte(r * alpha);
    packedColor = static_cast<int>(packed);
}

void c_DrawList::GrowData() {
    int size = data->Length();
    int grown = size + size / 2;
    int newSize = next + QUAD_BYTES > grown ? next + QUAD_BYTES : grown;
    c_DataBuffer* bigger = (new c_DataBuffer())->New(newSize);
    std::memcpy(bigger->Data(), data->Data(), static_cast<size_t>(next < size ? next : size));
    data->Discard();
    data = bigger;
}

void c_DrawList::StartRun(c_Material* material) {
    c_DrawOp* run = freeOps->IsEmpty() ? new c_DrawOp() : freeOps->Pop();
    run->material = material;
    run->blend = blend;
    run->order = 4;
    run->count = 4;
    ops->Push(run);
    op = run;
}

void c_DrawList::PutVertex(float x, float y, float s, float t) {
    PutCorner(data->Data() + next, Matrix(), x, y, s, t, packedColor);
    next += VERTEX_BYTES;
}

__attribute__((always_inline)) inline void c_DrawList::WriteImage(c_Image2* image, const Affine& m) {
    WriteQuad(m, image->x0, image->y0, image->x1, image->y1, image->s0, image->t0, image->s1, image->t1);
}

__attribute__((always_inline)) inline void c_DrawList::PutImage(c_Image2* image, const Affine& m) {
    StartQuad(image->material);
    WriteImage(image, m);
}

namespace {

// The current matrix of nearly every sprite. Placing against this constant
// instead of the matrix itself lets the compiler work out the products with
// its ones and zeros beforehand; IEEE arithmetic does that only where the
// result is the same to the bit.
constexpr Affine kIdentity = {1, 0, 0, 1, 0, 0};

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
}

}  // namespace

__attribute__((always_inline)) inline bool c_DrawList::MatrixIsIdentity() const {
    const uint32_t one = 0x3f800000u;
    return ((Bits(ix) ^ one) | Bits(iy) | Bits(jx) | (Bits(jy) ^ one) | Bits(tx) | Bits(ty)) == 0;
}

void c_DrawList::DrawImage(c_Image2* image) { PutImage(image, Matrix()); }

void c_DrawList::DrawImage(c_Image2* image, float x, float y) {
    if (MatrixIsIdentity())
        PutImage(image, Translated(kIdentity, x, y));
    else
        PutImage(image, Translated(Matrix(), x, y));
}

// Room first: the matrix is worked out after anything that might call out,
// so that fewer values have to outlive a call.
void c_DrawList::DrawImage(c_Image2* image, float x, float y, float rz) {
    StartQuad(image->material);
    WriteImage(image, PlacedTurned(x, y, rz));
}

void c_DrawList::DrawImage(c_Image2* image, float x, float y, float rz, float sx, float sy) {
    StartQuad(image->material);
    WriteImage(image, PlacedTurnedScaled(x, y, rz, sx, sy));
}

// The placements follow the rule, Translated, then Turned, then Scaled.
// From the identity, two shortcuts give the same bits with less work;
// a = Translated(identity, x, y) is (1, +0, +0, 1, X, Y), where X and Y end
// with an addition of +0 and so are never -0.
//  - Angle 0 (c = 1, s = +-0) turns a into a: every product with a zero
//    entry adds a zero to a one or to another zero, and X, Y gain a +0.
//  - With c and s (and, when scaled, the four products below) neither zero
//    nor NaN, each product with a zero entry adds a zero to a value that is
//    not zero, and the translation gains only zeros: a turned is
//    (c, -s, s, c, X, Y), and then scaled (sx*c, sx*-s, sy*s, sy*c, X, Y).
// Anything else, or any other current matrix, takes the rule step by step.
__attribute__((always_inline)) inline Affine c_DrawList::PlacedTurned(float x, float y, float rz) {
    if (!MatrixIsIdentity()) return TurnedStepByStep(Matrix(), x, y, rz);
    const Affine a = Translated(kIdentity, x, y);
    if (rz == 0) return a;
    float c, s;
    TurnOf(rz, &c, &s);
    if (!(std::fabs(c * s) > 0)) return TurnedStepByStep(kIdentity, x, y, rz);
    return Affine{c, -s, s, c, a.tx, a.ty};
}

__attribute__((always_inline)) inline Affine c_DrawList::PlacedTurnedScaled(float x, float y, float rz, float sx,
                                                                          float sy) {
    if (!MatrixIsIdentity()) return TurnedScaledStepByStep(Matrix(), x, y, rz, sx, sy);
    const Affine a = Translated(kIdentity, x, y);
    if (rz == 0) return Scaled(a, sx, sy);
    float c, s;
    TurnOf(rz, &c, &s);
    const float ix = sx * c, iy = sx * -s, jx = sy * s, jy = sy * c;
    if (!(std::fabs(ix * iy * jx * jy) > 0)) return TurnedScaledStepByStep(kIdentity, x, y, rz, sx, sy);
    return Affine{ix, iy, jx, jy, a.tx, a.ty};
}

Affine c_DrawList::TurnedStepByStep(const Affine& m, float x, float y, float rz) {
    float c, s;
    TurnOf(rz, &c, &s);
    return Turned(Translated(m, x, y), c, s);
}

Affine c_DrawList::TurnedScaledStepByStep(const Affine& m, float x, float y, float rz, float sx, float sy) {
    float c, s;
    TurnOf(rz, &c, &s);
    return Scaled(Turned(Translated(m, x, y), c, s), sx, sy);
}

void c_DrawList::DrawRect(float x, float y, float w, float h) {
    PutQuad(stockMaterial, Matrix(), x, y, x + w, y + h, 0, 0, 1, 1);
}

void c_DrawList::SetAlpha(float a) {
    alpha = a * 255.0f;
    SetColor(color[0], color[1], color[2]);
}

void c_DrawList::DrawText(const String& text, float x, float y, float scale) {
    if (!font) return;
    for (int i = 0; i < text.Length(); ++i) {
        c_Glyph* g = font->GlyphFor(text[i]);
        if (!g) continue;
        c_Image2* picture = g->image;
        // The glyph's cell in texture units, from the picture's own.
        float su = (picture->s1 - picture->s0) / picture->Width();
        float tu = (picture->t1 - picture->t0) / picture->Height();
        float s0 = picture->s0 + g->x * su, t0 = picture->t0 + g->y * tu;
        PutQuad(picture->material, Matrix(), x, y, x + g->width * scale, y + g->height * scale, s0, t0,
                s0 + g->width * su, t0 + g->height * tu);
        x += g->advance * scale;
    }
}

float c_DrawList::TextWidth(const String& text, float scale) const {
    if (!font) return 0;
    float width = 0;
    for (int i = 0; i < text.Length(); ++i)
        if (c_Glyph* g = font->GlyphFor(text[i])) width += g->advance;
    return width * scale;
}

void c_DrawList::Render() { RenderRange(0, ops->Length(), 0, next); }

void c_DrawList::RenderRange(int firstRun, int endRun, int offset, int endByte) {
    const unsigned char* bytes = data->Data();
    int i = firstRun;
    while (offset < endByte) {
        int size = endByte - offset;
        int last = endRun;
        if (size > UPLOAD_BYTES) {
            size = 0;
            last = i;
            while (last < endRun && size + ops->Get(last)->count * VERTEX_BYTES <= UPLOAD_BYTES) {
                size += ops->Get(last)->count * VERTEX_BYTES;
                ++last;
            }
        }
        if (size == 0) {
            // Run i alone is larger than an upload: send it in pieces of
            // whole primitives, each drawn from vertex 0.
            c_DrawOp* run = ops->Get(i);
            int remaining = run->count;
            while (remaining > 0) {
                int piece = remaining <= UPLOAD_VERTICES ? remaining : UPLOAD_VERTICES / run->order * run->order;
                gl.BufferSubData(GL_ARRAY_BUFFER, 0, piece * VERTEX_BYTES, bytes + offset);
                DrawRun(run, 0, piece);
                offset += piece * VERTEX_BYTES;
                remaining -= piece;
            }
            ++i;
            continue;
        }
        gl.BufferSubData(GL_ARRAY_BUFFER, 0, size, bytes + offset);
        int first = 0;
        for (; i < last; ++i) {
            c_DrawOp* run = ops->Get(i);
            DrawRun(run, first, run->count);
            first += run->count;
        }
        offset += size;
    }
}

namespace {

// Through the GL state cache, which sends only what GL does not have.
void ApplyBlend(int mode) {
    switch (mode) {
    case BlendNone:
        glState.EnableBlend(false);
        break;
    case BlendAlpha:
        glState.EnableBlend(true);
        glState.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendAdd:
        glState.EnableBlend(true);
        glState.BlendFunc(GL_ONE, GL_ONE);
        break;
    case BlendMultiply:
        glState.EnableBlend(true);
        glState.BlendFunc(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMultiplyNoAlpha:
        glState.EnableBlend(true);
        glState.BlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
    default:
        break;
    }
}

}  // namespace

void c_DrawList::DrawRun(c_DrawOp* run, int first, int count) {
    run->material->Bind();
    ApplyBlend(run->blend);
    switch (run->order) {
    case 1:
        gl.DrawArrays(GL_POINTS, first, count);
        break;
    case 2:
        gl.DrawArrays(GL_LINES, first, count);
        break;
    case 3:
        gl.DrawArrays(GL_TRIANGLES, first, count);
        break;
    case 4: {
        intptr_t offset = ((first % 4) * QUADS_PER_UPLOAD + first / 4) * 12;
        gl.DrawElements(GL_TRIANGLES, count / 4 * 6, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(offset));
        break;
    }
    default:
        for (int k = 0; k < count; k += run->order) gl.DrawArrays(GL_TRIANGLE_FAN, first + k, run->order);
        break;
    }
}

void c_DrawList::Reset() {
    next = 0;
    for (int i = 0; i < ops->Length(); ++i) {
        c_DrawOp* run = ops->Get(i);
        run->material = nullptr;
        freeOps->Push(run);
    }
    ops->RemoveAll();
    op = nullRun;
    casters->RemoveAll();
    casterVerts->RemoveAll();
}

void c_DrawList::Flush() {
    Render();
    Reset();
}
