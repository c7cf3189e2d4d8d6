#include "host/program_main.h"

#include <clocale>

#include "host/errors.h"
#include "host/game.h"
#include "host/host_main.h"

namespace {

void SetCharacterLocale() {
    // C.UTF-8 is always there on a fresh machine and still maps accented
    // letters' case; the environment's default is the last resort.
    if (std::setlocale(LC_CTYPE, "en_US.UTF-8")) return;
    if (std::setlocale(LC_CTYPE, "C.UTF-8")) return;
    std::setlocale(LC_CTYPE, "");
}

}  // namespace

void RunProgramMain(KtGame* game, int argc, char** argv, void (*initGlobals)(), void (*createApp)()) {
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
        EndWindowSystem();
        game->ReportUncaught(throwable);
    }
}
