// The framework's receiver of the host's events: it creates the devices on
// Start, keeps the input state current around each OnTick, brackets each
// OnDraw with the graphics device's frame and ends the program on the close
// key.
#pragma once

#include "host/game_delegate.h"
#include "runtime/gc_ref.h"

class c_InputDevice;
class gxtkAudio;
class gxtkGraphics;

class c_GameDelegate : public KtGameDelegate {
public:
    gc_ref<gxtkGraphics> graphics;
    gc_ref<gxtkAudio> audio;
    gc_ref<c_InputDevice> input;

    void Start() override;
    void Suspend() override;
    void Resume() override;
    void Update() override;
    void Render() override;
    void KeyInput(int event, int data) override;
    void MouseInput(int event, int data, float x, float y) override;
    void TouchInput(int event, int data, float x, float y) override;
    void MotionInput(int event, int data, float x, float y, float z) override;
    void ReleaseGraphics() override;
    GC_FIELDS(KtGameDelegate, graphics, audio, input)
};
