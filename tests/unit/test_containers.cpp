#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "gc_test_support.h"
#include "runtime/containers.h"

namespace {

using NodeMap = IntMapOf<TestNode*>;

// Checks the red-black rules below `node` and returns its black height.
int BlackHeight(MapNode<int, TestNode*>* node, int* count) {
    if (!node) return 1;
    ++*count;
    if (node->color == RB_RED) {
        EXPECT_TRUE(!node->left || node->left->color == RB_BLACK) << "red node with a red child";
        EXPECT_TRUE(!node->right || node->right->color == RB_BLACK) << "red node with a red child";
    }
    if (node->left) {
        EXPECT_EQ(node->left->parent, node);
    }
    if (node->right) {
        EXPECT_EQ(node->right->parent, node);
    }
    int left = BlackHeight(node->left, count), right = BlackHeight(node->right, count);
    EXPECT_EQ(left, right) << "unequal black heights";
    return left + (node->color == RB_BLACK ? 1 : 0);
}

TEST(Maps, KeysComeBackInAscendingOrder) {
    NodeMap* map = new NodeMap();
    for (int k : {5, 1, 3}) EXPECT_TRUE(map->Put(k, nullptr));
    std::vector<int> keys;
    for (auto* n = map->FirstEntry(); n; n = n->NextEntry()) keys.push_back(n->key);
    EXPECT_EQ(keys, (std::vector<int>{1, 3, 5}));

    auto* e = map->KeyView()->ObjectEnumerator();
    std::vector<int> viewed;
    while (e->HasMore()) viewed.push_back(e->TakeNext());
    EXPECT_EQ(viewed, keys);
}

TEST(Maps, DistantIntKeysKeepTheirOrder) {
    // Colour values as keys: their plain difference overflows 32 bits.
    NodeMap* map = new NodeMap();
    for (int k : {0x7fffffff, static_cast<int>(0xff000000), 0, static_cast<int>(0x80000000)}) map->Put(k, nullptr);
    std::vector<int> keys;
    for (auto* n = map->FirstEntry(); n; n = n->NextEntry()) keys.push_back(n->key);
    EXPECT_EQ(keys, (std::vector<int>{static_cast<int>(0x80000000), static_cast<int>(0xff000000), 0, 0x7fffffff}));
    EXPECT_TRUE(map->Has(0x7fffffff));
    EXPECT_TRUE(map->Has(static_cast<int>(0x80000000)));
}

TEST(Maps, RandomInsertionsKeepTheRedBlackRules) {
    NodeMap* map = new NodeMap();
    std::mt19937 rng(7);
    std::vector<int> inserted;
    for (int i = 0; i < 2000; ++i) {
        int k = static_cast<int>(rng() % 5000) - 2500;
        bool added = map->Put(k, nullptr);
        bool fresh = std::find(inserted.begin(), inserted.end(), k) == inserted.end();
        EXPECT_EQ(added, fresh);
        if (fresh) inserted.push_back(k);
    }
    EXPECT_EQ(map->root->color, RB_BLACK);
    int count = 0;
    BlackHeight(map->root, &count);
    EXPECT_EQ(count, static_cast<int>(inserted.size()));
    std::sort(inserted.begin(), inserted.end());
    std::vector<int> walked;
    auto* e = map->ObjectEnumerator();
    while (e->HasMore()) walked.push_back(e->TakeNext()->key);
    EXPECT_EQ(walked, inserted);
}

TEST(Maps, PutOfAnExistingKeyReplacesTheValueInPlace) {
    NodeMap* map = new NodeMap();
    TestNode* a = new TestNode(1);
    TestNode* b = new TestNode(2);
    EXPECT_TRUE(map->Put(4, a));
    auto* node = map->FindNode(4);
    EXPECT_FALSE(map->Put(4, b));
    EXPECT_EQ(map->FindNode(4), node);
    EXPECT_EQ(map->Lookup(4), b);
    EXPECT_TRUE(map->Has(4));
    EXPECT_FALSE(map->Has(5));
    EXPECT_EQ(map->Lookup(5), nullptr);
}

TEST(Maps, MissingKeysGiveTheValueTypesDefault) {
    c_StringMap3* floats = new c_StringMap3();
    floats->Put(String("Roughness"), 0.5f);
    EXPECT_EQ(floats->Lookup(String("Roughness")), 0.5f);
    EXPECT_EQ(floats->Lookup(String("Missing")), 0.0f);
    c_StringMap4* vectors = new c_StringMap4();
    EXPECT_EQ(vectors->Lookup(String("AmbientColor")).Rep(), Array<float>().Rep());
    vectors->Put(String("AmbientColor"), Array<float>::Of({1, 1, 1, 1}));
    EXPECT_EQ(vectors->Lookup(String("AmbientColor")).Length(), 4);
}

TEST(Maps, StringKeysUseStringOrder) {
    c_StringSet* set = new c_StringSet();
    for (const char* k : {"Tint", "ColorTexture", "Alpha", "Tint"}) set->Add(String(k));
    EXPECT_TRUE(set->Has(String("Alpha")));
    EXPECT_FALSE(set->Has(String("alpha")));
    auto* e = set->ObjectEnumerator();
    std::vector<std::string> keys;
    while (e->HasMore()) keys.push_back(e->TakeNext().ToUtf8());
    EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "ColorTexture", "Tint"}));
}

TEST(Maps, NodesAndValuesSurviveCollection) {
    static gc_root<NodeMap> kept;
    kept = new NodeMap();
    for (int k = 0; k < 100; ++k) kept->Put(k, new TestNode(k, k * 3));
    CollectEverything();
    ASSERT_STREQ(gc_check_heap(), "");
    for (int k = 0; k < 100; ++k) {
        TestNode* v = kept->Lookup(k);
        ASSERT_NE(v, nullptr);
        EXPECT_TRUE(IsLive(v));
        EXPECT_EQ(v->payload, k * 3);
    }
    kept = nullptr;
}

TEST(Maps, PutIntoABlackMapGoesThroughTheBarriers) {
    static gc_root<NodeMap> kept;
    kept = new NodeMap();
    for (int k = 0; k < 20; ++k) kept->Put(k, new TestNode(k, k));
    gc_full_collection();
    gc_mark_some(0x7fffffff);  // the map, its nodes and values are black
    // New values into black nodes, and new nodes that rotate black ones.
    for (int k = 0; k < 20; ++k) EXPECT_FALSE(kept->Put(k, new TestNode(k, k + 100)));
    for (int k = 20; k < 60; ++k) EXPECT_TRUE(kept->Put(k, new TestNode(k, k + 100)));
    EXPECT_STREQ(gc_check_heap(), "");
    CollectEverything();
    for (int k = 0; k < 60; ++k) {
        TestNode* v = kept->Lookup(k);
        ASSERT_TRUE(IsLive(v)) << k;
        EXPECT_EQ(v->payload, k + 100);
    }
    kept = nullptr;
}

TEST(Stacks, GrowFromZeroToTenToThirtySlots) {
    Stack<TestNode*>* stack = new Stack<TestNode*>();
    EXPECT_EQ(stack->data.Length(), 0);
    stack->Push(new TestNode(0));
    EXPECT_EQ(stack->data.Length(), 10);
    for (int i = 1; i < 10; ++i) stack->Push(new TestNode(i));
    EXPECT_EQ(stack->data.Length(), 10);
    stack->Push(new TestNode(10));
    EXPECT_EQ(stack->data.Length(), 30);
    EXPECT_EQ(stack->Length(), 11);
    EXPECT_EQ(stack->Get(10)->id, 10);
}

TEST(Stacks, PopAndRemoveAllLeaveNoReferenceBehind) {
    Stack<TestNode*>* stack = new Stack<TestNode*>();
    TestNode* a = new TestNode(1);
    TestNode* b = new TestNode(2);
    stack->Push(a);
    stack->Push(b);
    EXPECT_EQ(stack->Pop(), b);
    EXPECT_EQ(stack->data[1], nullptr);
    stack->RemoveAll();
    EXPECT_EQ(stack->Length(), 0);
    EXPECT_EQ(stack->data[0], nullptr);

    c_FloatStack* floats = new c_FloatStack();
    floats->Push(2.5f);
    floats->Push(4.0f);
    EXPECT_EQ(floats->Pop(), 4.0f);
    EXPECT_EQ(floats->data[1], 0.0f);
    EXPECT_EQ(floats->ToArray().Length(), 1);
}

TEST(Stacks, PushIntoABlackStackGoesThroughTheBarriers) {
    static gc_root<Stack<TestNode*>> kept;
    kept = new Stack<TestNode*>();
    gc_full_collection();
    gc_mark_some(0x7fffffff);  // the stack and its block are black
    for (int i = 0; i < 25; ++i) kept->Push(new TestNode(i, i));  // grows twice mid-cycle
    EXPECT_STREQ(gc_check_heap(), "");
    CollectEverything();
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(IsLive(kept->Get(i)));
        EXPECT_EQ(kept->Get(i)->payload, i);
    }
    kept = nullptr;
}

}  // namespace
