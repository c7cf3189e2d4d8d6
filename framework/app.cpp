#include "framework/app.h"

#include "framework/game_delegate.h"
#include "framework/graphics.h"
#include "framework/graphics_context.h"
#include "framework/input_device.h"
#include "host/audio.h"
#include "host/errors.h"
#include "host/game.h"
#include "runtime/containers.h"

c_App* theApp = nullptr;
c_GameDelegate* theDelegate = nullptr;
KtGame* theHost = nullptr;
gxtkGraphics* graphicsDevice = nullptr;
gxtkAudio* audioDevice = nullptr;
c_InputDevice* inputDevice = nullptr;
gxtkGraphics* activeRenderer = nullptr;
c_GraphicsContext* graphicsContext = nullptr;
int deviceWidthCache = 0;
int deviceHeightCache = 0;
Array<c_DisplayMode*> displayModeList;
c_DisplayMode* desktopModeObject = nullptr;
int updateRate = 0;

namespace {

void MarkFrameworkGlobals() {
    gc_enqueue(theApp);
    gc_enqueue(theDelegate);
    gc_enqueue(graphicsDevice);
    gc_enqueue(audioDevice);
    gc_enqueue(inputDevice);
    gc_enqueue(activeRenderer);
    gc_enqueue(graphicsContext);
    gc_enqueue(displayModeList);
    gc_enqueue(desktopModeObject);
}

}  // namespace

void InitFrameworkGlobals() {
    gc_store(theApp, nullptr);
    gc_store(theDelegate, nullptr);
    theHost = currentGame;
    gc_store(graphicsContext, new c_GraphicsContext());
    gc_store(graphicsDevice, nullptr);
    gc_store(audioDevice, nullptr);
    gc_store(inputDevice, nullptr);
    gc_store(activeRenderer, nullptr);
    deviceWidthCache = 0;
    deviceHeightCache = 0;
    gc_store_array(displayModeList, Array<c_DisplayMode*>());
    gc_store(desktopModeObject, nullptr);
    updateRate = 0;
    gc_add_root_marker(MarkFrameworkGlobals);
}

c_App::c_App() {
    if (theApp) RuntimeError(String("App has already been created"));
    gc_store(theApp, this);
    gc_store(theDelegate, new c_GameDelegate());
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
    gc_store_array(displayModeList, kept->ToArray());

    KtDisplayMode* desktop = theHost->DesktopScreenMode();
    c_DisplayMode* desktopSize = new c_DisplayMode();
    desktopSize->width = desktop ? desktop->width : deviceWidthCache;
    desktopSize->height = desktop ? desktop->height : deviceHeightCache;
    gc_store(desktopModeObject, desktopSize);
}
