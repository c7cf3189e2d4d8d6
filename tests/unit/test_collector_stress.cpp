// A randomized stress test of the collector: a graph of thousands of objects
// that changes between collection steps, every store through the barriers,
// checked against a shadow model of what each object should hold.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "gc_test_support.h"

namespace {

constexpr int kRootSlots = 16;
gc_root<TestNode> stress_roots[kRootSlots];

// What each object should hold, by id: -1 for null.
struct Shadow {
    int a = -1, b = -1, payload = 0;
    std::vector<int> kids;  // empty: the shared empty block
};

class Stress {
public:
    explicit Stress(unsigned seed) : rng(seed) {}

    // Collects the ids reachable from the roots through the real objects, and
    // checks every reached object's fields against the shadow.
    std::map<int, TestNode*> Reachable() {
        std::map<int, TestNode*> seen;
        std::vector<TestNode*> work;
        for (TestNode* r : stress_roots)
            if (r) work.push_back(r);
        while (!work.empty()) {
            TestNode* n = work.back();
            work.pop_back();
            if (seen.count(n->id)) continue;
            EXPECT_TRUE(IsLive(n)) << "reachable object " << n->id << " was destroyed";
            seen[n->id] = n;
            const Shadow& s = shadow.at(n->id);
            EXPECT_EQ(n->payload, s.payload);
            EXPECT_EQ(n->a ? n->a->id : -1, s.a);
            EXPECT_EQ(n->b ? n->b->id : -1, s.b);
            EXPECT_EQ(n->kids.Length(), static_cast<int>(s.kids.size()));
            for (int i = 0; i < n->kids.Length(); ++i) {
                EXPECT_EQ(n->kids[i] ? n->kids[i]->id : -1, s.kids[i]);
                if (n->kids[i]) work.push_back(n->kids[i]);
            }
            if (n->a) work.push_back(n->a);
            if (n->b) work.push_back(n->b);
        }
        return seen;
    }

    TestNode* Make() {
        int id = next_id++;
        int payload = static_cast<int>(rng() % 100000);
        shadow[id].payload = payload;
        return new TestNode(id, payload);
    }

    // One random change of the graph, reachable objects only (a dead object is
    // never touched again, as in a real program).
    void Mutate(std::vector<TestNode*>& live) {
        int kind = static_cast<int>(rng() % 10);
        TestNode* target = live.empty() ? nullptr : live[rng() % live.size()];
        TestNode* value = nullptr;
        int choice = static_cast<int>(rng() % 4);
        if (choice == 0 || live.empty())
            value = Make();
        else if (choice == 1)
            value = nullptr;
        else
            value = live[rng() % live.size()];
        int vid = value ? value->id : -1;
        if (kind == 0 || !target) {
            int slot = static_cast<int>(rng() % kRootSlots);
            stress_roots[slot] = value;
        } else if (kind < 4) {
            target->a = value;
            shadow[target->id].a = vid;
        } else if (kind < 7) {
            target->b = value;
            shadow[target->id].b = vid;
        } else if (kind < 9) {
            int n = static_cast<int>(rng() % 4);
            Array<TestNode*> kids(n);
            std::vector<int> ids(n, -1);
            for (int i = 0; i < n; ++i) {
                TestNode* k = (rng() % 2) ? Make() : (live.empty() ? nullptr : live[rng() % live.size()]);
                kids[i] = k;
                ids[i] = k ? k->id : -1;
            }
            target->kids = kids;
            shadow[target->id].kids = ids;
        } else if (target->kids.Length() > 0) {
            int i = static_cast<int>(rng() % target->kids.Length());
            target->kids[i] = value;
            shadow[target->id].kids[i] = vid;
        }
    }

    std::mt19937 rng;
    std::map<int, Shadow> shadow;
    int next_id = 0;
};

TEST(CollectorStress, RandomGraphSurvivesIncrementalAndFullCycles) {
    for (auto& r : stress_roots) r = nullptr;
    CollectEverything();
    Stress stress(12345);

    // Thousands of objects in a few long chains and a random web.
    for (int slot = 0; slot < kRootSlots; ++slot) stress_roots[slot] = stress.Make();
    std::vector<TestNode*> live;
    for (auto& [id, node] : stress.Reachable()) live.push_back(node);
    for (int i = 0; i < 3000; ++i) {
        TestNode* parent = live[stress.rng() % live.size()];
        TestNode* child = stress.Make();
        if (stress.rng() % 2) {
            parent->a = child;
            stress.shadow[parent->id].a = child->id;
        } else {
            parent->b = child;
            stress.shadow[parent->id].b = child->id;
        }
        live.push_back(child);
        // Links may have cut earlier children loose; keep to reachable ones.
        if (i % 500 == 499) {
            live.clear();
            for (auto& [id, node] : stress.Reachable()) live.push_back(node);
        }
    }

    int full_cycles = 0;
    for (int round = 0; round < 400; ++round) {
        live.clear();
        for (auto& [id, node] : stress.Reachable()) live.push_back(node);
        for (int m = 0; m < 25; ++m) stress.Mutate(live);
        // Every event is followed by one step; now and then enough native bytes
        // are reported to end the cycle.
        if (round % 40 == 39) {
            gc_add_external_bytes(GC_FULL_COLLECTION_BYTES);
            ++full_cycles;
        }
        int bit = gc_heap().mark_bit;
        gc_collect_step();
        ASSERT_STREQ(gc_check_heap(), "") << "round " << round;
        if (gc_heap().mark_bit != bit) {
            // Right after a sweep: nothing reachable may be on the garbage list.
            for (auto& [id, node] : stress.Reachable())
                ASSERT_FALSE(OnList(&gc_heap().garbage, node)) << "reachable object " << id << " swept";
        }
    }
    EXPECT_GE(full_cycles, 8);

    // With the graph at rest, two full cycles find every unreachable object.
    CollectEverything();
    ASSERT_STREQ(gc_check_heap(), "");
    std::map<int, TestNode*> reachable = stress.Reachable();
    EXPECT_EQ(LiveNodes().size(), reachable.size()) << "unreachable objects were not destroyed";
    for (auto& [id, node] : reachable) EXPECT_TRUE(IsLive(node));

    for (auto& r : stress_roots) r = nullptr;
    CollectEverything();
    EXPECT_TRUE(LiveNodes().empty());
}

}  // namespace
