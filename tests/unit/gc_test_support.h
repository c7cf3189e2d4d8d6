// Collected test objects that report their own destruction, and helpers that
// drive the collector to a known state.
#pragma once

#include <set>

#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/gc_ref.h"

// Every live TestNode is in this set; its destructor takes it out.
inline std::set<const void*>& LiveNodes() {
    static std::set<const void*> live;
    return live;
}

class TestNode : public Object {
public:
    int id;
    int payload;
    gc_ref<TestNode> a;
    gc_ref<TestNode> b;
    gc_array<TestNode*> kids;

    explicit TestNode(int id_ = 0, int payload_ = 0) : id(id_), payload(payload_) { LiveNodes().insert(this); }
    ~TestNode() override { LiveNodes().erase(this); }
    GC_FIELDS(Object, a, b, kids)
};

inline bool IsLive(const void* object) { return LiveNodes().count(object) != 0; }

// Ends the current cycle twice (so that garbage floating from the first is
// found by the second) and destroys every dead object.
inline void CollectEverything() {
    gc_full_collection();
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
}

inline int ListLength(gc_object* head) {
    int n = 0;
    for (gc_object* o = head->succ; o != head; o = o->succ) ++n;
    return n;
}

inline bool OnList(gc_object* head, const gc_object* object) {
    for (gc_object* o = head->succ; o != head; o = o->succ)
        if (o == object) return true;
    return false;
}

// A collected object of exactly N bytes (the header is 32 bytes on 64 bits).
template <int N>
class Sized : public Object {
public:
    char pad[N - sizeof(Object)];
};
