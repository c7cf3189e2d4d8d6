#include "host/web_game.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <cmath>

#include "host/errors.h"
#include "host/events.h"
#include "host/frame.h"
#include "host/gl_api.h"
#include "host/key_table.h"

namespace {

// The page's canvas, as the shell page names it.
const char* const kCanvas = "#canvas";

KtWebGame* webGame = nullptr;

void* LookUpGlFunction(const char* name) { return emscripten_webgl_get_proc_address(name); }

// A position on the canvas in CSS pixels, in the backing store's pixels.
float BackingX(long cssX) {
    return webGame->cssWidth > 0 ? static_cast<float>(cssX * webGame->width / webGame->cssWidth) : 0.0f;
}
float BackingY(long cssY) {
    return webGame->cssHeight > 0 ? static_cast<float>(cssY * webGame->height / webGame->cssHeight) : 0.0f;
}

// The finger number of a touch that is down, or -1.
int FingerOf(long identifier) {
    for (int i = 0; i < KtWebGame::kFingers; ++i)
        if (webGame->fingerDown[i] && webGame->fingerIds[i] == identifier) return i;
    return -1;
}

EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* event, void*) {
    webGame->eventArrived = true;
    for (int t = 0; t < event->numTouches; ++t) {
        const EmscriptenTouchPoint& touch = event->touches[t];
        if (!touch.isChanged) continue;
        float x = BackingX(touch.targetX), y = BackingY(touch.targetY);
        int finger = FingerOf(touch.identifier);
        if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
            if (finger >= 0) continue;
            for (int i = 0; i < KtWebGame::kFingers && finger < 0; ++i)
                if (!webGame->fingerDown[i]) finger = i;
            // A 33rd finger has no number: it is not seen.
            if (finger < 0) continue;
            webGame->fingerDown[finger] = true;
            webGame->fingerIds[finger] = touch.identifier;
            webGame->TouchInput(EV_TOUCH_DOWN, finger, x, y);
        } else if (finger >= 0 && type == EMSCRIPTEN_EVENT_TOUCHMOVE) {
            webGame->TouchInput(EV_TOUCH_MOVE, finger, x, y);
        } else if (finger >= 0) {
            webGame->fingerDown[finger] = false;
            webGame->TouchInput(EV_TOUCH_UP, finger, x, y);
        }
    }
    // Handled: the browser neither scrolls nor makes mouse events of it.
    return EM_TRUE;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void*) {
    webGame->eventArrived = true;
    float x = BackingX(event->targetX), y = BackingY(event->targetY);
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        webGame->MouseInput(EV_MOUSE_MOVE, -1, x, y);
        return EM_FALSE;
    }
    // The page numbers the middle button 1 and the right one 2.
    static const int kButtonOfPage[3] = {0, 2, 1};
    if (event->button > 2) return EM_FALSE;
    webGame->MouseInput(type == EMSCRIPTEN_EVENT_MOUSEDOWN ? EV_MOUSE_DOWN : EV_MOUSE_UP,
                        kButtonOfPage[event->button], x, y);
    return EM_TRUE;
}

// Keys whose browser action would take the page from the child (scrolling,
// going back, the browser's help or its own full screen, saving the page
// where Ctrl+S saves an exercise) are kept by Grimalou; every other key also
// does what the browser does with it, the browser's other Ctrl chords first.
bool KeptFromBrowser(int key, bool ctrl) {
    if (ctrl) return key == 'S';
    switch (key) {
    case 8: case 9: case 32: case 33: case 34: case 35: case 36:
    case 37: case 38: case 39: case 40: case 112: case 122:
        return true;
    default:
        return false;
    }
}

// While one of the page's own controls (its list of exercises, a button) has
// the keyboard's focus, the keys are the page's.
bool PageControlFocused() {
    return EM_ASM_INT({
        var e = document.activeElement;
        return !!e && e !== document.body && e !== Module.canvas;
    }) != 0;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    if (type != EMSCRIPTEN_EVENT_KEYUP && PageControlFocused()) return EM_FALSE;
    webGame->eventArrived = true;
    if (type == EMSCRIPTEN_EVENT_KEYPRESS) {
        // Typed characters; Enter and the like arrive with their key.
        if (event->charCode >= 32) webGame->KeyInput(EV_KEY_CHAR, static_cast<int>(event->charCode));
        return EM_FALSE;
    }
    int key = KeyNumberOfDomCode(event->code);
    if (type == EMSCRIPTEN_EVENT_KEYUP) {
        if (key != 0) webGame->KeyInput(EV_KEY_UP, key);
        return EM_FALSE;
    }
    if (!event->repeat) webGame->FollowWindowKey(key, event->altKey);
    if (key == 0) return EM_FALSE;
    webGame->KeyInput(EV_KEY_DOWN, key);
    if (int character = CharacterOfKey(key)) webGame->KeyInput(EV_KEY_CHAR, character);
    return KeptFromBrowser(key, event->ctrlKey || event->metaKey);
}

EM_BOOL OnFocusChange(int, const void*, void*) {
    webGame->eventArrived = true;
    webGame->FollowFocus(KtWebGame::PageFocused());
    return EM_FALSE;
}

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
    webGame->eventArrived = true;
    webGame->FitCanvas();
    return EM_FALSE;
}

EM_BOOL OnContextLost(int, const void*, void*) {
    // Handled, so that the browser may give the context back.
    return EM_TRUE;
}

EM_BOOL OnContextRestored(int, const void*, void*) {
    // Everything made in the lost context is gone, and the pictures the
    // program uploaded once are no longer in its memory to be uploaded again:
    // the page starts afresh, as a desktop program would after a crash of its
    // graphics, with the saved exercises kept in the browser's storage.
    EM_ASM({ location.reload(); });
    return EM_FALSE;
}

// Only allowed while the page handles a key or a click: a refusal is caught,
// as the page just stays as it was.
EM_JS(void, ChangeFullscreen, (bool on), {
    var d = document;
    var e = d.documentElement;
    var result = null;
    if (on) {
        var request = e.requestFullscreen || e.webkitRequestFullscreen;
        if (request) result = request.call(e);
    } else if (d.fullscreenElement || d.webkitFullscreenElement) {
        result = (d.exitFullscreen || d.webkitExitFullscreen).call(d);
    }
    if (result && result.catch) result.catch(function() {});
});

// A browser starts an audio context suspended and lets a page resume it only
// while handling what it counts as the person's own act: a key, a click, a
// pointer or finger put down or lifted (not the start of a touch). Every
// such event resumes the OpenAL contexts that are not running, so sound also
// comes back after the system has interrupted it.
EM_JS(void, ResumeSoundOnActivation, (), {
    var resume = function() {
        if (typeof AL === 'undefined') return;
        for (var id in AL.contexts) {
            var context = AL.contexts[id];
            if (context && context.audioCtx && context.audioCtx.state !== 'running') {
                var started = context.audioCtx.resume();
                if (started && started.catch) started.catch(function() {});
            }
        }
    };
    ['keydown', 'mousedown', 'pointerdown', 'pointerup', 'touchend', 'click'].forEach(function(type) {
        window.addEventListener(type, resume, true);
    });
});

void FrameCallback() { webGame->Frame(); }

void InstallCallbacks() {
    emscripten_set_touchstart_callback(kCanvas, nullptr, EM_FALSE, OnTouch);
    emscripten_set_touchmove_callback(kCanvas, nullptr, EM_FALSE, OnTouch);
    emscripten_set_touchend_callback(kCanvas, nullptr, EM_FALSE, OnTouch);
    emscripten_set_touchcancel_callback(kCanvas, nullptr, EM_FALSE, OnTouch);
    emscripten_set_mousedown_callback(kCanvas, nullptr, EM_FALSE, OnMouse);
    emscripten_set_mousemove_callback(kCanvas, nullptr, EM_FALSE, OnMouse);
    emscripten_set_mouseup_callback(kCanvas, nullptr, EM_FALSE, OnMouse);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
    emscripten_set_keypress_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnResize);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE,
                                  reinterpret_cast<em_focus_callback_func>(OnFocusChange));
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE,
                                 reinterpret_cast<em_focus_callback_func>(OnFocusChange));
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE,
                                             reinterpret_cast<em_visibilitychange_callback_func>(OnFocusChange));
    emscripten_set_webglcontextlost_callback(kCanvas, nullptr, EM_FALSE,
                                             reinterpret_cast<em_webgl_context_callback>(OnContextLost));
    emscripten_set_webglcontextrestored_callback(kCanvas, nullptr, EM_FALSE,
                                                 reinterpret_cast<em_webgl_context_callback>(OnContextRestored));
    ResumeSoundOnActivation();
}

}  // namespace

KtWebGame::KtWebGame() { webGame = this; }

int KtWebGame::WindowWidth() { return width; }
int KtWebGame::WindowHeight() { return height; }

void KtWebGame::CreateDeviceWindow(int, int, int flags) {
    focusSeen = false;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = (flags & 16) ? EM_TRUE : EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    // WebGL 2 where the browser has it (mipmaps of any size), else WebGL 1,
    // which is OpenGL ES 2.0 as the renderer knows it.
    attributes.majorVersion = 2;
    context = emscripten_webgl_create_context(kCanvas, &attributes);
    if (context <= 0) {
        attributes.majorVersion = 1;
        context = emscripten_webgl_create_context(kCanvas, &attributes);
    }
    if (context <= 0) RuntimeError(String("This browser cannot draw with WebGL"));
    emscripten_webgl_make_context_current(context);
    graphicsGeneration += 1;
    LoadGlEntryPoints(LookUpGlFunction);
    FitCanvas();
    InstallCallbacks();
}

void KtWebGame::FitCanvas() {
    double cw = 0, ch = 0;
    emscripten_get_element_css_size(kCanvas, &cw, &ch);
    double ratio = emscripten_get_device_pixel_ratio();
    int w = static_cast<int>(std::lround(cw * ratio));
    int h = static_cast<int>(std::lround(ch * ratio));
    cssWidth = cw;
    cssHeight = ch;
    if (w == width && h == height) return;
    emscripten_set_canvas_element_size(kCanvas, w, h);
    width = w;
    height = h;
    // A new size is always drawn (host/frame.h).
    RenderChangedFrame(*this);
    nextTick = 0;
}

bool KtWebGame::PageFocused() {
    return EM_ASM_INT({ return document.visibilityState == 'visible' && document.hasFocus(); }) != 0;
}

void KtWebGame::Run(void (*startGraphics)()) {
    CreateDeviceWindow(0, 0, 16);
    if (startGraphics) startGraphics();
    Start();
    FollowFocus(PageFocused());
    // The first picture comes before the first update, as on the desktop.
    RenderChangedFrame(*this);
    EM_ASM({ performance.mark('grimalou-first-frame'); });
    emscripten_set_main_loop(FrameCallback, 0, 0);
}

void KtWebGame::Frame() {
    FitCanvas();
    bool events = eventArrived;
    eventArrived = false;
    RunDueUpdates();
    // A frame that would show the same picture draws nothing: the browser
    // keeps showing the last one (host/frame.h).
    if (!suspended || events) RenderChangedFrame(*this);
}

void KtWebGame::SetFullscreen(bool on) { ChangeFullscreen(on); }

bool KtWebGame::IsFullscreen() {
    return EM_ASM_INT({ return !!(document.fullscreenElement || document.webkitFullscreenElement); }) != 0;
}

KtDisplayMode* KtWebGame::DesktopScreenMode() {
    KtDisplayMode* mode = new KtDisplayMode();
    double ratio = emscripten_get_device_pixel_ratio();
    mode->width = static_cast<int>(std::lround(EM_ASM_DOUBLE({ return screen.width; }) * ratio));
    mode->height = static_cast<int>(std::lround(EM_ASM_DOUBLE({ return screen.height; }) * ratio));
    return mode;
}

Array<KtDisplayMode*> KtWebGame::ScreenModes() {
    // A page cannot change the screen's mode: the one it has is the only one.
    Array<KtDisplayMode*> modes(1);
    modes[0] = DesktopScreenMode();
    return modes;
}

void KtWebGame::OpenLink(const String& url) {
    std::string text = url.ToUtf8();
    EM_ASM({ window.open(UTF8ToString($0), '_blank', 'noopener'); }, text.c_str());
}

std::string KtWebGame::SendFile(const std::string& path, const std::string&, const std::string&) {
    EM_ASM({ Module.exercises.send(UTF8ToString($0)); }, path.c_str());
    return std::string();
}

std::string KtWebGame::ShowFile(const std::string& path) {
    EM_ASM({ Module.exercises.downloadPath(UTF8ToString($0)); }, path.c_str());
    return std::string();
}

// The page's main pointer is a finger: a phone or a tablet.
bool KtWebGame::TouchFirst() { return EM_ASM_INT({ return matchMedia('(pointer: coarse)').matches ? 1 : 0; }) != 0; }

void KtWebGame::SetCursorShown(bool shown) {
    EM_ASM({ Module.canvas.style.cursor = $0 ? "auto" : "none"; }, shown);
}
