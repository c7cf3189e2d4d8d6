// Array: a value referring to a collected block that holds a length and the
// elements. Every array of length 0 refers to its element type's one static
// empty block (flags 3, on no collector list). Indexing is unchecked: callers
// keep every index within 0 to length - 1.
//
// An array held by a collected object is a gc_array field and one held by a
// global a gc_root (runtime/gc_ref.h): assigning to either is the barrier.
// An element of an object array is reached through gc_element, whose
// assignment is the barrier: `frames[i] = image` is a correct store, and the
// only way to write an element is through it.
#pragma once

#include <cstring>
#include <initializer_list>
#include <new>
#include <type_traits>

#include "runtime/collector.h"

class String;

template <class T>
struct is_collected_ref : std::false_type {};
// Any class pointer held by a collected container is a collected object; the
// conversion to gc_object* in the barriers checks it once the class is complete.
template <class T>
struct is_collected_ref<T*> : std::is_class<T> {};

template <class T>
class ArrayRep : public gc_object {
public:
    static constexpr int GC_SLICE_ELEMENTS = static_cast<int>(GC_SLICE_BYTES / sizeof(T));
    int length;

    explicit ArrayRep(int n) : length(n) {}
    explicit ArrayRep(static_block_t tag) : gc_object(tag), length(0) {}
    ~ArrayRep() override {
        if constexpr (std::is_same_v<T, String>)
            for (int i = 0; i < length; ++i) Elements()[i].~T();
    }
    // Elements, not fields: the block marks them all at once, or a slice of
    // them when it is larger than GC_SLICE_BYTES.
    void MarkChildren() override {
        if constexpr (std::is_pointer_v<T>) gc_mark_elements(length, Elements());
    }
    int MarkSlice(int from) override {
        if constexpr (std::is_pointer_v<T>) {
            int end = length - from > GC_SLICE_ELEMENTS ? from + GC_SLICE_ELEMENTS : length;
            gc_mark_elements(end - from, Elements() + from);
            return end < length ? end : 0;
        } else {
            (void)from;
            return 0;
        }
    }

    T* Elements() { return reinterpret_cast<T*>(reinterpret_cast<char*>(this) + HeaderSize()); }

    static constexpr size_t HeaderSize() {
        return (sizeof(ArrayRep) + alignof(T) - 1) & ~(alignof(T) - 1);
    }

    static ArrayRep* Empty() {
        static ArrayRep empty(static_block_t{});
        return &empty;
    }

    // A new block of n > 0 elements, all zero (String elements: the empty string).
    static ArrayRep* Create(int n) {
        void* block = gc_allocate(HeaderSize() + sizeof(T) * static_cast<size_t>(n));
        ArrayRep* rep = new (block) ArrayRep(n);
        T* e = rep->Elements();
        if constexpr (std::is_same_v<T, String>) {
            for (int i = 0; i < n; ++i) new (&e[i]) T();
        } else {
            std::memset(static_cast<void*>(e), 0, sizeof(T) * static_cast<size_t>(n));
        }
        return rep;
    }
};

// One element of an object array (T is a class pointer), as indexing gives
// it: it reads as the pointer it holds, and assigning to it stores through
// the write barrier. Reading costs what reading the pointer costs. It is a
// reference to the slot, so keep the pointer, not the element: `T* p = a[i]`.
template <class T>
class gc_element {
public:
    explicit gc_element(T& slot) : slot_(slot) {}
    gc_element(const gc_element&) = default;

    template <class U>
    const gc_element& operator=(U* object) const {
        gc_store(slot_, object);
        return *this;
    }
    const gc_element& operator=(std::nullptr_t) const {
        slot_ = nullptr;
        return *this;
    }
    // Element to element: the value is stored, not the reference rebound.
    const gc_element& operator=(const gc_element& other) const { return *this = other.slot_; }

    operator T() const { return slot_; }
    T operator->() const { return slot_; }
    auto& operator*() const { return *slot_; }
    T get() const { return slot_; }

private:
    T& slot_;
};

// A store through gc_element is the barrier already; a second one by hand
// would hide which stores are plain.
template <class T, class U>
void gc_store(gc_element<T> element, U value) = delete;

template <class T>
class Array {
    static_assert(std::is_arithmetic_v<T> || std::is_same_v<T, String> || is_collected_ref<T>::value,
                  "arrays hold numbers, bools, strings or collected objects");

public:
    // What indexing gives: the element itself, or for object arrays the
    // element whose assignment is the barrier.
    using Element = std::conditional_t<is_collected_ref<T>::value, gc_element<T>, T&>;

    Array() : rep_(ArrayRep<T>::Empty()) {}
    explicit Array(int n) : rep_(n > 0 ? ArrayRep<T>::Create(n) : ArrayRep<T>::Empty()) {}
    Array(const T* values, int n) : Array(n) {
        for (int i = 0; i < n; ++i) rep_->Elements()[i] = values[i];
    }
    static Array Of(std::initializer_list<T> values) {
        return Array(values.begin(), static_cast<int>(values.size()));
    }

    int Length() const { return rep_->length; }
    Element operator[](int index) const { return Element(rep_->Elements()[index]); }
    // The elements as plain memory; read-only for object arrays, whose
    // writes go through indexing.
    std::conditional_t<is_collected_ref<T>::value, const T*, T*> Data() const { return rep_->Elements(); }
    ArrayRep<T>* Rep() const { return rep_; }
    bool IsEmpty() const { return rep_->length == 0; }

    // n <= 0 gives the empty block; else the first min(n, length) elements
    // copied and the rest zero.
    Array Resized(int n) const {
        if (n <= 0) return Array();
        Array result(n);
        int keep = n < Length() ? n : Length();
        for (int i = 0; i < keep; ++i) result[i] = (*this)[i];
        return result;
    }

    // A negative `to` counts from the end, one above the length is the length.
    Array Prefix(int to) const {
        if (to < 0) to += Length();
        if (to > Length()) to = Length();
        if (to <= 0) return Array();
        return Array(Data(), to);
    }

    bool SameBlock(const Array& other) const { return rep_ == other.rep_; }

private:
    ArrayRep<T>* rep_;
};

// The barrier for array references: the block is marked at once. Fields and
// roots (gc_array, gc_root) call it by being assigned to.
template <class T>
inline void gc_store_array(Array<T>& slot, const Array<T>& value) {
    gc_mark_now(value.Rep());
    slot = value;
}

// Grey marking of an array's block.
template <class T>
inline void gc_enqueue(const Array<T>& array) {
    gc_enqueue(array.Rep());
}

