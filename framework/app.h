// The application base class, the framework's globals and the functions the
// application calls. An application derives from c_App and overrides its
// three callbacks; the framework calls them from the host's events.
#pragma once

#include "framework/display_mode.h"
#include "runtime/array.h"
#include "runtime/gc_ref.h"

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
    // The window's close button, or the window manager's close: true quits
    // at once; false keeps the program running (it asks first, say).
    virtual bool OnCloseRequest();
};

extern gc_root<c_App> theApp;
extern gc_root<c_GameDelegate> theDelegate;
extern KtGame* theHost;  // not collected: the host object lives for the process
extern gc_root<gxtkGraphics> graphicsDevice;
extern gc_root<gxtkAudio> audioDevice;
extern gc_root<c_InputDevice> inputDevice;
// The graphics device while the immediate-mode context renders, else null.
extern gc_root<gxtkGraphics> activeRenderer;
extern gc_root<c_GraphicsContext> graphicsContext;
extern int deviceWidthCache;
extern int deviceHeightCache;
extern gc_root<Array<c_DisplayMode*>> displayModeList;
extern gc_root<c_DisplayMode> desktopModeObject;
extern int updateRate;

// Sets every global above to its start value and creates the graphics
// context. Run by the program main before any application exists (and by
// tests for a fresh start).
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
