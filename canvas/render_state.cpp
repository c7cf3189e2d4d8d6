#include "canvas/render_state.h"

#include "runtime/collector.h"

RenderState renderState;

void InvalidateShaderState() {
    renderState.currentProgram = nullptr;
    renderState.currentMaterial = nullptr;
    renderState.appliedBlend = -1;
}
