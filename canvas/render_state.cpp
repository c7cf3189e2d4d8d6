#include "canvas/render_state.h"


RenderState renderState;

void InvalidateShaderState() {
    renderState.currentProgram = nullptr;
    renderState.currentMaterial = nullptr;
    renderState.appliedBlend = -1;
}
