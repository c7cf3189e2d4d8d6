// The program main, shared by every host: what runs between the host object's
// creation and the start-up window.
#pragma once

class KtGame;

// Saves the arguments, installs the fault translator, sets the character
// locale, empties the collector's lists, runs `initGlobals`, queues the roots
// and runs `createApp`. A throwable that escapes ends the window system and is
// reported as uncaught.
void RunProgramMain(KtGame* game, int argc, char** argv, void (*initGlobals)(), void (*createApp)());
