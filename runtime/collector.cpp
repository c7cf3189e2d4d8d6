#include "runtime/collector.h"

#include <atomic>
#include <set>
#include <cstdlib>
#include <vector>

#include "runtime/gc_ref.h"
#include "runtime/string.h"

gc_pending_header gc_pending = {nullptr, nullptr, nullptr, 0};
gc_state gc_heap_state;

namespace {

gc_state& heap = gc_heap_state;
std::atomic<int> external_new_bytes{0};
std::vector<gc_root_marker>& root_markers() {
    static std::vector<gc_root_marker> markers;
    return markers;
}
gc_visitor visitor = nullptr;
void* visitor_context = nullptr;

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

void* gc_object::operator new(size_t size) { return gc_allocate(size); }

gc_object* gc_heap_block(int size) {
    gc_object* block = static_cast<gc_object*>(std::malloc(size));
    // Out of memory: nothing sensible can go on.
    if (!block) std::abort();
    return block;
}

void gc_free_block(gc_object* block) { std::free(block); }

void gc_destroy_garbage(int size) {
    int target = heap.garbage_bytes - size;
    if (target < 0) target = 0;
    while (heap.garbage_bytes > target && heap.garbage.succ != &heap.garbage) {
        gc_object* o = heap.garbage.succ;
        // The garbage list runs through memory allocated long ago; fetching the
        // next victims now hides the cache misses behind this destruction.
        __builtin_prefetch(o->succ->succ);
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
    if (visitor) {
        visitor(o, visitor_context);
        return false;
    }
    if ((o->flags & 3) != heap.mark_bit) return false;
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

void gc_enqueue(gc_object* o) {
    if (TakeWhite(o)) append(&heap.grey, o);
}

void gc_mark_now(gc_object* o) {
    if (TakeWhite(o)) Blacken(o);
}

void gc_mark_some(int target) {
    while (heap.marked_bytes < target && heap.grey.succ != &heap.grey) {
        gc_object* o = heap.grey.succ;
        unlink(o);
        Blacken(o);
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

void gc_add_root_marker(gc_root_marker marker) { root_markers().push_back(marker); }
void gc_clear_root_markers() { root_markers().clear(); }
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
    for (gc_root_marker marker : root_markers()) marker();
}

void gc_set_visitor(gc_visitor v, void* context) {
    visitor = v;
    visitor_context = context;
}

gc_object* gc_find_object(uintptr_t address) {
    if (address == 0) return nullptr;
    for (gc_object* head : {&heap.white, &heap.grey, &heap.black, &heap.garbage}) {
        for (gc_object* o = head->succ; o != head; o = o->succ)
            if (reinterpret_cast<uintptr_t>(o) == address) return o;
    }
    return nullptr;
}

namespace {

struct CheckContext {
    const char* fault = nullptr;
};

void check_black_child(gc_object* child, void* context) {
    if (gc_is_white(child)) static_cast<CheckContext*>(context)->fault = "a black object refers to a white one";
}

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

}  // namespace

#if GC_CHECKED
namespace {
std::set<const void*>& census() {
    static std::set<const void*> fields;
    return fields;
}
std::set<const void*>* census_visited = nullptr;

void ignore_child(gc_object*, void*) {}

// Every census field that lies inside a listed object must be visited by that
// object's MarkChildren.
const char* check_census() {
    std::set<const void*> visited;
    gc_visitor saved = visitor;
    void* saved_context = visitor_context;
    gc_set_visitor(ignore_child, nullptr);
    census_visited = &visited;
    const char* fault = nullptr;
    for (gc_object* head : {&heap.white, &heap.grey, &heap.black}) {
        for (gc_object* o = head->succ; o != head && !fault; o = o->succ) {
            const char* lo = reinterpret_cast<const char*>(o);
            auto it = census().lower_bound(lo);
            auto end = census().lower_bound(lo + block_size(o));
            if (it == end) continue;
            visited.clear();
            o->MarkChildren();
            for (; it != end; ++it)
                if (!visited.count(*it)) fault = "a reference field is not visited by its object's MarkChildren";
        }
    }
    census_visited = nullptr;
    gc_set_visitor(saved, saved_context);
    return fault;
}
}  // namespace

void gc_census_add(const void* field) { census().insert(field); }
void gc_census_remove(const void* field) { census().erase(field); }
void gc_census_visit(const void* field) {
    if (census_visited) census_visited->insert(field);
}
#endif

const char* gc_check_heap() {
    int white_bytes, grey_bytes, black_bytes, garbage_bytes;
    if (const char* f = check_list(&heap.white, 0, &white_bytes)) return f;
    if (const char* f = check_list(&heap.grey, 1, &grey_bytes)) return f;
    if (const char* f = check_list(&heap.black, 1, &black_bytes)) return f;
    if (const char* f = check_list(&heap.garbage, -1, &garbage_bytes)) return f;
    if (white_bytes + grey_bytes + black_bytes != heap.allocated_bytes) return "allocated_bytes disagrees with the lists";
    if (black_bytes != heap.marked_bytes) return "marked_bytes disagrees with the black list";
    if (garbage_bytes != heap.garbage_bytes) return "garbage_bytes disagrees with the garbage list";
    CheckContext context;
    gc_visitor saved = visitor;
    void* saved_context = visitor_context;
    gc_set_visitor(check_black_child, &context);
    for (gc_object* o = heap.black.succ; o != &heap.black && !context.fault; o = o->succ) o->MarkChildren();
    gc_set_visitor(saved, saved_context);
    if (context.fault) return context.fault;
#if GC_CHECKED
    if (const char* f = check_census()) return f;
#endif
    return "";
}

bool Object::IsEqualTo(Object* other) { return other == this; }

int Object::CompareWith(Object* other) {
    uintptr_t a = reinterpret_cast<uintptr_t>(this), b = reinterpret_cast<uintptr_t>(other);
    return a < b ? -1 : (a > b ? 1 : 0);
}

String Object::DebugText() { return String("+Object\n"); }
