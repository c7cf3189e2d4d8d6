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

void c_DrawList::Rotate(float rz) {
    double radians = rz * DEGREES_TO_RADIANS;
    float c = static_cast<float>(std::cos(radians));
    float s = static_cast<float>(std::sin(radians));
    Transform(c, -s, s, c, 0, 0);
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
    WriteVertex(data->Data() + next, x, y, s, t);
    next += VERTEX_BYTES;
}

void c_DrawList::DrawImage(c_Image2* image) {
    PutQuad(image->material, image->x0, image->y0, image->x1, image->y1, image->s0, image->t0, image->s1, image->t1);
}

void c_DrawList::PutQuad(c_Material* material, float x0, float y0, float x1, float y1, float s0, float t0, float s1,
                         float t1) {
    StartPrimitive(material);
    // The path every sprite of a frame takes: the quad is built in locals and
    // copied once, so the stores into the byte buffer cannot make the
    // compiler reload the matrix and the image after each vertex.
    const float mix = ix, miy = iy, mjx = jx, mjy = jy, mtx = tx, mty = ty;
    const float corners[4][4] = {{x0, y0, s0, t0}, {x1, y0, s1, t0}, {x1, y1, s1, t1}, {x0, y1, s0, t1}};
    float quad[4 * 7];
    for (int k = 0; k < 4; ++k) {
        float* v = quad + 7 * k;
        const float* c = corners[k];
        v[0] = mix * c[0] + mjx * c[1] + mtx;
        v[1] = miy * c[0] + mjy * c[1] + mty;
        v[2] = c[2];
        v[3] = c[3];
        v[4] = mix;
        v[5] = miy;
        std::memcpy(&v[6], &packedColor, 4);
    }
    std::memcpy(data->Data() + next, quad, QUAD_BYTES);
    next += QUAD_BYTES;
}

void c_DrawList::DrawImage(c_Image2* image, float x, float y) {
    PushMatrix();
    Translate(x, y);
    DrawImage(image);
    PopMatrix();
}

void c_DrawList::DrawImage(c_Image2* image, float x, float y, float rz) {
    PushMatrix();
    PlaceTurned(x, y, rz);
    DrawImage(image);
    PopMatrix();
}

void c_DrawList::DrawImage(c_Image2* image, float x, float y, float rz, float sx, float sy) {
    PushMatrix();
    PlaceTurnedScaled(x, y, rz, sx, sy);
    DrawImage(image);
    PopMatrix();
}

void c_DrawList::DrawRect(float x, float y, float w, float h) { PutQuad(stockMaterial, x, y, x + w, y + h, 0, 0, 1, 1); }

void c_DrawList::SetAlpha(float a) {
    alpha = a * 255.0f;
    SetColor(color[0], color[1], color[2]);
}

void c_DrawList::DrawText(const String& text, float x, float y, float scale) {
    if (!font) return;
    for (int i = 0; i < text.Length(); ++i) {
        int index = text[i] - font->firstChar;
        if (index < 0 || index >= font->glyphs.Length()) {
            index = ' ' - font->firstChar;
            if (index < 0 || index >= font->glyphs.Length()) continue;
        }
        c_Glyph* g = font->glyphs[index];
        c_Image2* picture = g->image;
        // The glyph's cell in texture units, from the picture's own.
        float su = (picture->s1 - picture->s0) / picture->Width();
        float tu = (picture->t1 - picture->t0) / picture->Height();
        float s0 = picture->s0 + g->x * su, t0 = picture->t0 + g->y * tu;
        PutQuad(picture->material, x, y, x + g->width * scale, y + g->height * scale, s0, t0, s0 + g->width * su,
                t0 + g->height * tu);
        x += g->advance * scale;
    }
}

float c_DrawList::TextWidth(const String& text, float scale) const {
    if (!font || font->glyphs.IsEmpty()) return 0;
    return text.Length() * font->glyphs[0]->advance * scale;
}

void c_DrawList::Render() {
    if (next == 0) return;
    const unsigned char* bytes = data->Data();
    int runCount = ops->Length();
    int offset = 0;
    int i = 0;
    while (offset < next) {
        int size = next - offset;
        int last = runCount;
        if (size > UPLOAD_BYTES) {
            size = 0;
            last = i;
            while (last < runCount && size + ops->Get(last)->count * VERTEX_BYTES <= UPLOAD_BYTES) {
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
    gl.GetError();
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
