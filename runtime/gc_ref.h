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
//
// In checked builds (debug or sanitizer) every gc_ref and gc_array records its
// address in a census while it exists, and gc_check_heap reports a field that
// lies inside a collected object but that its MarkChildren did not visit.
#pragma once

#include <cstddef>
#include <type_traits>

#include "runtime/array.h"
#include "runtime/collector.h"

#if !defined(NDEBUG) || defined(__SANITIZE_ADDRESS__) || defined(GRIMALOU_CHECKED)
#define GC_CHECKED 1
#else
#define GC_CHECKED 0
#endif

#if GC_CHECKED
// The census of reference fields: the addresses of every live gc_ref and
// gc_array, and the report of one being visited by a MarkChildren.
void gc_census_add(const void* field);
void gc_census_remove(const void* field);
void gc_census_visit(const void* field);
#else
inline void gc_census_add(const void*) {}
inline void gc_census_remove(const void*) {}
inline void gc_census_visit(const void*) {}
#endif

template <class T>
class gc_ref {
public:
    gc_ref() { gc_census_add(this); }
    // Field initialisers and constructors store without a barrier: the
    // object being built is white, so it cannot be black yet.
    gc_ref(T* p) : ptr_(p) { gc_census_add(this); }
    gc_ref(const gc_ref&) = delete;
    ~gc_ref() { gc_census_remove(this); }

    gc_ref& operator=(T* p) {
        gc_enqueue(p);
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
        gc_enqueue(ptr_);
    }

private:
    T* ptr_ = nullptr;
};

template <class T>
class gc_array : public Array<T> {
public:
    gc_array() { gc_census_add(this); }
    gc_array(const Array<T>& value) : Array<T>(value) { gc_census_add(this); }
    gc_array(const gc_array&) = delete;
    ~gc_array() { gc_census_remove(this); }

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

template <class... Fields>
inline void gc_mark_fields(const Fields&... fields) {
    (fields.Mark(), ...);
}

// The one list of a class's reference fields. Place it in the class body:
//   GC_FIELDS(Object, canvas, girlButton, boyButton)
// It defines MarkChildren: the base's part first, then each field in turn.
#define GC_FIELDS(Base, ...)            \
    void MarkChildren() override {      \
        Base::MarkChildren();           \
        gc_mark_fields(__VA_ARGS__);    \
    }

// A global that holds an object (gc_root<c_App>) or an array (gc_root<Array<int>>).
// It joins the roots when it is constructed and leaves them when destroyed;
// gc_queue_roots queues every root, in no order that matters. Assignment is
// the barrier, like a field's.
class gc_root_base {
public:
    virtual void Mark() const = 0;

protected:
    gc_root_base();
    ~gc_root_base();
    gc_root_base(const gc_root_base&) = delete;

private:
    friend void gc_queue_roots();
    gc_root_base* next_;
    gc_root_base* prev_;
};

template <class T>
class gc_root : public gc_root_base {
public:
    gc_root() = default;
    gc_root(T* p) : ptr_(p) {}

    gc_root& operator=(T* p) {
        gc_enqueue(p);
        ptr_ = p;
        return *this;
    }
    gc_root& operator=(std::nullptr_t) {
        ptr_ = nullptr;
        return *this;
    }
    operator T*() const { return ptr_; }
    T* operator->() const { return ptr_; }
    T* get() const { return ptr_; }

    void Mark() const override { gc_enqueue(ptr_); }

private:
    T* ptr_ = nullptr;
};

template <class T>
class gc_root<Array<T>> : public gc_root_base, public Array<T> {
public:
    gc_root() = default;
    gc_root& operator=(const Array<T>& value) {
        gc_mark_now(value.Rep());
        Array<T>::operator=(value);
        return *this;
    }
    void Mark() const override { gc_enqueue(this->Rep()); }
};
