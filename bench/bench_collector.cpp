// Collector benchmark, all figures from one run:
//  1. small collected objects through gc_allocate, with a collection step every
//     64 allocations (an "event"), against new/delete of the same sizes;
//  2. with about 8 MiB of small objects live: a full collection, and the
//     longest incremental step while another 8 MiB is allocated in events.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "runtime/collector.h"
#include "runtime/gc_ref.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

template <int N>
struct Collected : Object {
    char pad[N - sizeof(Object)];
};
// The same size on the general heap, with a virtual destructor like the real thing.
template <int N>
struct Plain {
    virtual ~Plain() {}
    char pad[N - sizeof(void*)];
};

volatile uintptr_t sink;

template <int N>
double CollectedNsPerObject(int count) {
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        sink = reinterpret_cast<uintptr_t>(new Collected<N>());
        if ((i & 63) == 63) gc_collect_step();
    }
    return Seconds(start, Clock::now()) * 1e9 / count;
}

template <int N>
double PlainNsPerObject(int count) {
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        Plain<N>* p = new Plain<N>();
        sink = reinterpret_cast<uintptr_t>(p);
        delete p;
    }
    return Seconds(start, Clock::now()) * 1e9 / count;
}

// new/delete where each object lives while 4,096 younger ones are made, as
// collected objects do until the collector finds them dead.
template <int N>
double DelayedPlainNsPerObject(int count) {
    static Plain<N>* ring[4096] = {};
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        Plain<N>*& slot = ring[i & 4095];
        delete slot;
        slot = new Plain<N>();
        sink = reinterpret_cast<uintptr_t>(slot);
    }
    return Seconds(start, Clock::now()) * 1e9 / count;
}

template <int N>
void CompareAllocation() {
    const int count = 4000000;
    CollectedNsPerObject<N>(count / 4);  // warm the caches and the garbage cycle
    PlainNsPerObject<N>(count / 4);
    std::vector<double> gc, plain, delayed;
    for (int r = 0; r < 5; ++r) {
        gc.push_back(CollectedNsPerObject<N>(count));
        plain.push_back(PlainNsPerObject<N>(count));
        delayed.push_back(DelayedPlainNsPerObject<N>(count));
    }
    std::sort(gc.begin(), gc.end());
    std::sort(plain.begin(), plain.end());
    std::sort(delayed.begin(), delayed.end());
    std::printf("%4d bytes: gc_allocate %6.2f ns, new+delete at once %6.2f ns (ratio %.2f), "
                "delete 4096 objects later %6.2f ns (ratio %.2f)\n",
                N, gc[2], plain[2], gc[2] / plain[2], delayed[2], gc[2] / delayed[2]);
}

struct Link : Object {
    gc_ref<Link> next;
    int payload[4] = {};
    GC_FIELDS(Object, next)
};
gc_root<Link> live_head;

}  // namespace

int main() {
    std::printf("Allocation, median of 5 runs of 4,000,000 objects\n");
    CompareAllocation<32>();
    CompareAllocation<40>();
    CompareAllocation<56>();
    CompareAllocation<64>();
    CompareAllocation<128>();

    gc_full_collection();
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    // About 8 MiB of 56-byte objects in one chain.
    const int live_objects = (8 << 20) / 56;
    for (int i = 0; i < live_objects; ++i) {
        Link* l = new Link();
        l->next = live_head;
        live_head = l;
    }
    std::printf("\n%d objects of %zu bytes live (%.1f MiB)\n", live_objects, sizeof(Link),
                live_objects * 56.0 / (1 << 20));
    // End the cycle that built the live set through the step rule itself, so
    // that the measured run starts with new_bytes at 0.
    for (int bit = gc_heap().mark_bit; gc_heap().mark_bit == bit;) gc_collect_step();
    std::vector<double> fulls;
    for (int r = 0; r < 5; ++r) {
        auto a = Clock::now();
        gc_full_collection();
        fulls.push_back(Seconds(a, Clock::now()));
    }
    std::sort(fulls.begin(), fulls.end());
    std::printf("full collection: %.2f ms (median of 5)\n", fulls[2] * 1e3);

    // Events of 1 KiB of short-lived allocation, one step after each, until
    // the next full collection.
    double longest = 0, total = 0;
    int steps = 0;
    int bit = gc_heap().mark_bit;
    while (gc_heap().mark_bit == bit) {
        for (int i = 0; i < 1024 / 32; ++i) sink = reinterpret_cast<uintptr_t>(new Collected<32>());
        auto a = Clock::now();
        gc_collect_step();
        double t = Seconds(a, Clock::now());
        total += t;
        ++steps;
        if (gc_heap().mark_bit == bit) longest = std::max(longest, t);
    }
    std::printf("incremental steps: %d, longest %.3f ms (%.1f%% of a full collection), all steps %.2f ms\n", steps,
                longest * 1e3, 100 * longest / fulls[2], total * 1e3);
    const char* fault = gc_check_heap();
    std::printf("heap check: %s\n", *fault ? fault : "clean");
    return *fault ? 1 : 0;
}
