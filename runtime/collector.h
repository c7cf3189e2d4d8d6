// The object model and the incremental collector.
//
// Every collected block starts with a gc_object header: the vtable pointer,
// `succ`, `pred` and `flags`. `flags` packs the block's whole size (a multiple
// of 8, bits 3..31) with the colour bit (bit 0) and the permanent bit (bit 1).
//
// The lists. Every allocated, not yet destroyed object is on exactly one of
// four circular, doubly linked lists with a static sentinel head:
//   white   - not reached in this cycle, and every newly allocated object;
//   grey    - reached, its children not yet scanned;
//   black   - reached and scanned;
//   garbage - found dead at a sweep, destructor not yet run.
//
// The colours. An object is white when (flags & 3) == mark_bit. Marking flips
// bit 0, so a non-white object is grey or black according to its list. A sweep
// flips mark_bit, which turns every survivor white without touching it. Static
// blocks (the shared empty array blocks) carry flags 3: never white, on no list.
//
// The tri-colour rule: after marking, no black object refers to a white one.
// Stores keep it through the barriers: gc_store queues the stored object,
// gc_store_array marks the stored array block at once (or queues it, when it
// is larger than GC_SLICE_BYTES: see there). Reference fields and
// roots (runtime/gc_ref.h) run them when assigned to.
//
// Every collected object begins with its gc_object header: classes derive
// from gc_object through single inheritance only, so an object's address is
// its block's address (gc_allocate writes the header there, and reference
// fields mark through it without needing the referenced class).
//
// Collection never runs inside an allocation; the host calls gc_collect_step
// after every event it delivers, when no object is held only by a local.
//
// Blocks below 64 bytes live in slabs, whose rules are stated at gc_slab
// below; larger blocks come from the general heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

// Checked builds (debug, or any AddressSanitizer build) keep a census of
// reference fields (runtime/gc_ref.h) and poison destroyed blocks instead of
// recycling them. Every unit linked together must agree: the runtime defines
// only the tag of its own kind, so a unit of the other kind fails to link.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GC_ASAN 1
#endif
#endif
#if !defined(GC_ASAN) && defined(__SANITIZE_ADDRESS__)
#define GC_ASAN 1
#endif
#if !defined(GC_ASAN)
#define GC_ASAN 0
#endif
#if !defined(NDEBUG) || GC_ASAN
#define GC_CHECKED 1
extern const char gc_checked_build;
[[maybe_unused]] __attribute__((used)) static const char* const gc_build_kind = &gc_checked_build;
#else
#define GC_CHECKED 0
extern const char gc_release_build;
[[maybe_unused]] __attribute__((used)) static const char* const gc_build_kind = &gc_release_build;
#endif

class String;

struct gc_object;

// The header gc_allocate wrote for the block it handed out last. `new T()` of
// a class without a user-provided constructor zero-fills the whole object
// before any constructor runs, header included; gc_object's constructor puts
// the header back. Nothing can allocate between the two.
//
// succ and pred are not neighbours here: gc_allocate stores them one by one,
// and a compiler that merged the constructor's two loads into one wide load
// would make it wait for both stores to reach the cache (the store buffer
// cannot forward two stores to one load), a few nanoseconds per allocation.
struct gc_pending_header {
    gc_object* block;
    gc_object* succ;
    int flags;
    gc_object* pred;
};
extern gc_pending_header gc_pending;
// Checked builds: a class whose gc_object part does not start its block.
[[noreturn]] void gc_misplaced_header();

struct gc_object {
    gc_object* succ;
    gc_object* pred;
    int flags;

    gc_object() {
        if (gc_pending.block == this) {
            succ = gc_pending.succ;
            pred = gc_pending.pred;
            flags = gc_pending.flags;
            gc_pending.block = nullptr;
        } else if (GC_CHECKED && gc_pending.block) {
            gc_misplaced_header();
        }
    }
    // Static blocks: permanent, never white, on no list.
    struct static_block_t {};
    explicit gc_object(static_block_t) : succ(nullptr), pred(nullptr), flags(3) {}

    gc_object(const gc_object&) = delete;
    gc_object& operator=(const gc_object&) = delete;

    virtual ~gc_object() {}
    virtual void MarkChildren() {}
    // A block larger than GC_SLICE_BYTES is scanned a slice at a time: marks
    // its children from the from-th on, about GC_SLICE_BYTES of them, and
    // returns where the next slice starts, 0 once all are marked.
    virtual int MarkSlice(int from) {
        (void)from;
        MarkChildren();
        return 0;
    }

    int BlockSize() const { return flags & ~7; }

    static void* operator new(size_t size);
    static void operator delete(void* block);
    // Array blocks are allocated with room for their elements, then built in place.
    static void* operator new(size_t, void* block) { return block; }
    static void operator delete(void*, void*) {}
};

// The root class of every collected object of the framework and the application.
class Object : public gc_object {
public:
    virtual bool IsEqualTo(Object* other);
    // The sign of the address difference: -1, 0 or 1, a total order on objects.
    virtual int CompareWith(Object* other);
    virtual String DebugText();
};

// The one throwable type of the runtime; the host reports it as uncaught.
class ThrowableObject : public Object {};

// 8 MiB: a full cycle after this much new allocation keeps the heap within
// about twice its live size while spreading the marking over many steps.
constexpr int GC_FULL_COLLECTION_BYTES = 8388608;
// No block larger than this is scanned whole, in a step or by a barrier: it
// goes grey, and the steps scan it a slice of this many bytes of references
// at a time (an object array of 100,000 elements in 98 slices), each slice
// counting this much against the step's target besides what it marks.
constexpr int GC_SLICE_BYTES = 8192;
// Blocks below this size live in slabs (below); larger ones come from the
// general heap.
constexpr int GC_SLAB_LIMIT = 64;

// The memory of blocks below 64 bytes. A slab is 16 KiB, aligned to 16 KiB,
// and holds blocks of one size back to back after its header. Each size class
// hands out the free blocks of its current slab lowest address first, so
// allocation order follows address order. New objects join the white list at
// its tail and a sweep moves the white list whole onto the garbage list, so
// list neighbours are mostly memory neighbours: marking and destruction walk
// memory forward instead of jumping about, however long a live set lasts.
//
// The bitmap has one bit per 8-byte granule of the slab. A block is in
// exactly one of three states:
//   in use - on one of the four lists, or held back in checked builds
//            (see gc_quarantine); its bit clear;
//   free   - its bit set;
//   taken  - in its size class's free_bits, to be handed out; its bit clear.
// A slab is in exactly one of four states:
//   current  - the one its size class hands out from, bitmap word by word
//              upwards from its cursor; a release only sets a bit;
//   listed   - on its class's list of slabs to hand out from next, oldest
//              first; a slab joins it once a quarter of its blocks are free;
//   unlisted - in use, with fewer free than that;
//   empty    - no block in use: in the pool every class takes slabs from.
// free_count is the number of set bits; a release that brings it to
// relist_at moves the slab on (unlisted to listed, listed to empty).
//
// 16 KiB: a slab change (and the jump in memory that comes with it) every few
// hundred allocations of one size; four times smaller cost about 8 % more
// per allocation under a lasting live set, four times larger gained nothing.
constexpr int GC_SLAB_BYTES = 16384;
constexpr int GC_WORD_SPAN = 64 * 8;  // the bytes one bitmap word covers
constexpr int GC_SLAB_WORDS = GC_SLAB_BYTES / GC_WORD_SPAN;
struct gc_slab {
    gc_slab* next;       // on the class's list or in the pool
    gc_slab* prev;
    int block_size;      // 0 while empty
    int blocks;          // how many fit
    int free_count;
    int relist_at;
    int cursor;          // the next bitmap word to take while current
    bool listed;
    uint64_t free[GC_SLAB_WORDS];
};
// The header rounded up to whole cache lines: blocks of 32 bytes do not
// straddle a line.
constexpr int GC_SLAB_FIRST_BLOCK = (sizeof(gc_slab) + 63) & ~63;

inline gc_slab* gc_slab_of(const void* block) {
    return reinterpret_cast<gc_slab*>(reinterpret_cast<uintptr_t>(block) & ~uintptr_t(GC_SLAB_BYTES - 1));
}

// One size class: the bitmap word taken from its current slab, which the
// inline allocation hands out lowest bit first.
struct gc_size_class {
    uint64_t free_bits;   // bit i: the block at word_base + 8 i
    char* word_base;
    gc_slab* slab;        // current, or null before the first allocation
};

// While a visitor is installed, gc_enqueue and gc_mark_now report the objects
// they are given instead of marking them (used by the heap checker and tests to
// enumerate an object's children through its MarkChildren).
using gc_visitor = void (*)(gc_object* child, void* context);

// Collector state, one instance for the process. Counters are signed 32-bit.
struct gc_state {
    gc_object white, grey, black, garbage;   // sentinel heads
    gc_size_class classes[GC_SLAB_LIMIT / 8];  // sizes 8..56 by size / 8
    int new_bytes;
    int allocated_bytes;
    int marked_bytes;
    int garbage_bytes;
    int mark_bit;
    // Where the next slice of the grey queue's head starts while that head is
    // a block scanned in slices; 0 otherwise.
    int slice_from;
    gc_visitor visitor;
    void* visitor_context;
};
extern gc_state gc_heap_state;
inline gc_state& gc_heap() { return gc_heap_state; }
int gc_external_new_bytes();

void gc_destroy_garbage(int size);
// A block the inline allocation could not hand out: from a slab after taking
// a new bitmap word (and, in sanitizer builds, unpoisoning it), or from the
// general heap.
gc_object* gc_heap_block(int size);
// Gives a block back to its slab or to the general heap.
void gc_free_block(gc_object* block, int size);
// A release that brought a slab's free_count to its relist_at.
void gc_slab_restate(gc_slab* slab);
// The memory reserved for slabs, in use or not, in bytes.
size_t gc_slab_memory();
// Checked builds: a destroyed block is poisoned and held back instead of
// being recycled, so that a use after collection touches poisoned memory.
void gc_quarantine(gc_object* block, int size);

inline void gc_slab_release(gc_object* block) {
    gc_slab* slab = gc_slab_of(block);
    unsigned granule = static_cast<unsigned>(reinterpret_cast<uintptr_t>(block) & (GC_SLAB_BYTES - 1)) / 8;
    slab->free[granule / 64] |= uint64_t(1) << (granule % 64);
    if (++slab->free_count >= slab->relist_at) gc_slab_restate(slab);
}

// Gives a destroyed object's memory back. Inline because every destruction
// ends here.
__attribute__((no_sanitize("vptr"))) inline void gc_release(gc_object* block) {
    gc_state& heap = gc_heap_state;
    int size = block->flags & ~7;
    heap.garbage_bytes -= size;
    if (GC_CHECKED) {
        gc_quarantine(block, size);
    } else if (size < GC_SLAB_LIMIT) {
        gc_slab_release(block);
    } else {
        gc_free_block(block, size);
    }
}
inline void gc_object::operator delete(void* block) { gc_release(static_cast<gc_object*>(block)); }

// Allocation sits on every object creation, so its common path is inline: the
// garbage check, the lowest bit of the class's word, the link at the tail of
// the white list. Sanitizer builds take every block out of line, where it is
// unpoisoned. The block is raw memory until its constructor runs, so the
// sanitizer's dynamic type check cannot apply to its header stores in any
// unit it is inlined into.
__attribute__((no_sanitize("vptr"))) inline void* gc_allocate(size_t requested) {
    gc_state& heap = gc_heap_state;
    int size = static_cast<int>((requested + 7) & ~size_t(7));
    heap.new_bytes += size;
    if (heap.garbage_bytes > 0) gc_destroy_garbage(size);
    gc_object* block;
    uint64_t bits;
    if (!GC_ASAN && size < GC_SLAB_LIMIT && (bits = heap.classes[size >> 3].free_bits) != 0) {
        gc_size_class& c = heap.classes[size >> 3];
        block = reinterpret_cast<gc_object*>(c.word_base + 8 * __builtin_ctzll(bits));
        c.free_bits = bits & (bits - 1);
    } else {
        block = gc_heap_block(size);
    }
    block->flags = size | heap.mark_bit;
    // Appended at the tail of the white list: the new object is white.
    gc_object* tail = heap.white.pred;
    block->pred = tail;
    block->succ = &heap.white;
    tail->succ = block;
    heap.white.pred = block;
    heap.allocated_bytes += size;
    gc_pending = {block, block->succ, block->flags, block->pred};
    return block;
}
inline bool gc_is_white(const gc_object* o) { return (o->flags & 3) == gc_heap_state.mark_bit; }

// Grey marking. Most objects that a store or a scan meets are reached
// already, so the test for white is inline; only a white object (or any,
// while a visitor is installed) goes on to gc_take_grey.
void gc_take_grey(gc_object* object);
inline void gc_enqueue(gc_object* object) {
    if (object && (gc_heap_state.visitor || gc_is_white(object))) gc_take_grey(object);
}
void gc_mark_now(gc_object* object);
void gc_mark_some(int target);
void gc_sweep();
void gc_full_collection();
void gc_collect_step();
void gc_add_external_bytes(int bytes);
// The incremental step's marking target: new + new x (allocated - new) / 8 MiB,
// the product and quotient in 64 bits, the sum wrapped to 32 bits.
int gc_step_target(int new_bytes, int allocated_bytes);

// Makes the four lists empty; the program main calls it before any allocation.
void gc_init_lists();

// Queues every registered root (see gc_root in runtime/gc_ref.h).
void gc_queue_roots();


template <class T>
inline void gc_mark_elements(int count, T* const* elements) {
    for (int i = 0; i < count; ++i)
        if (elements[i]) gc_mark_now(elements[i]);
}

// The write barrier for object references: every store of an object reference
// into a field, a global or an element of an object array goes through it.
template <class T, class U>
inline void gc_store(T*& slot, U* object) {
    gc_enqueue(object);
    slot = object;
}
template <class T>
inline void gc_store(T*& slot, std::nullptr_t) { slot = nullptr; }

// Is this address an object on one of the collector's lists? Used to accept
// only live objects where an address comes from outside (the debugger prompt).
gc_object* gc_find_object(uintptr_t address);

// The heap checker: walks the four lists and checks links, colours, list
// membership, the byte counters and the tri-colour rule. Returns an empty
// text when all is well, else the first fault found.
const char* gc_check_heap();

// Installs or (with null) removes the visitor of gc_state.
void gc_set_visitor(gc_visitor visitor, void* context);
