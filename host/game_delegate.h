// The receiver of every event the host delivers. The framework derives its
// delegate from this; the host calls exactly these ten operations.
#pragma once

#include "runtime/collector.h"

class KtGameDelegate : public Object {
public:
    virtual void Start() {}
    virtual void Suspend() {}
    virtual void Resume() {}
    virtual void Update() {}
    virtual void Render() {}
    virtual void KeyInput(int event, int data) { (void)event, (void)data; }
    virtual void MouseInput(int event, int data, float x, float y) { (void)event, (void)data, (void)x, (void)y; }
    virtual void TouchInput(int event, int data, float x, float y) { (void)event, (void)data, (void)x, (void)y; }
    virtual void MotionInput(int event, int data, float x, float y, float z) {
        (void)event, (void)data, (void)x, (void)y, (void)z;
    }
    virtual void ReleaseGraphics() {}
};
