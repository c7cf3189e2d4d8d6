#include "canvas/renderer.h"

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/draw_list.h"
#include "canvas/font.h"
#include "canvas/gl_program.h"
#include "canvas/material.h"
#include "canvas/matrix4.h"
#include "canvas/render_state.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/errors.h"
#include "host/game.h"
#include "host/gl_api.h"

String mainProgramSource;
c_Shader* fastShader = nullptr;
c_Shader* bumpShader = nullptr;
c_Shader* matteShader = nullptr;
c_Shader* shadowShader = nullptr;
c_Shader* lightMapShader = nullptr;
c_Shader* defaultShader = nullptr;
c_Font* defaultFont = nullptr;
Array<float> unitVector;

namespace {

bool rendererStarted = false;

void MarkCanvasRoots() {
    gc_enqueue(fastShader);
    gc_enqueue(bumpShader);
    gc_enqueue(matteShader);
    gc_enqueue(shadowShader);
    gc_enqueue(lightMapShader);
    gc_enqueue(defaultShader);
    gc_enqueue(defaultFont);
    gc_enqueue(unitVector);
    gc_enqueue(nullRun);
    gc_enqueue(freeOps);
    gc_enqueue(colorTextures);
    gc_enqueue(whiteTexture);
    gc_enqueue(blackTexture);
    gc_enqueue(flatTexture);
    MarkRenderState();
}

c_Shader* MakeShader(c_Shader* shader, const char* file) {
    return shader->Init(currentGame->LoadText(String("ravlen://data/") + String(file)));
}

}  // namespace

void MarkRenderState() {
    gc_enqueue(renderState.currentCanvas);
    gc_enqueue(renderState.currentProgram);
    gc_enqueue(renderState.currentMaterial);
    gc_enqueue(renderState.shadowTexture);
}

void InitCanvasGlobals() {
    static bool markerRegistered = false;
    if (!markerRegistered) {
        gc_add_root_marker(MarkCanvasRoots);
        markerRegistered = true;
    }
    rendererStarted = false;
    mainProgramSource = String();
    fastShader = bumpShader = matteShader = shadowShader = lightMapShader = defaultShader = nullptr;
    defaultFont = nullptr;
    whiteTexture = blackTexture = flatTexture = nullptr;
    renderState = RenderState();
    gc_store_array(unitVector, Array<float>::Of({1, 1, 1, 1}));
    gc_store(nullRun, new c_DrawOp());
    gc_store(freeOps, new c_Stack3());
    gc_store(colorTextures, new c_IntMap2());
}

bool RendererStarted() { return rendererStarted; }

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

void InitRenderer() {
    if (rendererStarted) return;
    rendererStarted = true;

    MakeContextBuffers();
    GLint framebuffer = 0;
    gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    renderState.windowFramebuffer = framebuffer;

    mainProgramSource = currentGame->LoadText(String("ravlen://data/vexa2_program.glsl"));
    gc_store(fastShader, MakeShader(new c_Shader(), "vexa2_fastshader.glsl"));
    gc_store(bumpShader, MakeShader(new c_BumpShader(), "vexa2_bumpshader.glsl"));
    gc_store(matteShader, MakeShader(new c_MatteShader(), "vexa2_matteshader.glsl"));
    gc_store(shadowShader, MakeShader(new c_Shader(), "vexa2_shadowshader.glsl"));
    gc_store(lightMapShader, MakeShader(new c_Shader(), "vexa2_lightmapshader.glsl"));
    gc_store(defaultShader, bumpShader);

    gc_store(defaultFont, c_Font::Load(String("ravlen://data/vexa2_font.png"), 32, 96, true));
    if (!defaultFont) RuntimeError("Can't load default font");

    Mat4Identity(renderState.flipMatrix);
    renderState.flipMatrix[5] = -1;
}
