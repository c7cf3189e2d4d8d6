// An explicit reference count beside the collector, for objects that own GPU
// resources (textures, materials): the collector frees the memory, the count
// decides when the GL objects are given back.
#pragma once

#include "runtime/collector.h"

class c_RefCounted : public Object {
public:
    // 1 after construction; -1 once destroyed, after which Retain and Release
    // are errors.
    int refCount = 1;
    // Unique in the process: a frame compared with the one sent last names
    // textures and materials by it, since an address may come back for
    // another object.
    int serial;

    c_RefCounted();

    void Retain();
    void Release();
    // Called exactly once, when the count drops to zero.
    virtual void Destroy() = 0;
};
