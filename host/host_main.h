// The process start shared by the real executable and the test applications.
#pragma once

// Runs the whole program: window system, host object, the program main
// (arguments, fault translator, locale, collector lists, `initGlobals`, roots,
// `createApp`), then, if the application set a delegate, the start-up window,
// `startGraphics` (once its GL context exists, before the application
// starts; may be null) and the game loop. Returns the process's exit status;
// a failing start exits by itself.
int HostMain(int argc, char** argv, void (*initGlobals)(), void (*createApp)(), void (*startGraphics)() = nullptr);

// For tests that want a window without the loop: initialises the window
// system (GLFW) with the host's error reporting; false when there is no
// display. The browser has nothing to initialise or end.
bool InitWindowSystem();
void EndWindowSystem();
