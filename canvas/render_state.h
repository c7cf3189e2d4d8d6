// The renderer's process-wide state: the objects made at start-up and the
// values the canvas hands to the shader programs. All canvases, programs and
// materials share it. What GL has bound (program, material, blend, textures,
// scissor, viewport, framebuffer) is not here but in the GL state cache
// (host/gl_state.h), which the framework's immediate graphics shares.
//
// The values rule: the canvas writes the shader values only through
// SendShaderValues, which raises `valuesVersion` when any of them changed; a
// program whose values were sent under another version sends them again the
// next time it is bound. Nothing else decides when uniforms are sent.
#pragma once

#include "runtime/array.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_Canvas;
class c_Font;
class c_Shader;
class c_Texture;

// The four lights a canvas carries; also the size of the light uniform arrays.
constexpr int MAX_LIGHTS = 4;

// The values the shader programs read as uniforms, as the canvas last set
// them. Plain numbers only, so that a change shows in one comparison.
struct ShaderValues {
    float modelViewProjection[16] = {};
    float modelView[16] = {};
    float clipPosScale[4] = {1, 1, 1, 1};
    float globalColor[4] = {1, 1, 1, 1};
    float ambientLight[4] = {0, 0, 0, 1};
    float fogColor[4] = {0, 0, 0, 0};
    float lightColors[4 * MAX_LIGHTS] = {};
    float lightVectors[4 * MAX_LIGHTS] = {};
    int lightCount = 0;
};

struct RenderState : ShaderValues {
    // Roots: the state refers to these whatever else does.
    gc_root<c_Canvas> currentCanvas;
    gc_root<c_Texture> shadowTexture;
    // Raised by every change of the shader values or the shadow texture.
    int valuesVersion = 0;

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

// Made by InitRenderer (renderer.h) and kept for the whole program.
extern String mainProgramSource;
extern gc_root<c_Shader> fastShader;
extern gc_root<c_Shader> bumpShader;
extern gc_root<c_Shader> matteShader;
extern gc_root<c_Shader> shadowShader;
extern gc_root<c_Shader> lightMapShader;
// The shader of materials made without one: the bump shader.
extern gc_root<c_Shader> defaultShader;
extern gc_root<c_Font> defaultFont;
// (1, 1, 1, 1): the value of a vector uniform a material does not have.
extern gc_root<Array<float>> unitVector;

// True once InitRenderer has begun (its own steps make shaders, textures
// and a font, and pass this check).
extern bool rendererStarted;
// What every constructor of a GL object calls first: the runtime error
// "Renderer not started" unless InitRenderer has run.
void RequireRenderer();
