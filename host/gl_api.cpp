#include "host/gl_api.h"

GlApi gl;

void LoadGlEntryPoints(GlProcLookup lookup) {
#define GRIMALOU_GL_RESOLVE(name) gl.name = reinterpret_cast<decltype(gl.name)>(lookup("gl" #name));
    GRIMALOU_GL11_FUNCTIONS(GRIMALOU_GL_RESOLVE)
    GRIMALOU_GLES2_FUNCTIONS(GRIMALOU_GL_RESOLVE)
#undef GRIMALOU_GL_RESOLVE
}
