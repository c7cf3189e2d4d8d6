#include "framework/app.h"

#include "framework/game_delegate.h"
#include "framework/graphics.h"
#include "framework/graphics_context.h"
#include "framework/input_device.h"
#include "host/audio.h"
#include "host/errors.h"
#include "host/game.h"
#include "runtime/containers.h"

gc_root<c_App> theApp;
gc_root<c_GameDelegate> theDelegate;
KtGame* theHost = nullptr;
gc_root<gxtkGraphics> graphicsDevice;
gc_root<gxtkAudio> audioDevice;
gc_root<c_InputDevice> inputDevice;
gc_root<gxtkGraphics> activeRenderer;
gc_root<c_GraphicsContext> graphicsContext;
int deviceWidthCache = 0;
int deviceHeightCache = 0;
gc_root<Array<c_DisplayMode*>> displayModeList;
gc_root<c_DisplayMode> desktopModeObject;
int updateRate = 0;

void InitFrameworkGlobals() {
    theApp = nullptr;
    theDelegate = nullptr;
    theHost = currentGame;
    graphicsContext = new c_GraphicsContext();
    graphicsDevice = nullptr;
    audioDevice = nullptr;
    inputDevice = nullptr;
    activeRenderer = nullptr;
    deviceWidthCache = 0;
    deviceHeightCache = 0;
    displayModeList = Array<c_DisplayMode*>();
    desktopModeObject = nullptr;
    updateRate = 0;
}

c_App::c_App() {
    if (theApp) RuntimeError(String("App has already been created"));
    theApp = this;
    theDelegate = new c_GameDelegate();
    theHost->SetDelegate(theDelegate);
}

int c_App::OnSetup() { return 0; }
int c_App::OnTick() { return 0; }
int c_App::OnDraw() { return 0; }

void SetTickRate(int hertz) {
    updateRate = hertz;
    theHost->SetTickRate(hertz);
}

int ElapsedMilliseconds() { return theHost->ElapsedMilliseconds(); }

Array<int> CurrentDate() {
    Array<int> date(7);
    theHost->FillDate(date);
    return date;
}

int WindowWidth() { return deviceWidthCache; }
int WindowHeight() { return deviceHeightCache; }

bool c_App::OnCloseRequest() { return true; }

void QuitApp() { RuntimeError(String()); }

void RefreshDeviceSize() {
    int w = theHost->WindowWidth();
    int h = theHost->WindowHeight();
    if (w != deviceWidthCache || h != deviceHeightCache) {
        deviceWidthCache = w;
        deviceHeightCache = h;
    }
}

void CollectScreenModes() {
    Array<KtDisplayMode*> modes = theHost->ScreenModes();
    c_IntMap* seen = new c_IntMap();
    c_Stack* kept = new c_Stack();
    for (int i = 0; i < modes.Length(); ++i) {
        KtDisplayMode* mode = modes[i];
        int key = (mode->width << 16) | mode->height;
        if (seen->Has(key)) continue;
        c_DisplayMode* size = new c_DisplayMode();
        size->width = mode->width;
        size->height = mode->height;
        seen->Put(key, size);
        kept->Push(size);
    }
    displayModeList = kept->ToArray();

    KtDisplayMode* desktop = theHost->DesktopScreenMode();
    c_DisplayMode* desktopSize = new c_DisplayMode();
    desktopSize->width = desktop ? desktop->width : deviceWidthCache;
    desktopSize->height = desktop ? desktop->height : deviceHeightCache;
    desktopModeObject = desktopSize;
}
