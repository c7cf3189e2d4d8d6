#include "canvas/renderer.h"

#include "canvas/canvas.h"
#include "canvas/draw_list.h"
#include "canvas/font.h"
#include "canvas/matrix4.h"
#include "canvas/render_state.h"
#include "canvas/shader.h"
#include "canvas/texture.h"
#include "host/errors.h"
#include "host/frame.h"
#include "host/game.h"
#include "host/gl_api.h"

namespace {

const char* const kMoreFontPicture = "ravlen://data/vexa2_font_more.png";

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
    frameRecord.Reset();
    frameRecord.startFrame = StartCanvasFrames;
    frameRecord.endFrame = EndCanvasFrames;
}

void InitRenderer() {
    if (rendererStarted) return;
    // Set first: the shaders, textures and font made below check it.
    rendererStarted = true;

    MakeContextBuffers();
    // Read once here, never on the drawing path.
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
    // Without its further letters the font still draws every plain text.
    if (!defaultFont->LoadMore(String(kMoreFontPicture)))
        PrintLine(String("Can't load the font's accented letters from ") + String(kMoreFontPicture) +
                  String(": they show as blanks"));

    Mat4Identity(renderState.flipMatrix);
    renderState.flipMatrix[5] = -1;
}
