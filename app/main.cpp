#include <cstdio>

#include "app/command_line.h"
#include "app/exercise/practice_log.h"
#include "app/language/language.h"
#include "app/my_app.h"
#include "canvas/renderer.h"
#include "host/host_main.h"

namespace {

// Every subsystem's globals, in the order the subsystems build on each other.
void InitGlobals() {
    InitFrameworkGlobals();
    InitCanvasGlobals();
}

void CreateApp() { new c_MyApp(); }

// A refused command line: the usual status of a usage error.
constexpr int USAGE_ERROR = 2;

}  // namespace

// The command line is answered before any window opens, so that --help and
// --version work without a display. The renderer starts once, in the
// start-up window's GL context, before the application's OnSetup makes its
// canvas.
int main(int argc, char** argv) {
    // The usage and the refusals are in the user's language; the program
    // reports a catalogue's problem itself once it runs.
    Settings settings;
    LoadSettings(&settings);
    StartLanguage(settings.language);
    CommandLine line = ParseCommandLine(argc, argv);
    switch (line.action) {
        case CommandLine::SHOW_USAGE: std::fputs(UsageText(), stdout); return 0;
        case CommandLine::SHOW_VERSION: std::printf("%s\n", VersionText()); return 0;
        case CommandLine::PRINT_PRACTICE_LOG: {
            // Printed as it is, damaged rows too: whoever reads it sees them.
            std::vector<PracticeRow> rows;
            std::string text;
            std::string problem = LoadPracticeLog(&rows, &text);
            std::fputs(text.empty() ? PracticeRecordHeader() : text.c_str(), stdout);
            if (problem.empty()) return 0;
            std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
            return 1;
        }
        case CommandLine::REFUSE:
            std::fprintf(stderr, "grimalou: %s\n\n%s", line.problem.c_str(), UsageText());
            return USAGE_ERROR;
        case CommandLine::RUN: break;
    }
    return HostMain(argc, argv, InitGlobals, CreateApp, InitRenderer);
}
