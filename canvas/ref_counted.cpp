#include "canvas/ref_counted.h"

#include "host/errors.h"

c_RefCounted::c_RefCounted() {
    static int lastSerial = 0;
    serial = ++lastSerial;
}

void c_RefCounted::Retain() {
    if (refCount < 1) RuntimeError("Internal error");
    ++refCount;
}

void c_RefCounted::Release() {
    if (refCount <= 0) RuntimeError("Internal error");
    if (--refCount == 0) {
        refCount = -1;
        Destroy();
    }
}
