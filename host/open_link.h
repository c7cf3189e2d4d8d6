// Opening a URL with the desktop's default handler.
#pragma once

#include <string>

// Starts `xdg-open url` directly, never through a shell, and returns at once;
// nothing happens when xdg-open is missing.
void StartLinkOpener(const std::string& url);
// Collects the openers that have finished, so none stays a zombie. Cheap;
// the loop calls it once per pass.
void ReapLinkOpeners();
// How many openers have been started and not yet collected.
int PendingLinkOpeners();
