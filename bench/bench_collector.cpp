// Collector benchmark, all figures from one run:
//  1. small collected objects through gc_allocate, with a collection step every
//     64 allocations (an "event"), against new/delete of the same sizes;
//  2. churn under a lasting live set: pairs of a 32-byte leaf and a 48-byte
//     holder, each holder stored into a ring of 50,000 slots, one step every
//     1,000 allocations, against malloc/free of the same blocks; the first and
//     the last million allocations apart, and each step timed;
//  3. with about 8 MiB of small objects live: a full collection, and the
//     longest incremental step while another 8 MiB is allocated in events.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

// The churn: the last 50,000 pairs stay reachable through the ring, every
// older one dies. Steps are timed one by one.
constexpr int kChurnAllocations = 10000000;
constexpr int kChurnRing = 50000;
constexpr int kChurnStepEvery = 1000;
constexpr int kChurnMillion = 1000000;

struct Leaf : Object {};
struct Holder : Object {
    gc_ref<Leaf> leaf;
    int64_t payload = 0;
    GC_FIELDS(Object, leaf)
};
static_assert(sizeof(Leaf) == 32 && sizeof(Holder) == 48, "the churn's blocks are 32 and 48 bytes");
gc_root<Array<Holder*>> ring;

struct PlainLeaf {
    char bytes[32];
};
struct PlainHolder {
    PlainLeaf* leaf;
    char bytes[40];
};

struct Churn {
    double first_ns = 0, last_ns = 0, all_ns = 0;  // per allocation, steps included
    double all_cpu_ns = 0;                          // the same in this thread's CPU time
    double longest_ms = 0, p99_ms = 0;              // steps, wall clock
    double longest_cpu_ms = 0, p99_cpu_ms = 0;      // steps, this thread's CPU time
};

// On a machine shared with other work a step's wall-clock time includes
// whatever ran while it was preempted; its thread CPU time does not. Reading
// the CPU clock costs about 0.2 us, a few percent of a run when read around
// every step, so only a round of its own does that.
double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Times the whole run and its first and last million allocations.
struct ChurnClock {
    double cpu_start = ThreadSeconds();
    Clock::time_point start = Clock::now(), first_end, last_start;
    void Passed(int allocations) {
        if (allocations == kChurnMillion) first_end = Clock::now();
        if (allocations == kChurnAllocations - kChurnMillion) last_start = Clock::now();
    }
    void Finish(Churn& c) {
        auto end = Clock::now();
        c.all_cpu_ns = (ThreadSeconds() - cpu_start) * 1e9 / kChurnAllocations;
        c.first_ns = Seconds(start, first_end) * 1e9 / kChurnMillion;
        c.last_ns = Seconds(last_start, end) * 1e9 / kChurnMillion;
        c.all_ns = Seconds(start, end) * 1e9 / kChurnAllocations;
    }
};

Churn PlainChurn() {
    std::vector<PlainHolder*> slots(kChurnRing, nullptr);
    Churn c;
    ChurnClock clock;
    for (int pair = 0, allocations = 0; allocations < kChurnAllocations; ++pair) {
        // Zero-filled like a value-initialised collected object.
        PlainLeaf* leaf = static_cast<PlainLeaf*>(std::malloc(sizeof(PlainLeaf)));
        std::memset(leaf, 0, sizeof(PlainLeaf));
        clock.Passed(++allocations);
        PlainHolder* holder = static_cast<PlainHolder*>(std::malloc(sizeof(PlainHolder)));
        std::memset(holder, 0, sizeof(PlainHolder));
        holder->leaf = leaf;
        PlainHolder*& slot = slots[pair % kChurnRing];
        if (slot) {
            std::free(slot->leaf);
            std::free(slot);
        }
        slot = holder;
        clock.Passed(++allocations);
    }
    clock.Finish(c);
    for (PlainHolder* h : slots) {
        std::free(h->leaf);
        std::free(h);
    }
    return c;
}

// With step_cpu, each step is timed in CPU time as well.
Churn CollectedChurn(bool step_cpu) {
    ring = Array<Holder*>(kChurnRing);
    std::vector<double> steps, cpu_steps;
    steps.reserve(kChurnAllocations / kChurnStepEvery);
    cpu_steps.reserve(kChurnAllocations / kChurnStepEvery);
    Churn c;
    ChurnClock clock;
    auto allocated = [&](int allocations) {
        clock.Passed(allocations);
        if (allocations % kChurnStepEvery == 0) {
            double cpu = step_cpu ? ThreadSeconds() : 0;
            auto a = Clock::now();
            gc_collect_step();
            steps.push_back(Seconds(a, Clock::now()));
            if (step_cpu) cpu_steps.push_back(ThreadSeconds() - cpu);
        }
    };
    for (int pair = 0, allocations = 0; allocations < kChurnAllocations; ++pair) {
        Leaf* leaf = new Leaf();
        allocated(++allocations);
        Holder* holder = new Holder();
        holder->leaf = leaf;
        ring[pair % kChurnRing] = holder;
        allocated(++allocations);
    }
    clock.Finish(c);
    std::sort(steps.begin(), steps.end());
    c.longest_ms = steps.back() * 1e3;
    c.p99_ms = steps[steps.size() * 99 / 100] * 1e3;
    if (step_cpu) {
        std::sort(cpu_steps.begin(), cpu_steps.end());
        c.longest_cpu_ms = cpu_steps.back() * 1e3;
        c.p99_cpu_ms = cpu_steps[cpu_steps.size() * 99 / 100] * 1e3;
    }
    ring = Array<Holder*>();
    return c;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Rounds of malloc/free and of the collector alternate, so that other work on
// the machine weighs on both alike; the summary takes the median round. A
// last round of the collector times its steps in CPU time too.
void CompareChurn() {
    std::printf("\nChurn: %d allocations of 32- and 48-byte pairs, the last %d pairs live, "
                "a step every %d allocations; 3 rounds of each, alternating\n",
                kChurnAllocations, kChurnRing, kChurnStepEvery);
    std::vector<double> ratio, cpu_ratio, longest, p99;
    for (int round = 0; round < 3; ++round) {
        Churn plain = PlainChurn();
        Churn gc = CollectedChurn(false);
        std::printf("malloc+free: %6.2f ns per allocation (first million %6.2f, last million %6.2f), CPU %6.2f ns\n",
                    plain.all_ns, plain.first_ns, plain.last_ns, plain.all_cpu_ns);
        std::printf("collector:   %6.2f ns per allocation (first million %6.2f, last million %6.2f), CPU %6.2f ns; "
                    "steps longest %.3f ms, 99th percentile %.3f ms\n",
                    gc.all_ns, gc.first_ns, gc.last_ns, gc.all_cpu_ns, gc.longest_ms, gc.p99_ms);
        ratio.push_back(gc.all_ns / plain.all_ns);
        cpu_ratio.push_back(gc.all_cpu_ns / plain.all_cpu_ns);
        longest.push_back(gc.longest_ms);
        p99.push_back(gc.p99_ms);
    }
    std::printf("median round: ratio to malloc+free %.2f (CPU time %.2f); longest step %.3f ms, "
                "99th percentile %.3f ms\n",
                Median(ratio), Median(cpu_ratio), Median(longest), Median(p99));
    Churn timed = CollectedChurn(true);
    std::printf("steps in CPU time: longest %.3f ms, 99th percentile %.3f ms (wall clock %.3f and %.3f ms)\n",
                timed.longest_cpu_ms, timed.p99_cpu_ms, timed.longest_ms, timed.p99_ms);
}

// Ends the current cycle through the step rule itself, with short-lived
// events of 1 KiB, so that a measured run starts with new_bytes at 0.
void EndCycleByStepRule() {
    for (int bit = gc_heap().mark_bit; gc_heap().mark_bit == bit;) {
        for (int i = 0; i < 1024 / 32; ++i) sink = reinterpret_cast<uintptr_t>(new Collected<32>());
        gc_collect_step();
    }
}

// The median of 5 full collections of what is live now, in seconds, after
// the current cycle has ended through the step rule.
double MedianFullCollection() {
    EndCycleByStepRule();
    std::vector<double> fulls;
    for (int r = 0; r < 5; ++r) {
        auto a = Clock::now();
        gc_full_collection();
        fulls.push_back(Seconds(a, Clock::now()));
    }
    return Median(fulls);
}

// About 8 MiB live in 196,596 small objects: leaf and holder pairs in one ring.
void FullCollectionOfPairs() {
    const int pairs = 98298;
    ring = Array<Holder*>(pairs);
    for (int i = 0; i < pairs; ++i) {
        Holder* holder = new Holder();
        holder->leaf = new Leaf();
        ring[i] = holder;
    }
    double full = MedianFullCollection();
    std::printf("\n%d pairs live (%d objects, %.1f MiB with the ring): full collection %.2f ms (median of 5)\n",
                pairs, 2 * pairs, (pairs * 80.0 + ring.Rep()->BlockSize()) / (1 << 20), full * 1e3);
    ring = Array<Holder*>();
}

}  // namespace

// `bench_collector live` skips the allocation comparison (section 1).
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc < 2 || std::strcmp(argv[1], "live") != 0) {
        std::printf("Allocation, median of 5 runs of 4,000,000 objects\n");
        CompareAllocation<32>();
        CompareAllocation<40>();
        CompareAllocation<56>();
        CompareAllocation<64>();
        CompareAllocation<128>();
    }

    CompareChurn();
    FullCollectionOfPairs();

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
    double full = MedianFullCollection();
    std::printf("full collection: %.2f ms (median of 5)\n", full * 1e3);

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
                longest * 1e3, 100 * longest / full, total * 1e3);
    const char* fault = gc_check_heap();
    std::printf("heap check: %s\n", *fault ? fault : "clean");
    return *fault ? 1 : 0;
}
