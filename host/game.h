// The host game object: the one native object through which the framework
// reaches the platform, and through which every platform event reaches the
// framework's delegate. KtGame holds what needs no window system (the state
// file, the paths and the file loaders among it); KtGlfwGame implements the
// rest on GLFW.
#pragma once

#include <cstdio>

#include "host/display_mode.h"
#include "host/game_delegate.h"
#include "host/picture_file.h"
#include "runtime/array.h"
#include "runtime/string.h"

class KtGame {
public:
    // Not owned: the framework's globals keep the delegate alive, and
    // CollectStep marks it before every step.
    KtGameDelegate* delegate = nullptr;
    bool userFlag = false;
    // Updates per second; 0 means one update per loop pass.
    int tickRate = 0;
    bool started = false;
    bool suspended = false;
    // The executable's folder (found on first use) and the internal folder
    // under it; tests point them elsewhere.
    String appDir;
    String internalDir;

    KtGame();
    virtual ~KtGame();

    virtual void SetDelegate(KtGameDelegate* delegate);
    virtual KtGameDelegate* GetDelegate();
    virtual void SetUserFlag(bool flag);
    virtual bool UserFlag();
    virtual void SetTickRate(int hertz);
    virtual int TickRate();
    virtual bool IsStarted();
    virtual bool IsSuspended();
    virtual int ElapsedMilliseconds();
    // Year, month, day, hour, minute, second, 0 - as far as the array reaches.
    virtual void FillDate(Array<int> date);
    // 0 on success, -1 when the state file cannot be created, -2 when not
    // every byte reached it.
    virtual int StoreStateText(const String& text);
    virtual String FetchStateText();
    virtual String LoadText(const String& path);
    virtual int CountJoysticks(bool refresh);
    virtual bool PollJoystick(int port, Array<float> x, Array<float> y, Array<float> z, Array<bool> buttons);
    virtual void OpenLink(const String& url);
    // Hands a file (a UTF-8 path) to the desktop's mail program as an
    // attachment, or to the browser's sharing; shows it in its folder in
    // the file manager, or downloads it. "" once handed on, else why not.
    virtual std::string SendFile(const std::string& path, const std::string& subject, const std::string& body);
    virtual std::string ShowFile(const std::string& path);
    virtual void SetCursorShown(bool shown);
    // The device is worked mainly by touch (a phone, a tablet), as far as
    // the host can tell before the first touch.
    virtual bool TouchFirst();
    virtual int WindowWidth();
    virtual int WindowHeight();
    virtual void CreateDeviceWindow(int width, int height, int flags);
    // Full screen on the monitor that holds the window's centre, keeping the
    // OpenGL context; off brings the window back to its former size and place.
    virtual void SetFullscreen(bool on);
    virtual bool IsFullscreen();
    // The window's own keys, as on any desktop, by key number: F11 and
    // Alt+Enter switch between the window and full screen, Escape leaves full
    // screen. Every host calls it for a first press (not a repeat); the
    // application sees the keys too.
    void FollowWindowKey(int key, bool alt);
    virtual Array<KtDisplayMode*> ScreenModes();
    virtual KtDisplayMode* DesktopScreenMode();
    virtual void SetSwapInterval(int interval);
    // "ravlen://data/", "ravlen://internal/" and "ravlen://external/" paths
    // as files under the executable's folder; any other "ravlen:" path as
    // nothing (the empty text); every other path unchanged.
    virtual String ResolvePath(const String& path);
    // Null when the path resolves to nothing or the file cannot be opened.
    virtual std::FILE* OpenFile(const String& path, const String& mode);
    // The loaders below return a block the caller owns and frees with
    // std::free, or null; the block's size is reported to the collector.
    virtual unsigned char* LoadFileData(const String& path, int* length);
    // A picture of more than `maxPixels` pixels is refused like an unreadable one.
    virtual unsigned char* LoadImagePixels(const String& path, int* width, int* height, int* components,
                                           int64_t maxPixels = kMaxPicturePixels);
    virtual unsigned char* LoadSampleData(const String& path, int* length, int* channels, int* bytesPerSample,
                                          int* rate);
    // The one way pictures become pixels for drawing: LoadImagePixels, then
    // every pixel widened to R, G, B, A (grey g as g, g, g; no alpha as 255)
    // with the colour multiplied by alpha (c * a / 255, truncated). A block
    // of width * height * 4 bytes, rows top to bottom, that the caller frees
    // with std::free; null when the picture cannot be loaded or has more
    // than `maxPixels` pixels.
    unsigned char* LoadPicture(const String& path, int* width, int* height, int64_t maxPixels = kMaxPicturePixels);
    [[noreturn]] virtual void ReportUncaught(ThrowableObject* throwable);
    virtual void CollectStep();

    // The event entries. Each runs only in the states its comment names,
    // forwards to the delegate operation of the same name and then runs one
    // collector step; in any other state it does nothing at all.
    virtual void Start();            // not started yet
    virtual void Suspend();          // started, not suspended
    virtual void Resume();           // started, suspended
    virtual void Update();           // started, not suspended
    virtual void Render();           // started
    virtual void KeyInput(int event, int data);                          // started
    virtual void MouseInput(int event, int data, float x, float y);      // started
    virtual void TouchInput(int event, int data, float x, float y);      // started
    virtual void MotionInput(int event, int data, float x, float y, float z);  // started
    virtual void ReleaseGraphics();  // started
};

// The one path resolver of pictures and other data files as callers name
// them: a path that starts with "." or "/", or names a scheme (its first "/"
// follows the first ":/", as in "ravlen://data/x.png"), is taken as it is;
// any other path is a file of the data folder, "ravlen://data/" + path.
String CompleteDataPath(const String& path);

// The one host game object, set by the KtGame constructor.
extern KtGame* currentGame;
// Raised each time a window, and with it a new OpenGL context, is created;
// 0 while there is none. GL objects remember the value they were made under.
extern int graphicsGeneration;
// The process arguments, saved by the program main for the application.
extern int processArgumentCount;
extern char** processArguments;
