// The baseline of the browser start-up benchmark: the least an Emscripten
// page can do before its first picture, a WebGL context on the page's canvas
// cleared once. It marks the moment as Grimalou marks its first title frame.
#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

int main() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.majorVersion = 2;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
    emscripten_webgl_make_context_current(context);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EM_ASM({ performance.mark('grimalou-first-frame'); });
    return 0;
}
