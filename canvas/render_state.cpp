#include "canvas/render_state.h"

#include "host/errors.h"

RenderState renderState;

String mainProgramSource;
gc_root<c_Shader> fastShader;
gc_root<c_Shader> bumpShader;
gc_root<c_Shader> matteShader;
gc_root<c_Shader> shadowShader;
gc_root<c_Shader> lightMapShader;
gc_root<c_Shader> defaultShader;
gc_root<c_Font> defaultFont;
gc_root<Array<float>> unitVector;
bool rendererStarted = false;

void RequireRenderer() {
    if (!rendererStarted)
        RuntimeError(String("Renderer not started: call InitRenderer once the window exists, before making textures, "
                            "materials, shaders or canvases"));
}
