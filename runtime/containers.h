// The generic containers: ordered maps (red-black trees) with int or String
// keys, a string set, growable stacks and enumerators. Each is a collected
// object; every reference store inside them goes through the barriers.
// The system's class names are aliases of these templates, listed at the end.
#pragma once

#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/string.h"

constexpr int RB_RED = -1;
constexpr int RB_BLACK = 1;

template <class K, class V>
class MapNode : public Object {
public:
    K key;
    MapNode* right = nullptr;
    MapNode* left = nullptr;
    V value;
    int color = RB_RED;
    MapNode* parent = nullptr;

    MapNode(const K& k, const V& v, MapNode* p) : key(k), value(), parent(nullptr) {
        gc_assign(value, v);
        gc_store(parent, p);
    }
    void MarkChildren() override {
        gc_enqueue(right);
        gc_enqueue(left);
        gc_enqueue(parent);
        gc_mark_value(value);
    }
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
    const V& Value() const { return value; }
};

template <class Node>
class NodeEnumerator : public Object {
public:
    explicit NodeEnumerator(Node* first) { gc_store(next, first); }
    bool HasMore() const { return next != nullptr; }
    Node* TakeNext() {
        Node* node = next;
        gc_store(next, node->NextEntry());
        return node;
    }
    void MarkChildren() override { gc_enqueue(next); }

private:
    Node* next = nullptr;
};

template <class Node>
class KeyEnumerator : public Object {
public:
    explicit KeyEnumerator(Node* first) { gc_store(next, first); }
    bool HasMore() const { return next != nullptr; }
    auto TakeNext() {
        Node* node = next;
        gc_store(next, node->NextEntry());
        return node->key;
    }
    void MarkChildren() override { gc_enqueue(next); }

private:
    Node* next = nullptr;
};

template <class MapT>
class MapKeys : public Object {
public:
    explicit MapKeys(MapT* m) { gc_store(map, m); }
    KeyEnumerator<typename MapT::Node>* ObjectEnumerator() {
        return new KeyEnumerator<typename MapT::Node>(map->FirstEntry());
    }
    void MarkChildren() override { gc_enqueue(map); }

private:
    MapT* map = nullptr;
};

// The red-black map. CompareKeys is given by the key type's subclass.
template <class K, class V>
class Map : public Object {
public:
    using Node = MapNode<K, V>;
    Node* root = nullptr;

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
                gc_assign(node->value, value);
                return false;
            }
        }
        node = new Node(key, value, parent);
        if (!parent) {
            gc_store(root, node);
        } else if (cmp > 0) {
            gc_store(parent->right, node);
        } else {
            gc_store(parent->left, node);
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

    void MarkChildren() override { gc_enqueue(root); }

private:
    void RotateLeft(Node* node) {
        Node* child = node->right;
        gc_store(node->right, child->left);
        if (child->left) gc_store(child->left->parent, node);
        gc_store(child->parent, node->parent);
        if (!node->parent)
            gc_store(root, child);
        else if (node == node->parent->left)
            gc_store(node->parent->left, child);
        else
            gc_store(node->parent->right, child);
        gc_store(child->left, node);
        gc_store(node->parent, child);
    }

    void RotateRight(Node* node) {
        Node* child = node->left;
        gc_store(node->left, child->right);
        if (child->right) gc_store(child->right->parent, node);
        gc_store(child->parent, node->parent);
        if (!node->parent)
            gc_store(root, child);
        else if (node == node->parent->right)
            gc_store(node->parent->right, child);
        else
            gc_store(node->parent->left, child);
        gc_store(child->right, node);
        gc_store(node->parent, child);
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
    c_StringMap* map = nullptr;
    c_Set() { gc_store(map, new c_StringMap()); }
    void Add(const String& key) { map->Put(key, nullptr); }
    bool Has(const String& key) { return map->Has(key); }
    KeyEnumerator<c_Node2>* ObjectEnumerator() { return new KeyEnumerator<c_Node2>(map->FirstEntry()); }
    void MarkChildren() override { gc_enqueue(map); }
};
class c_StringSet : public c_Set {};

// A growable stack; vacated slots get the element type's empty value.
template <class T>
class Stack : public Object {
public:
    Array<T> data;
    int length = 0;

    void Push(const T& value) {
        if (length == data.Length()) gc_store_array(data, data.Resized(length * 2 + 10));
        gc_assign(data[length], value);
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
    void MarkChildren() override { gc_enqueue(data); }
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
