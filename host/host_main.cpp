#include "host/host_main.h"

// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

#include "host/errors.h"
#include "host/glfw_game.h"
#include "host/program_main.h"

namespace {

// The system's exit code -1.
constexpr int kFailureStatus = 255;

void OnGlfwError(int code, const char* text) {
    std::printf("GLFW Error: err=%i, msg=%s\n", code, text);
    std::fflush(stdout);
}

}  // namespace

bool InitWindowSystem() {
    glfwSetErrorCallback(OnGlfwError);
    return glfwInit() == GLFW_TRUE;
}

#if defined(__SANITIZE_ADDRESS__)
// The leak checker names the libraries of an allocation's stack when the
// process ends, and its suppressions leave alone what the GL driver stack
// allocates by naming those libraries. Ending the window system unloads the
// driver, and a library unloaded by then leaves its allocations nameless,
// reported as the program's: whether that happens would depend on the
// processor and the driver's code path. Sanitized builds keep every library
// that is loaded when the window system ends loaded for the life of the
// process.
void KeepLibrariesLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0] != '\0')
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}
#else
void KeepLibrariesLoaded() {}
#endif

void EndWindowSystem() {
    KeepLibrariesLoaded();
    glfwTerminate();
}

int HostMain(int argc, char** argv, void (*initGlobals)(), void (*createApp)(), void (*startGraphics)()) {
    if (!InitWindowSystem()) {
        PrintLine(String("glfwInit failed"));
        std::exit(kFailureStatus);
    }
    KtGame* game = new KtRavlenGame();
    RunProgramMain(game, argc, argv, initGlobals, createApp);
    if (game->GetDelegate()) static_cast<KtGlfwGame*>(game)->Run(startGraphics);
    EndWindowSystem();
    return 0;
}
