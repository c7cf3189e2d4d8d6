// The application base class, the framework's globals and the functions the
// application calls. An application derives from c_App and overrides its
// three callbacks; the framework calls them from the host's events.
#pragma once

#include "framework/display_mode.h"
#include "runtime/array.h"

class KtGame;
class c_GameDelegate;
class c_GraphicsContext;
class c_InputDevice;
class gxtkAudio;
class gxtkGraphics;

class c_App : public Object {
public:
    // Registers this as the one application and hands a new delegate to the
    // host; a second application is the runtime error "App has already been
    // created".
    c_App();
    // Once, after the devices exist.
    virtual int OnSetup();
    // Once per update.
    virtual int OnTick();
    // Once per rendered frame.
    virtual int OnDraw();
};

// Every object reference below is stored through the collector's barrier and
// marked as a root.
extern c_App* theApp;
extern c_GameDelegate* theDelegate;
extern KtGame* theHost;  // not collected: the host object lives for the process
extern gxtkGraphics* graphicsDevice;
extern gxtkAudio* audioDevice;
extern c_InputDevice* inputDevice;
// The graphics device while the immediate-mode context renders, else null.
extern gxtkGraphics* activeRenderer;
extern c_GraphicsContext* graphicsContext;
extern int deviceWidthCache;
extern int deviceHeightCache;
extern Array<c_DisplayMode*> displayModeList;
extern c_DisplayMode* desktopModeObject;
extern int updateRate;

// Sets every global above to its start value, creates the graphics context
// and registers the globals as collector roots. Run once by the program main,
// before any application exists.
void InitFrameworkGlobals();

void SetTickRate(int hertz);
int ElapsedMilliseconds();
// Year, month, day, hour, minute, second and 0.
Array<int> CurrentDate();
int WindowWidth();
int WindowHeight();
// Ends the process with exit status 0.
[[noreturn]] void QuitApp();
void RefreshDeviceSize();
// The host's screen sizes without duplicates, first occurrence first, into
// displayModeList, and the desktop's size into desktopModeObject.
void CollectScreenModes();
