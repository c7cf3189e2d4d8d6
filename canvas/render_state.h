// The OpenGL state the renderer believes current, and the values the canvas
// hands to the shader programs. There is one instance for the process: all
// canvases, programs and materials share it.
//
// The cache rule: `currentProgram`, `currentMaterial` and `appliedBlend` say
// what GL already has, so binding the same again is skipped. Whenever GL may
// hold something else (the canvas re-sends its shader values, a shader
// rebuilds its programs), InvalidateShaderState forgets all three; nothing
// else resets them.
#pragma once

#include "runtime/gc_ref.h"

class c_Canvas;
class c_GLProgram;
class c_Material;
class c_Texture;

// The four lights a canvas carries; also the size of the light uniform arrays.
constexpr int MAX_LIGHTS = 4;

struct RenderState {
    // Roots: the state refers to these whatever else does.
    gc_root<c_Canvas> currentCanvas;
    gc_root<c_GLProgram> currentProgram;
    gc_root<c_Material> currentMaterial;
    int appliedBlend = -1;

    // Uniform values, read by c_GLProgram::Bind.
    float modelViewProjection[16] = {};
    float modelView[16] = {};
    float clipPosScale[4] = {1, 1, 1, 1};
    float globalColor[4] = {1, 1, 1, 1};
    float ambientLight[4] = {0, 0, 0, 1};
    float fogColor[4] = {0, 0, 0, 0};
    float lightColors[4 * MAX_LIGHTS] = {};
    float lightVectors[4 * MAX_LIGHTS] = {};
    int lightCount = 0;
    gc_root<c_Texture> shadowTexture;

    // The window's rows run bottom-up: identity with -1 as its y scale.
    float flipMatrix[16] = {};
    // The framebuffer bound when the renderer started: the window's.
    int windowFramebuffer = 0;

    // The vertex and index buffers of the current context (see canvas.h);
    // -1 until they are first made.
    int buffersGeneration = -1;
    unsigned vertexBuffer = 0;
    unsigned indexBuffer = 0;
};

extern RenderState renderState;

void InvalidateShaderState();
