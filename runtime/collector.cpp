#include "runtime/collector.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#if GC_ASAN
#include <sanitizer/asan_interface.h>
#endif

#include "runtime/gc_ref.h"
#include "runtime/string.h"

#if GC_CHECKED
const char gc_checked_build = 1;
#else
const char gc_release_build = 1;
#endif

gc_pending_header gc_pending = {nullptr, nullptr, 0, nullptr};
gc_state gc_heap_state;

namespace {

gc_state& heap = gc_heap_state;
std::atomic<int> external_new_bytes{0};

struct HeapStart {
    HeapStart() {
        heap.mark_bit = 1;
        gc_init_lists();
    }
} heap_start;

inline void make_empty(gc_object* head) {
    head->succ = head;
    head->pred = head;
}

inline void unlink(gc_object* o) {
    o->pred->succ = o->succ;
    o->succ->pred = o->pred;
}

inline void append(gc_object* head, gc_object* o) {
    o->pred = head->pred;
    o->succ = head;
    head->pred->succ = o;
    head->pred = o;
}

inline int block_size(const gc_object* o) { return o->flags & ~7; }

// Appends the whole chain of `from` at the tail of `to` and empties `from`.
void splice_all(gc_object* from, gc_object* to) {
    if (from->succ == from) return;
    gc_object* first = from->succ;
    gc_object* last = from->pred;
    first->pred = to->pred;
    to->pred->succ = first;
    last->succ = to;
    to->pred = last;
    make_empty(from);
}

}  // namespace


int gc_external_new_bytes() { return external_new_bytes.load(); }

void gc_init_lists() {
    make_empty(&heap.white);
    make_empty(&heap.grey);
    make_empty(&heap.black);
    make_empty(&heap.garbage);
}

namespace {

// Slabs are carved from chunks of 1 MiB, and a chunk is never given back:
// the memory for small blocks stays at the most the program needed at once.
// The chunks come from the general heap and stay reachable from here, so the
// leak checker scans the objects in them.
//
// Chunks do not ask for huge pages. That saved about 3 % per allocation under
// a lasting live set, but the kernel may compact memory to find a huge page
// when one is first touched, which stalled single allocations by milliseconds
// while the heap grew.
constexpr size_t CHUNK_BYTES = size_t(1) << 20;
std::vector<char*>& chunks() {
    static std::vector<char*>* all = new std::vector<char*>();
    return *all;
}
char* unused_start = nullptr;  // the uncarved rest of the last chunk
char* unused_end = nullptr;

// The listed slabs of each class, oldest first, and the empty slabs.
struct SlabList {
    gc_slab* first = nullptr;
    gc_slab* last = nullptr;
};
SlabList listed[GC_SLAB_LIMIT / 8];
gc_slab* pool = nullptr;  // linked through next

void unlist(SlabList& list, gc_slab* slab) {
    (slab->prev ? slab->prev->next : list.first) = slab->next;
    (slab->next ? slab->next->prev : list.last) = slab->prev;
    slab->listed = false;
}

void to_pool(gc_slab* slab) {
    slab->block_size = 0;
    slab->relist_at = INT_MAX;
    slab->next = pool;
    pool = slab;
}

gc_slab* carve_slab() {
    if (unused_start == unused_end) {
        unused_start = static_cast<char*>(std::aligned_alloc(GC_SLAB_BYTES, CHUNK_BYTES));
        // Out of memory: nothing sensible can go on.
        if (!unused_start) std::abort();
        unused_end = unused_start + CHUNK_BYTES;
        chunks().push_back(unused_start);
#if GC_ASAN
        // Free blocks are poisoned; the slab headers never are.
        for (char* slab = unused_start; slab != unused_end; slab += GC_SLAB_BYTES)
            ASAN_POISON_MEMORY_REGION(slab + GC_SLAB_FIRST_BLOCK, GC_SLAB_BYTES - GC_SLAB_FIRST_BLOCK);
#endif
    }
    gc_slab* slab = reinterpret_cast<gc_slab*>(unused_start);
    unused_start += GC_SLAB_BYTES;
    return slab;
}

// The bitmap of a slab with every block of one size free, by size / 8: a
// slab made over to a size copies it.
struct FreePattern {
    uint64_t free[GC_SLAB_WORDS] = {};
};
constexpr std::array<FreePattern, GC_SLAB_LIMIT / 8> make_free_patterns() {
    std::array<FreePattern, GC_SLAB_LIMIT / 8> patterns{};
    for (int size = 8; size < GC_SLAB_LIMIT; size += 8)
        for (int offset = GC_SLAB_FIRST_BLOCK; offset + size <= GC_SLAB_BYTES; offset += size)
            patterns[size / 8].free[offset / GC_WORD_SPAN] |= uint64_t(1) << (offset / 8 % 64);
    return patterns;
}
constexpr std::array<FreePattern, GC_SLAB_LIMIT / 8> free_patterns = make_free_patterns();

// The slab a class hands out from next: its oldest listed one, else an empty
// one made over to its size, else a new one.
gc_slab* next_slab(int size) {
    SlabList& list = listed[size >> 3];
    gc_slab* slab = list.first;
    if (slab) {
        unlist(list, slab);
    } else {
        if (pool) {
            slab = pool;
            pool = pool->next;
        } else {
            slab = carve_slab();
        }
        slab->block_size = size;
        slab->blocks = (GC_SLAB_BYTES - GC_SLAB_FIRST_BLOCK) / size;
        slab->free_count = slab->blocks;
        slab->listed = false;
        std::memcpy(slab->free, free_patterns[size / 8].free, sizeof slab->free);
    }
    slab->cursor = 0;
    slab->relist_at = INT_MAX;
    return slab;
}

// Takes the next non-empty bitmap word of the class's current slab, moving to
// the next slab when the current one has none left above its cursor.
void refill(gc_size_class& c, int size) {
    for (;;) {
        if (gc_slab* slab = c.slab) {
            while (slab->cursor < GC_SLAB_WORDS) {
                int word = slab->cursor++;
                if (uint64_t bits = slab->free[word]) {
                    slab->free[word] = 0;
                    slab->free_count -= __builtin_popcountll(bits);
                    c.free_bits = bits;
                    c.word_base = reinterpret_cast<char*>(slab) + word * GC_WORD_SPAN;
                    // The blocks after these are handed out next: fetching
                    // them now, for writing, hides the misses of memory
                    // freed long ago.
                    if (word + 1 < GC_SLAB_WORDS)
                        for (int line = 0; line < GC_WORD_SPAN; line += 64)
                            __builtin_prefetch(c.word_base + GC_WORD_SPAN + line, 1);
                    return;
                }
            }
            // The slab stops being current: releases may have freed blocks
            // below its cursor, enough to list it or to empty it.
            slab->relist_at = std::max(1, slab->blocks / 4);
            if (slab->free_count >= slab->relist_at) gc_slab_restate(slab);
        }
        c.slab = next_slab(size);
    }
}

}  // namespace

void* gc_object::operator new(size_t size) { return gc_allocate(size); }

gc_object* gc_heap_block(int size) {
    if (size >= GC_SLAB_LIMIT) {
        gc_object* block = static_cast<gc_object*>(std::malloc(size));
        // Out of memory: nothing sensible can go on.
        if (!block) std::abort();
        return block;
    }
    gc_size_class& c = heap.classes[size >> 3];
    if (!c.free_bits) refill(c, size);
    gc_object* block = reinterpret_cast<gc_object*>(c.word_base + 8 * __builtin_ctzll(c.free_bits));
    c.free_bits &= c.free_bits - 1;
#if GC_ASAN
    ASAN_UNPOISON_MEMORY_REGION(block, size);
#endif
    return block;
}

size_t gc_slab_memory() { return chunks().size() * CHUNK_BYTES; }

void gc_slab_restate(gc_slab* slab) {
    SlabList& list = listed[slab->block_size >> 3];
    if (slab->free_count == slab->blocks) {
        if (slab->listed) unlist(list, slab);
        to_pool(slab);
    } else if (!slab->listed) {
        slab->listed = true;
        slab->next = nullptr;
        slab->prev = list.last;
        (list.last ? list.last->next : list.first) = slab;
        list.last = slab;
        slab->relist_at = slab->blocks;
    }
}

void gc_free_block(gc_object* block, int size) {
    if (size < GC_SLAB_LIMIT) {
        gc_slab_release(block);
    } else {
#if GC_ASAN
        ASAN_UNPOISON_MEMORY_REGION(block, size);
#endif
        std::free(block);
    }
}

void gc_misplaced_header() {
    std::fputs("A collected class does not start with its gc_object header: derive it from Object alone.\n", stderr);
    std::abort();
}

namespace {

// Checked builds hold destroyed blocks back, oldest first, until they add up
// to more than this; only then does the oldest go back to the heap. 64 MiB:
// several times what the whole test suite collects, while a long debug
// session (or a fuzzer under its memory limit) stays bounded.
constexpr size_t QUARANTINE_BYTES = size_t(64) << 20;
#if !GC_ASAN
// What a dead block is filled with where the sanitizer cannot poison it: read
// as a vtable pointer or an object reference it faults at once.
constexpr int DEAD_FILL = 0xdb;
#endif

struct Quarantine {
    std::deque<std::pair<gc_object*, int>> blocks;
    size_t bytes = 0;
};
// Never destroyed: the blocks stay reachable until the process ends, like
// those on the lists, so the leak checker does not report them.
Quarantine& quarantine() {
    static Quarantine* q = new Quarantine();
    return *q;
}

}  // namespace

void gc_quarantine(gc_object* block, int size) {
#if GC_ASAN
    ASAN_POISON_MEMORY_REGION(block, size);
#else
    std::memset(static_cast<void*>(block), DEAD_FILL, static_cast<size_t>(size));
#endif
    Quarantine& q = quarantine();
    q.blocks.emplace_back(block, size);
    q.bytes += static_cast<size_t>(size);
    while (q.bytes > QUARANTINE_BYTES) {
        auto [oldest, oldest_size] = q.blocks.front();
        q.blocks.pop_front();
        q.bytes -= static_cast<size_t>(oldest_size);
        gc_free_block(oldest, oldest_size);
    }
}

void gc_destroy_garbage(int size) {
    int target = heap.garbage_bytes - size;
    if (target < 0) target = 0;
    while (heap.garbage_bytes > target && heap.garbage.succ != &heap.garbage) {
        gc_object* o = heap.garbage.succ;
        // The garbage list runs through memory allocated long ago; fetching the
        // next victims now hides the cache misses behind this destruction.
        __builtin_prefetch(o->succ->succ);
        // Dead objects lie in address order within their slabs: the memory
        // ahead is what the next destructions read.
        __builtin_prefetch(reinterpret_cast<char*>(o) + GC_WORD_SPAN);
        unlink(o);
        delete o;  // runs the destructor chain, then gc_release
    }
}

namespace {

// The common start of both markings: null and non-white objects are left
// alone; a white one flips its colour bit and leaves its list. While a visitor
// is installed the object is only reported.
bool TakeWhite(gc_object* o) {
    if (!o) return false;
    if (heap.visitor) {
        heap.visitor(o, heap.visitor_context);
        return false;
    }
    if (!gc_is_white(o)) return false;
    o->flags ^= 1;
    unlink(o);
    return true;
}

// Appends a taken object to the black list and scans it.
void Blacken(gc_object* o) {
    append(&heap.black, o);
    heap.marked_bytes += block_size(o);
    o->MarkChildren();
}

}  // namespace

void gc_take_grey(gc_object* o) {
    if (TakeWhite(o)) append(&heap.grey, o);
}

void gc_mark_now(gc_object* o) {
    if (!TakeWhite(o)) return;
    if (block_size(o) > GC_SLICE_BYTES) append(&heap.grey, o);
    else Blacken(o);
}

void gc_mark_some(int target) {
    int64_t sliced = 0;
    while (heap.marked_bytes + sliced < target && heap.grey.succ != &heap.grey) {
        gc_object* o = heap.grey.succ;
        __builtin_prefetch(reinterpret_cast<char*>(o) + GC_WORD_SPAN);
        if (block_size(o) <= GC_SLICE_BYTES) {
            unlink(o);
            Blacken(o);
            continue;
        }
        // It stays at the head of the queue until its last slice; whatever
        // the slices queue goes behind it.
        heap.slice_from = o->MarkSlice(heap.slice_from);
        sliced += GC_SLICE_BYTES;
        if (heap.slice_from != 0) continue;
        unlink(o);
        append(&heap.black, o);
        heap.marked_bytes += block_size(o);
    }
}

void gc_sweep() {
    int reclaimed = heap.allocated_bytes - heap.marked_bytes;
    if (reclaimed != 0) {
        splice_all(&heap.white, &heap.garbage);
        heap.garbage_bytes += reclaimed;
    }
    // The survivors (black) become the white list of the next cycle.
    make_empty(&heap.white);
    splice_all(&heap.black, &heap.white);
    heap.mark_bit ^= 1;
    heap.allocated_bytes = heap.marked_bytes;
    heap.marked_bytes = 0;
}

void gc_full_collection() {
    gc_mark_some(2147483647);
    gc_sweep();
    gc_queue_roots();
}

void gc_collect_step() {
    int external = external_new_bytes.load();
    // The sum is taken in 64 bits: two large counters must not wrap into a
    // negative total that would postpone the full collection forever.
    if (static_cast<int64_t>(heap.new_bytes) + external > GC_FULL_COLLECTION_BYTES) {
        external_new_bytes.fetch_sub(external);
        gc_full_collection();
        heap.new_bytes = 0;
    } else {
        gc_mark_some(gc_step_target(heap.new_bytes, heap.allocated_bytes));
    }
}

int gc_step_target(int new_bytes, int allocated_bytes) {
    int64_t share = static_cast<int64_t>(new_bytes) * (static_cast<int64_t>(allocated_bytes) - new_bytes) /
                    GC_FULL_COLLECTION_BYTES;
    return static_cast<int>(static_cast<uint32_t>(new_bytes) + static_cast<uint32_t>(share));
}

void gc_add_external_bytes(int bytes) { external_new_bytes.fetch_add(bytes); }

namespace {
// The registered roots, linked through the roots themselves; constant
// initialised, so roots constructed during static initialisation in any order
// find it ready.
gc_root_base* first_root = nullptr;
}  // namespace

gc_root_base::gc_root_base() : next_(first_root), prev_(nullptr) {
    if (first_root) first_root->prev_ = this;
    first_root = this;
}

gc_root_base::~gc_root_base() {
    if (prev_) prev_->next_ = next_;
    else first_root = next_;
    if (next_) next_->prev_ = prev_;
}

void gc_queue_roots() {
    for (gc_root_base* r = first_root; r; r = r->next_) r->Mark();
}

void gc_set_visitor(gc_visitor v, void* context) {
    heap.visitor = v;
    heap.visitor_context = context;
}

gc_object* gc_find_object(uintptr_t address) {
    if (address == 0) return nullptr;
    for (gc_object* head : {&heap.white, &heap.grey, &heap.black, &heap.garbage}) {
        for (gc_object* o = head->succ; o != head; o = o->succ)
            if (reinterpret_cast<uintptr_t>(o) == address) return o;
    }
    return nullptr;
}

#if GC_CHECKED
namespace {

// The census: the address of every live gc_ref and gc_array, ordered so that
// the fields inside one block are one range.
std::set<const void*>& census() {
    static std::set<const void*>* fields = new std::set<const void*>();
    return *fields;
}
// While the heap checker runs one object's MarkChildren: the fields it visited.
std::vector<const void*>* census_visited = nullptr;

}  // namespace

void gc_census_add(const void* field) { census().insert(field); }
void gc_census_remove(const void* field) { census().erase(field); }
void gc_census_visit(const void* field) {
    if (census_visited) census_visited->push_back(field);
}
#endif

namespace {

const char* check_list(gc_object* head, int colour, int* bytes) {
    // colour: 0 white, 1 not white, -1 any
    *bytes = 0;
    gc_object* prev = head;
    for (gc_object* o = head->succ; o != head; o = o->succ) {
        if (o->pred != prev) return "a list link is broken";
        if (o->flags & 6) return "a listed object carries the permanent bit or bit 2";
        int size = block_size(o);
        if (size <= 0) return "a listed object has no size";
        bool white = gc_is_white(o);
        if (colour == 0 && !white) return "an object on the white list is not white";
        if (colour == 1 && white) return "a white object is on the grey queue or the black list";
        *bytes += size;
        prev = o;
    }
    if (head->pred != prev) return "a list's tail link is broken";
    return nullptr;
}

struct ChildCheck {
    bool parent_black = false;
    const char* fault = nullptr;
};

void check_child(gc_object* child, void* context) {
    ChildCheck& check = *static_cast<ChildCheck*>(context);
    if (check.parent_black && gc_is_white(child) && !check.fault) check.fault = "a black object refers to a white one";
}

// Runs the MarkChildren of every object that may break a rule: black objects
// for the tri-colour rule, and in checked builds every object holding census
// fields, each of which its MarkChildren must visit.
const char* check_children() {
    ChildCheck check;
    gc_visitor saved = heap.visitor;
    void* saved_context = heap.visitor_context;
    gc_set_visitor(check_child, &check);
#if GC_CHECKED
    std::vector<const void*> visited;
    census_visited = &visited;
    static std::string unvisited;
#endif
    for (gc_object* head : {&heap.white, &heap.grey, &heap.black}) {
        check.parent_black = head == &heap.black;
        for (gc_object* o = head->succ; o != head && !check.fault; o = o->succ) {
#if GC_CHECKED
            const char* start = reinterpret_cast<const char*>(o);
            auto first = census().lower_bound(start);
            auto end = census().lower_bound(start + block_size(o));
            if (!check.parent_black && first == end) continue;
            visited.clear();
            o->MarkChildren();
            for (auto field = first; field != end && !check.fault; ++field) {
                if (std::find(visited.begin(), visited.end(), *field) != visited.end()) continue;
                unvisited = "a reference field (byte " +
                            std::to_string(static_cast<const char*>(*field) - start) + " of " + typeid(*o).name() +
                            ") is not visited by its object's MarkChildren";
                check.fault = unvisited.c_str();
            }
#else
            if (check.parent_black) o->MarkChildren();
#endif
        }
    }
#if GC_CHECKED
    census_visited = nullptr;
#endif
    gc_set_visitor(saved, saved_context);
    return check.fault;
}

// The slab layout: each slab's free_count and bitmap agree and its bits mark
// block starts; the listed slabs and the pool hold what their state says;
// every listed object below 64 bytes sits at a block start of a slab of its
// size, neither free nor taken; and, where nothing is held back (release
// builds), the blocks in use in each slab are exactly its listed objects.
const char* check_slabs() {
    std::vector<char*> sorted = chunks();
    std::sort(sorted.begin(), sorted.end());
    std::unordered_map<const gc_slab*, int> listed_objects;
    for (gc_object* head : {&heap.white, &heap.grey, &heap.black, &heap.garbage}) {
        for (gc_object* o = head->succ; o != head; o = o->succ) {
            int size = block_size(o);
            if (size >= GC_SLAB_LIMIT) continue;
            char* address = reinterpret_cast<char*>(o);
            auto chunk = std::upper_bound(sorted.begin(), sorted.end(), address);
            if (chunk == sorted.begin() || address >= *--chunk + CHUNK_BYTES) return "a small object lies outside every slab";
            const gc_slab* slab = gc_slab_of(o);
            if (reinterpret_cast<const char*>(slab) >= unused_start && reinterpret_cast<const char*>(slab) < unused_end)
                return "a small object lies in a slab not carved yet";
            if (slab->block_size != size) return "a small object lies in a slab of another size";
            int offset = static_cast<int>(address - reinterpret_cast<const char*>(slab));
            if (offset < GC_SLAB_FIRST_BLOCK || (offset - GC_SLAB_FIRST_BLOCK) % size != 0)
                return "a small object does not start at a block";
            if (slab->free[offset / GC_WORD_SPAN] >> (offset / 8 % 64) & 1) return "a listed object's block is marked free";
            const gc_size_class& c = heap.classes[size >> 3];
            if (address >= c.word_base && address < c.word_base + GC_WORD_SPAN &&
                (c.free_bits >> ((address - c.word_base) / 8) & 1))
                return "a listed object's block is taken for hand-out";
            ++listed_objects[slab];
        }
    }
    for (char* chunk : sorted) {
        for (char* at = chunk; at != chunk + CHUNK_BYTES; at += GC_SLAB_BYTES) {
            if (at >= unused_start && at < unused_end) break;
            const gc_slab* slab = reinterpret_cast<const gc_slab*>(at);
            int bits = 0;
            for (uint64_t word : slab->free) bits += __builtin_popcountll(word);
            if (bits != slab->free_count && slab->block_size) return "a slab's free count disagrees with its bitmap";
            if (!slab->block_size) continue;
            for (int word = 0; word < GC_SLAB_WORDS; ++word)
                if (slab->free[word] & ~free_patterns[slab->block_size / 8].free[word])
                    return "a slab's bitmap marks a free block where no block starts";
            const gc_size_class& c = heap.classes[slab->block_size >> 3];
            int taken = c.slab == slab ? __builtin_popcountll(c.free_bits) : 0;
            int in_use = slab->blocks - slab->free_count - taken;
            auto found = listed_objects.find(slab);
            int on_lists = found == listed_objects.end() ? 0 : found->second;
            if (GC_CHECKED ? in_use < on_lists : in_use != on_lists)
                return "a slab's blocks in use disagree with the objects on the lists";
            if (c.slab != slab && slab->free_count >= slab->relist_at) return "a slab is in the wrong state for its free blocks";
        }
    }
    for (int size = 8; size < GC_SLAB_LIMIT; size += 8) {
        for (const gc_slab* slab = listed[size >> 3].first; slab; slab = slab->next) {
            if (!slab->listed || slab->block_size != size) return "a listed slab is not marked listed or has another size";
            if (slab == heap.classes[size >> 3].slab) return "the current slab is listed";
        }
    }
    for (const gc_slab* slab = pool; slab; slab = slab->next)
        if (slab->block_size) return "a slab in the pool of empty slabs has a size";
    return nullptr;
}

}  // namespace

const char* gc_check_heap() {
    int white_bytes, grey_bytes, black_bytes, garbage_bytes;
    if (const char* f = check_list(&heap.white, 0, &white_bytes)) return f;
    if (const char* f = check_list(&heap.grey, 1, &grey_bytes)) return f;
    if (const char* f = check_list(&heap.black, 1, &black_bytes)) return f;
    if (const char* f = check_list(&heap.garbage, -1, &garbage_bytes)) return f;
    if (white_bytes + grey_bytes + black_bytes != heap.allocated_bytes) return "allocated_bytes disagrees with the lists";
    if (black_bytes != heap.marked_bytes) return "marked_bytes disagrees with the black list";
    if (garbage_bytes != heap.garbage_bytes) return "garbage_bytes disagrees with the garbage list";
    if (const char* f = check_slabs()) return f;
    const char* fault = check_children();
    return fault ? fault : "";
}

bool Object::IsEqualTo(Object* other) { return other == this; }

int Object::CompareWith(Object* other) {
    uintptr_t a = reinterpret_cast<uintptr_t>(this), b = reinterpret_cast<uintptr_t>(other);
    return a < b ? -1 : (a > b ? 1 : 0);
}

String Object::DebugText() { return String("+Object\n"); }
