// The generic containers: ordered maps (red-black trees) with int or String
// keys, a string set, growable stacks and enumerators. Each is a collected
// object; its reference fields are gc_ref / gc_array, so every store into them
// is a barrier. The system's class names are aliases of these templates,
// listed at the end.
#pragma once

#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

constexpr int RB_RED = -1;
constexpr int RB_BLACK = 1;

template <class K, class V>
class MapNode : public Object {
public:
    K key;
    gc_ref<MapNode> right;
    gc_ref<MapNode> left;
    gc_field<V> value;
    int color = RB_RED;
    gc_ref<MapNode> parent;

    MapNode(const K& k, const V& v, MapNode* p) : key(k) {
        value = v;
        parent = p;
    }
    GC_FIELDS(Object, right, left, parent, value)

    MapNode* NextEntry() {
        MapNode* node = this;
        if (node->right) {
            node = node->right;
            while (node->left) node = node->left;
            return node;
        }
        MapNode* up = node->parent;
        while (up && node == up->right) {
            node = up;
            up = up->parent;
        }
        return up;
    }
    const K& Key() const { return key; }
    V Value() const { return value; }
};

template <class Node>
class NodeEnumerator : public Object {
public:
    explicit NodeEnumerator(Node* first) { next = first; }
    bool HasMore() const { return next != nullptr; }
    Node* TakeNext() {
        Node* node = next;
        next = node->NextEntry();
        return node;
    }
    GC_FIELDS(Object, next)

private:
    gc_ref<Node> next;
};

template <class Node>
class KeyEnumerator : public Object {
public:
    explicit KeyEnumerator(Node* first) { next = first; }
    bool HasMore() const { return next != nullptr; }
    auto TakeNext() {
        Node* node = next;
        next = node->NextEntry();
        return node->key;
    }
    GC_FIELDS(Object, next)

private:
    gc_ref<Node> next;
};

template <class MapT>
class MapKeys : public Object {
public:
    explicit MapKeys(MapT* m) { map = m; }
    KeyEnumerator<typename MapT::Node>* ObjectEnumerator() {
        return new KeyEnumerator<typename MapT::Node>(map->FirstEntry());
    }
    GC_FIELDS(Object, map)

private:
    gc_ref<MapT> map;
};

// The red-black map. CompareKeys is given by the key type's subclass.
template <class K, class V>
class Map : public Object {
public:
    using Node = MapNode<K, V>;
    gc_ref<Node> root;

    virtual int CompareKeys(const K& a, const K& b) = 0;

    // True when a node was added, false when an existing key's value was replaced.
    bool Put(const K& key, const V& value) {
        Node* node = root;
        Node* parent = nullptr;
        int cmp = 0;
        while (node) {
            parent = node;
            cmp = CompareKeys(key, node->key);
            if (cmp > 0) {
                node = node->right;
            } else if (cmp < 0) {
                node = node->left;
            } else {
                node->value = value;
                return false;
            }
        }
        node = new Node(key, value, parent);
        if (!parent) {
            root = node;
        } else if (cmp > 0) {
            parent->right = node;
        } else {
            parent->left = node;
        }
        InsertFixup(node);
        return true;
    }

    V Lookup(const K& key) {
        Node* node = FindNode(key);
        return node ? node->value : V();
    }
    bool Has(const K& key) { return FindNode(key) != nullptr; }

    Node* FindNode(const K& key) {
        Node* node = root;
        while (node) {
            int cmp = CompareKeys(key, node->key);
            if (cmp > 0)
                node = node->right;
            else if (cmp < 0)
                node = node->left;
            else
                return node;
        }
        return nullptr;
    }

    Node* FirstEntry() {
        if (!root) return nullptr;
        Node* node = root;
        while (node->left) node = node->left;
        return node;
    }
    NodeEnumerator<Node>* ObjectEnumerator() { return new NodeEnumerator<Node>(FirstEntry()); }
    MapKeys<Map>* KeyView() { return new MapKeys<Map>(this); }

    GC_FIELDS(Object, root)

private:
    void RotateLeft(Node* node) {
        Node* child = node->right;
        node->right = child->left;
        if (child->left) child->left->parent = node;
        child->parent = node->parent;
        if (!node->parent)
            root = child;
        else if (node == node->parent->left)
            node->parent->left = child;
        else
            node->parent->right = child;
        child->left = node;
        node->parent = child;
    }

    void RotateRight(Node* node) {
        Node* child = node->left;
        node->left = child->right;
        if (child->right) child->right->parent = node;
        child->parent = node->parent;
        if (!node->parent)
            root = child;
        else if (node == node->parent->right)
            node->parent->right = child;
        else
            node->parent->left = child;
        child->right = node;
        node->parent = child;
    }

    void InsertFixup(Node* node) {
        while (node->parent && node->parent->color == RB_RED && node->parent->parent) {
            Node* parent = node->parent;
            Node* grand = parent->parent;
            if (parent == grand->left) {
                Node* uncle = grand->right;
                if (uncle && uncle->color == RB_RED) {
                    parent->color = RB_BLACK;
                    uncle->color = RB_BLACK;
                    grand->color = RB_RED;
                    node = grand;
                } else {
                    if (node == parent->right) {
                        node = parent;
                        RotateLeft(node);
                    }
                    node->parent->color = RB_BLACK;
                    node->parent->parent->color = RB_RED;
                    RotateRight(node->parent->parent);
                }
            } else {
                Node* uncle = grand->left;
                if (uncle && uncle->color == RB_RED) {
                    parent->color = RB_BLACK;
                    uncle->color = RB_BLACK;
                    grand->color = RB_RED;
                    node = grand;
                } else {
                    if (node == parent->left) {
                        node = parent;
                        RotateRight(node);
                    }
                    node->parent->color = RB_BLACK;
                    node->parent->parent->color = RB_RED;
                    RotateLeft(node->parent->parent);
                }
            }
        }
        root->color = RB_BLACK;
    }
};

template <class V>
class IntMapOf : public Map<int, V> {
public:
    // The sign of a - b, without the overflow of the plain difference (keys
    // such as 0x7fffffff and 0xff000000 would otherwise compare wrongly).
    int CompareKeys(const int& a, const int& b) override { return (a > b) - (a < b); }
};

template <class V>
class StringMapOf : public Map<String, V> {
public:
    int CompareKeys(const String& a, const String& b) override { return a.Compare(b); }
};

using c_Node2 = MapNode<String, Object*>;
using c_Map2 = Map<String, Object*>;
using c_StringMap = StringMapOf<Object*>;

// A set of strings: the keys of a map whose values are all null.
class c_Set : public Object {
public:
    gc_ref<c_StringMap> map;
    c_Set() { map = new c_StringMap(); }
    void Add(const String& key) { map->Put(key, nullptr); }
    bool Has(const String& key) { return map->Has(key); }
    KeyEnumerator<c_Node2>* ObjectEnumerator() { return new KeyEnumerator<c_Node2>(map->FirstEntry()); }
    GC_FIELDS(Object, map)
};
class c_StringSet : public c_Set {};

// A growable stack; vacated slots get the element type's empty value.
template <class T>
class Stack : public Object {
public:
    gc_array<T> data;
    int length = 0;

    void Push(const T& value) {
        if (length == data.Length()) data = data.Resized(length * 2 + 10);
        data[length] = value;
        ++length;
    }
    T Pop() {
        --length;
        T value = data[length];
        data[length] = T();
        return value;
    }
    void RemoveAll() {
        for (int i = 0; i < length; ++i) data[i] = T();
        length = 0;
    }
    int Length() const { return length; }
    int Count() const { return length; }
    bool IsEmpty() const { return length == 0; }
    T Get(int index) const { return data[index]; }
    T& operator[](int index) const { return data[index]; }
    // The elements in use, as a new array.
    Array<T> ToArray() const { return data.Prefix(length); }
    GC_FIELDS(Object, data)
};

// The system's container classes, one per element type in use.
class c_DisplayMode;
class c_Texture;
class c_GLUniform;
class c_DrawOp;
class c_ShadowCaster;

using c_Node = MapNode<int, c_DisplayMode*>;
using c_Map = Map<int, c_DisplayMode*>;
using c_IntMap = IntMapOf<c_DisplayMode*>;
using c_Node3 = MapNode<int, c_Texture*>;
using c_Map3 = Map<int, c_Texture*>;
using c_IntMap2 = IntMapOf<c_Texture*>;
using c_Node4 = MapNode<String, c_Texture*>;
using c_Map4 = Map<String, c_Texture*>;
using c_StringMap2 = StringMapOf<c_Texture*>;
using c_Node5 = MapNode<String, float>;
using c_Map5 = Map<String, float>;
using c_StringMap3 = StringMapOf<float>;
using c_Node6 = MapNode<String, Array<float>>;
using c_Map6 = Map<String, Array<float>>;
using c_StringMap4 = StringMapOf<Array<float>>;
using c_Stack = Stack<c_DisplayMode*>;
using c_Stack2 = Stack<c_GLUniform*>;
using c_Stack3 = Stack<c_DrawOp*>;
using c_Stack4 = Stack<c_ShadowCaster*>;
using c_Stack5 = Stack<float>;
using c_FloatStack = c_Stack5;
