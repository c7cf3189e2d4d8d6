// Runtime errors and crash reports: how the system ends when something goes
// wrong. A report prints "Ravlen Runtime Error : " and the message on standard
// output, then a line-based debugger prompt reads standard input. Nothing here
// returns to the code that raised it, except the commands that repeat a report.
#pragma once

#include "runtime/string.h"

// The empty message ends the process at once with status 0, printing nothing
// (this is how the application quits). Any other message is reported.
[[noreturn]] void RuntimeError(const String& message);
// `message` is 8-bit text (each byte one character, printed as UTF-8).
[[noreturn]] void FatalReport(const char* message);
// "Ravlen Runtime Error : Uncaught Ravlen Exception", then exit status 255.
[[noreturn]] void ReportUncaught(ThrowableObject* throwable);

// The text's UTF-8 bytes and a newline on standard output, flushed.
void PrintLine(const String& text);
// Each unit's low 8 bits and a newline on standard output, flushed.
void PrintBytesLine(const String& text);
// The debugger position and a newline when one is set, else the empty text.
String StackText();

// The source position a debugger would show; nothing in this program sets it.
extern const char* debugPosition;

// ---- Each host's side (desktop_faults.cpp, web_faults.cpp) ----------------

// Ends the process with the system's exit code: 0, or -1, which the
// platform sees as 255.
[[noreturn]] void ExitProcess(int code);
// What follows a printed report: the debugger prompt on standard input on
// the desktop, the report shown in place of the picture in a browser. Returns
// only when the report is to be printed again.
void AfterReport(const char* message);
// Turns processor faults on the main thread (memory access violation, illegal
// instruction, integer division by zero, stack overflow) into reports.
void InstallFaultTranslator();
