#include "framework/game_delegate.h"

#include "framework/app.h"
#include "framework/graphics.h"
#include "framework/graphics_context.h"
#include "framework/input_device.h"
#include "host/audio.h"
#include "host/events.h"

void c_GameDelegate::Start() {
    graphics = new gxtkGraphics();
    graphicsDevice = graphics;
    graphicsContext->LoadDefaultFont();
    audio = new gxtkAudio();
    audioDevice = audio;
    input = new c_InputDevice();
    inputDevice = input;
    RefreshDeviceSize();
    CollectScreenModes();
    theApp->OnSetup();
}

void c_GameDelegate::Suspend() {
    audio->PauseAllSounds();
    // A finger lifted while the window is away must not leave a gesture
    // running when it comes back.
    input->ReleaseHeldKeys();
}
void c_GameDelegate::Resume() { audio->ContinueAllSounds(); }

void c_GameDelegate::Update() {
    RefreshDeviceSize();
    input->PreTick();
    theApp->OnTick();
    input->PostTick();
}

void c_GameDelegate::Render() {
    RefreshDeviceSize();
    int mode = graphics->StartFrame();
    if (mode != 0) graphicsContext->ApplyDefaultState(graphics);
    // Mode 2 asks for the frame to be skipped.
    if (mode != 2) theApp->OnDraw();
    if (mode != 0) activeRenderer = nullptr;
    graphics->EndFrame();
}

void c_GameDelegate::KeyInput(int event, int data) {
    input->KeyInput(event, data);
    if (event != EV_KEY_DOWN) return;
    if (data == KEY_QUIT || (data == KEY_CLOSE && theApp->OnCloseRequest())) QuitApp();
}

void c_GameDelegate::MouseInput(int event, int data, float x, float y) { input->MouseInput(event, data, x, y); }
void c_GameDelegate::TouchInput(int event, int data, float x, float y) { input->TouchInput(event, data, x, y); }
void c_GameDelegate::MotionInput(int event, int data, float x, float y, float z) {
    input->MotionInput(event, data, x, y, z);
}
void c_GameDelegate::ReleaseGraphics() { graphics->DropGraphics(); }
