// The host game object in a web browser: a WebGL context on the page's
// canvas, the page's pointer, touch and key events, and a loop driven by the
// browser's animation frames. The canvas fills the page; its backing store
// follows the page's size and the screen's pixel density.
#pragma once

#include "host/loop_game.h"

class KtWebGame : public KtLoopGame {
public:
    // The canvas's backing store in device pixels: the window size the
    // framework sees, and the space pointer positions are given in.
    int width = 0;
    int height = 0;
    // The canvas's size on the page, in CSS pixels.
    double cssWidth = 0, cssHeight = 0;
    // The WebGL context; 0 until CreateDeviceWindow.
    intptr_t context = 0;
    // Touch identifiers of the fingers 0 to 31 that are down; the first free
    // number goes to a new finger, so the first finger down is the pointer.
    static constexpr int kFingers = 32;
    long fingerIds[kFingers] = {};
    bool fingerDown[kFingers] = {};
    // Set by every event; while suspended a frame is drawn only after events,
    // as the desktop loop draws once per batch of events it waits for.
    bool eventArrived = false;

    KtWebGame();

    int WindowWidth() override;
    int WindowHeight() override;
    // The page decides the canvas's size: width and height are not used. The
    // flags' depth bit (16) asks for a depth buffer.
    void CreateDeviceWindow(int width, int height, int flags) override;
    // The Fullscreen API on the whole page.
    void SetFullscreen(bool on) override;
    bool IsFullscreen() override;
    Array<KtDisplayMode*> ScreenModes() override;
    KtDisplayMode* DesktopScreenMode() override;
    void OpenLink(const String& url) override;
    std::string SendFile(const std::string& path, const std::string& subject, const std::string& body) override;
    std::string ShowFile(const std::string& path) override;
    bool TouchFirst() override;
    void SetCursorShown(bool shown) override;

    // Opens the canvas's context, runs `startGraphics` in it, starts the game,
    // draws the first frame and hands the loop to the browser; returns at once.
    void Run(void (*startGraphics)());
    // One animation frame: the canvas's size, the updates due, the picture.
    void Frame();
    // Follows the canvas's size on the page and the pixel density; a change
    // redraws at once and restarts the update schedule.
    void FitCanvas();
    // Whether the page is shown and has the keyboard focus.
    static bool PageFocused();
};
