#include "app/command_line.h"

#include <cstring>

#include "app/language/language.h"

namespace {

// One row per option; a new option is a new row (and a line of the usage).
struct Option {
    const char* name;
    void (*apply)(CommandLine& line);
};
const Option OPTIONS[] = {
    {"--fullscreen", [](CommandLine& line) { line.fullscreen = true; }},
    {"--help", [](CommandLine& line) { line.action = CommandLine::SHOW_USAGE; }},
    {"-h", [](CommandLine& line) { line.action = CommandLine::SHOW_USAGE; }},
    {"--practice-log", [](CommandLine& line) { line.action = CommandLine::PRINT_PRACTICE_LOG; }},
    {"--version", [](CommandLine& line) { line.action = CommandLine::SHOW_VERSION; }},
};

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc && line.action == CommandLine::RUN; ++i) {
        const char* argument = argv[i];
        const Option* found = nullptr;
        for (const Option& option : OPTIONS)
            if (std::strcmp(argument, option.name) == 0) found = &option;
        if (found) {
            found->apply(line);
        } else if (argument[0] == '-') {
            line.action = CommandLine::REFUSE;
            line.problem = Printed(_("unknown option '%s'"), argument);
        } else if (line.file.empty()) {
            line.file = argument;
        } else {
            line.action = CommandLine::REFUSE;
            line.problem = Printed(_("one file at a time: unexpected argument '%s'"), argument);
        }
    }
    return line;
}

const char* UsageText() {
    // TRANSLATORS: keep the options' names (--fullscreen, FILE...) as they are; they are what is typed.
    return _("Usage: grimalou [--fullscreen] [FILE]\n"
           "       grimalou --practice-log | --help | --version\n"
           "\n"
           "Face and mouth exercises with a child: choose the girl or the boy, then\n"
           "drag the parts of the face. In the program, F1 or ? shows the gestures\n"
           "and the keys.\n"
           "\n"
           "  FILE          an exercise file (.grimalou) to open\n"
           "  --fullscreen  start filling the screen (F11 brings the window back)\n"
           "  --practice-log  print the practice log (CSV) and exit\n"
           "  -h, --help    show this text and exit\n"
           "  --version     show the name and version and exit\n");
}

const char* VersionText() { return "grimalou " GRIMALOU_VERSION; }
