// The command line: what the user asked for before any window opens.
#pragma once

#include <string>

struct CommandLine {
    enum Action { RUN, SHOW_USAGE, SHOW_VERSION, PRINT_PRACTICE_LOG, REFUSE };
    Action action = RUN;
    bool fullscreen = false;
    // The one argument that is not an option: an exercise file to open.
    std::string file;
    // For REFUSE: why, in one line naming the argument.
    std::string problem;
};

// Reads the arguments after the program's name; the first one that asks to
// show something, or that is not understood, decides.
CommandLine ParseCommandLine(int argc, const char* const* argv);
// The usage text, ending with a newline.
const char* UsageText();
// "grimalou <version>".
const char* VersionText();
