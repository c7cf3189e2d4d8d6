// Reference fields and roots that keep the collector's contract by their type.
//
// The contract: every object reference held by a collected object is stored
// through the write barrier and visited by the object's MarkChildren, and
// every global that holds an object is a root. Written by hand, each of those
// is one line to forget, and a forgotten one is a silent use after free. So:
//   gc_ref<T>      an object field; assigning to it is the barrier (gc_store);
//   gc_array<T>    an Array<T> field; assigning to it is the barrier (gc_store_array);
//   GC_FIELDS(Base, f...)  the one list of a class's reference fields, which
//                  is its MarkChildren;
//   gc_root<T>     a global object reference that is a root by being one.
// Elements of an object array store through the barrier by their type too
// (gc_element, runtime/array.h).
//
// Initialising a field in its declaration or constructor's initialiser list
// stores without a barrier: the object being built is white, so no black
// object refers to it yet. Assignments in a constructor's body are barriers
// like any other.
//
// In checked builds (see collector.h) every gc_ref and gc_array records its
// address in a census while it exists, and gc_check_heap reports a field that
// lies inside a listed object but that its MarkChildren did not visit. In
// release builds a gc_ref is exactly its pointer.
#pragma once

#include <cstddef>
#include <type_traits>

#include "runtime/array.h"
#include "runtime/collector.h"

class String;

// The header of the object a reference points at. Every collected object
// begins with its header (collector.h), so this needs no complete class and
// a field may refer to a class that is only declared.
inline gc_object* gc_header_of(const void* object) { return static_cast<gc_object*>(const_cast<void*>(object)); }

#if GC_CHECKED
// The census of reference fields: the addresses of every live gc_ref and
// gc_array, and the report of one being visited by a MarkChildren.
void gc_census_add(const void* field);
void gc_census_remove(const void* field);
void gc_census_visit(const void* field);
#else
inline void gc_census_visit(const void*) {}
#endif

template <class T>
class gc_ref {
public:
#if GC_CHECKED
    gc_ref() { gc_census_add(this); }
    explicit gc_ref(T* p) : ptr_(p) { gc_census_add(this); }
    ~gc_ref() { gc_census_remove(this); }
#else
    gc_ref() = default;
    explicit gc_ref(T* p) : ptr_(p) {}
#endif
    gc_ref(const gc_ref&) = delete;

    gc_ref& operator=(T* p) {
        gc_enqueue(gc_header_of(p));
        ptr_ = p;
        return *this;
    }
    gc_ref& operator=(std::nullptr_t) {
        ptr_ = nullptr;
        return *this;
    }
    gc_ref& operator=(const gc_ref& other) { return *this = other.ptr_; }

    operator T*() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    T* get() const { return ptr_; }

    // Called by GC_FIELDS: queues the referenced object.
    void Mark() const {
        gc_census_visit(this);
        gc_enqueue(gc_header_of(ptr_));
    }

private:
    T* ptr_ = nullptr;
};

// Release builds pay nothing for the type: same size, same layout, nothing
// to run when the holder is destroyed.
static_assert(sizeof(gc_ref<gc_object>) == sizeof(gc_object*) && alignof(gc_ref<gc_object>) == alignof(gc_object*),
              "a reference field is one pointer");
static_assert(GC_CHECKED || std::is_trivially_destructible_v<gc_ref<gc_object>>,
              "a release reference field has nothing to destroy");

template <class T>
class gc_array : public Array<T> {
public:
#if GC_CHECKED
    gc_array() { gc_census_add(this); }
    explicit gc_array(const Array<T>& value) : Array<T>(value) { gc_census_add(this); }
    ~gc_array() { gc_census_remove(this); }
#else
    gc_array() = default;
    explicit gc_array(const Array<T>& value) : Array<T>(value) {}
#endif
    gc_array(const gc_array&) = delete;

    gc_array& operator=(const Array<T>& value) {
        gc_mark_now(value.Rep());
        Array<T>::operator=(value);
        return *this;
    }
    gc_array& operator=(const gc_array& other) { return *this = static_cast<const Array<T>&>(other); }

    void Mark() const {
        gc_census_visit(this);
        gc_enqueue(this->Rep());
    }
};

static_assert(sizeof(gc_array<int>) == sizeof(Array<int>), "an array field is one block pointer");

// Assigning to a field is its barrier already; a second barrier by hand would
// hide which stores are plain.
template <class T, class U>
void gc_store_array(gc_array<T>& field, const U& value) = delete;

// What GC_FIELDS does with each listed member: reference fields mark, plain
// values (a container's generic field that holds numbers or strings) do
// nothing. Anything else is a reference the collector cannot follow.
template <class T>
inline void gc_mark_field(const gc_ref<T>& field) {
    field.Mark();
}
template <class T>
inline void gc_mark_field(const gc_array<T>& field) {
    field.Mark();
}
template <class T>
inline void gc_mark_field(const T&) {
    static_assert(std::is_arithmetic_v<T> || std::is_same_v<T, String>,
                  "reference fields are gc_ref<T> or gc_array<T>");
}

// The field type that holds a value of type V: gc_ref for object pointers,
// gc_array for arrays, V itself otherwise. For containers generic in what
// they hold.
template <class V>
struct gc_field_of {
    using type = V;
};
template <class T>
struct gc_field_of<T*> {
    using type = gc_ref<T>;
};
template <class T>
struct gc_field_of<Array<T>> {
    using type = gc_array<T>;
};
template <class V>
using gc_field = typename gc_field_of<V>::type;

// The one list of a class's reference fields. Place it in the class body:
//   GC_FIELDS(Object, canvas, girlButton, boyButton)
// It defines MarkChildren: the base's part first, then each field in turn.
#define GC_FIELDS(Base, ...)                        \
    void MarkChildren() override {                  \
        Base::MarkChildren();                       \
        gc_mark_field_each(__VA_ARGS__);            \
    }

template <class... Fields>
inline void gc_mark_field_each(const Fields&... fields) {
    (gc_mark_field(fields), ...);
}

// A global that holds an object (gc_root<c_App>) or an array (gc_root<Array<int>>).
// It joins the roots when it is constructed and leaves them when destroyed;
// gc_queue_roots queues every root, in no order that matters (queuing only
// colours an object grey). Assignment is the barrier, like a field's. A root
// may also be a member of a plain (not collected) global structure.
class gc_root_base {
public:
    virtual void Mark() const = 0;

protected:
    gc_root_base();
    ~gc_root_base();
    gc_root_base(const gc_root_base&) = delete;
    // A root keeps its own place in the list whatever value it takes.
    gc_root_base& operator=(const gc_root_base&) { return *this; }

private:
    friend void gc_queue_roots();
    gc_root_base* next_;
    gc_root_base* prev_;
};

template <class T>
class gc_root : public gc_root_base {
public:
    gc_root() = default;
    explicit gc_root(T* p) : ptr_(p) {}

    gc_root& operator=(T* p) {
        gc_enqueue(gc_header_of(p));
        ptr_ = p;
        return *this;
    }
    gc_root& operator=(std::nullptr_t) {
        ptr_ = nullptr;
        return *this;
    }
    gc_root& operator=(const gc_root& other) { return *this = other.ptr_; }

    operator T*() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T& operator*() const { return *ptr_; }
    T* get() const { return ptr_; }

    void Mark() const override { gc_enqueue(gc_header_of(ptr_)); }

private:
    T* ptr_ = nullptr;
};

template <class T>
class gc_root<Array<T>> : public gc_root_base, public Array<T> {
public:
    gc_root() = default;
    explicit gc_root(const Array<T>& value) : Array<T>(value) {}

    gc_root& operator=(const Array<T>& value) {
        gc_mark_now(value.Rep());
        Array<T>::operator=(value);
        return *this;
    }
    gc_root& operator=(const gc_root& other) { return *this = static_cast<const Array<T>&>(other); }

    void Mark() const override { gc_enqueue(this->Rep()); }
};
