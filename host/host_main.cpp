#include "host/host_main.h"

// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "host/errors.h"
#include "host/glfw_game.h"

namespace {

// The system's exit code -1.
constexpr int kFailureStatus = 255;

void OnGlfwError(int code, const char* text) {
    std::printf("GLFW Error: err=%i, msg=%s\n", code, text);
    std::fflush(stdout);
}

void SetCharacterLocale() {
    // C.UTF-8 is always there on a fresh machine and still maps accented
    // letters' case; the environment's default is the last resort.
    if (std::setlocale(LC_CTYPE, "en_US.UTF-8")) return;
    if (std::setlocale(LC_CTYPE, "C.UTF-8")) return;
    std::setlocale(LC_CTYPE, "");
}

}  // namespace

bool InitWindowSystem() {
    glfwSetErrorCallback(OnGlfwError);
    return glfwInit() == GLFW_TRUE;
}

void EndWindowSystem() { glfwTerminate(); }

int HostMain(int argc, char** argv, void (*initGlobals)(), void (*createApp)(), void (*startGraphics)()) {
    if (!InitWindowSystem()) {
        PrintLine(String("glfwInit failed"));
        std::exit(kFailureStatus);
    }
    KtGame* game = new KtRavlenGame();
    try {
        processArgumentCount = argc;
        processArguments = argv;
        InstallFaultTranslator();
        SetCharacterLocale();
        gc_init_lists();
        initGlobals();
        gc_queue_roots();
        createApp();
    } catch (ThrowableObject* throwable) {
        glfwTerminate();
        game->ReportUncaught(throwable);
    }
    if (game->GetDelegate()) static_cast<KtGlfwGame*>(game)->Run(startGraphics);
    glfwTerminate();
    return 0;
}
