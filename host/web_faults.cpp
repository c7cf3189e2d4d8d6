// The browser's side of runtime error reports. There is no standard input to
// hold a debugger prompt: a report is printed to the console and shown on the
// page in place of the canvas, and the program stops. Processor faults are
// WebAssembly traps, which reach the page as errors: the page's script
// translates them into the same reports (web/shell.html), since it must also
// report what fails before the program runs.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

#include "host/errors.h"

namespace {

// `text` is 8-bit text, each byte one character.
EM_JS(void, ShowOnPage, (const char* text), {
    var s = "";
    for (var p = text; HEAPU8[p]; ++p) s += String.fromCharCode(HEAPU8[p]);
    if (Module.showReport) Module.showReport(s);
});

EM_JS(bool, PageShowsReport, (), { return !!Module.reportShown; });

// Nothing runs after this: no more frames, no more events.
[[noreturn]] void Halt(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    emscripten_html5_remove_all_event_listeners();
    emscripten_cancel_main_loop();
    emscripten_force_exit(code & 0xFF);
    __builtin_unreachable();
}

}  // namespace

void ExitProcess(int code) {
    if (!PageShowsReport()) {
        std::string text = code == 0 ? "Grimalou has ended. Reload the page to start again."
                                     : "Grimalou stopped with exit status " + std::to_string(code & 0xFF) +
                                           "; the browser's console holds the details.";
        ShowOnPage(text.c_str());
    }
    Halt(code);
}

void AfterReport(const char* message) {
    std::string text = std::string("Ravlen Runtime Error : ") + message;
    ShowOnPage(text.c_str());
    Halt(-1);
}

void InstallFaultTranslator() {}
