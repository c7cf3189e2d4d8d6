#include "host/host_main.h"

// OpenGL comes from host/gl_api.h alone, with its prototypes.
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>

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

void EndWindowSystem() { glfwTerminate(); }

int HostMain(int argc, char** argv, void (*initGlobals)(), void (*createApp)(), void (*startGraphics)()) {
    if (!InitWindowSystem()) {
        PrintLine(String("glfwInit failed"));
        std::exit(kFailureStatus);
    }
    KtGame* game = new KtRavlenGame();
    RunProgramMain(game, argc, argv, initGlobals, createApp);
    if (game->GetDelegate()) static_cast<KtGlfwGame*>(game)->Run(startGraphics);
    glfwTerminate();
    return 0;
}
