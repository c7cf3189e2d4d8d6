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
gc_root<c_Shader> fastShader;
gc_root<c_Shader> bumpShader;
gc_root<c_Shader> matteShader;
gc_root<c_Shader> shadowShader;
gc_root<c_Shader> lightMapShader;
gc_root<c_Shader> defaultShader;
gc_root<c_Font> defaultFont;
gc_root<Array<float>> unitVector;

namespace {

bool rendererStarted = false;

c_Shader* MakeShader(c_Shader* shader, const char* file) {
    return shader->Init(currentGame->LoadText(String("ravlen://data/") + String(file)));
}

}  // namespace

void InitCanvasGlobals() {
    rendererStarted = false;
    mainProgramSource = String();
    fastShader = bumpShader = matteShader = shadowShader = lightMapShader = defaultShader = nullptr;
    defaultFont = nullptr;
    whiteTexture = blackTexture = flatTexture = nullptr;
    renderState = RenderState();
    unitVector = Array<float>::Of({1, 1, 1, 1});
    nullRun = new c_DrawOp();
    freeOps = new c_Stack3();
    colorTextures = new c_IntMap2();
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
    fastShader = MakeShader(new c_Shader(), "vexa2_fastshader.glsl");
    bumpShader = MakeShader(new c_BumpShader(), "vexa2_bumpshader.glsl");
    matteShader = MakeShader(new c_MatteShader(), "vexa2_matteshader.glsl");
    shadowShader = MakeShader(new c_Shader(), "vexa2_shadowshader.glsl");
    lightMapShader = MakeShader(new c_Shader(), "vexa2_lightmapshader.glsl");
    defaultShader = bumpShader;

    defaultFont = c_Font::Load(String("ravlen://data/vexa2_font.png"), 32, 96, true);
    if (!defaultFont) RuntimeError("Can't load default font");

    Mat4Identity(renderState.flipMatrix);
    renderState.flipMatrix[5] = -1;
}
