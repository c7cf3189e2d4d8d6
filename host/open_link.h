// Opening a URL with the desktop's default handler.
#pragma once

#include <string>
#include <vector>

// Starts `xdg-open url` directly, never through a shell, and returns at once;
// nothing happens when xdg-open is missing.
void StartLinkOpener(const std::string& url);
// Starts a program (found on PATH) with its arguments, directly, and returns
// at once: "" when it started, else why not.
std::string StartProgram(const std::vector<std::string>& arguments);
// Runs a program to its end: its exit status, -1 when it could not run.
int RunProgram(const std::vector<std::string>& arguments);
// The file: URL of an absolute path, its bytes escaped where a URL needs it.
std::string FileUrl(const std::string& path);
// Collects the openers that have finished, so none stays a zombie. Cheap;
// the loop calls it once per pass.
void ReapLinkOpeners();
// How many openers have been started and not yet collected.
int PendingLinkOpeners();
