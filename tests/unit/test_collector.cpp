#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "gc_test_support.h"
#include "runtime/string.h"

#if GC_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

// The tests' one global root slot, enqueued at the start of every cycle.
gc_root<TestNode> root;

class Collector : public ::testing::Test {
protected:
    void SetUp() override {
        root = nullptr;
        CollectEverything();
        ASSERT_STREQ(gc_check_heap(), "");
    }
    void TearDown() override {
        root = nullptr;
        EXPECT_STREQ(gc_check_heap(), "");
    }
    gc_state& heap = gc_heap();
};

TEST_F(Collector, NewObjectsAreWhiteAtTheTailOfTheWhiteList) {
    TestNode* node = new TestNode(1);
    EXPECT_TRUE(gc_is_white(node));
    EXPECT_EQ(heap.white.pred, node);
    EXPECT_EQ(node->BlockSize() % 8, 0);
    EXPECT_GE(node->BlockSize(), static_cast<int>(sizeof(TestNode)));
}

TEST_F(Collector, ValueInitialisedObjectsKeepTheirHeader) {
    // `new T()` zero-fills a class without a user-provided constructor.
    Sized<40>* plain = new Sized<40>();
    EXPECT_EQ(plain->BlockSize(), 40);
    EXPECT_TRUE(gc_is_white(plain));
    EXPECT_EQ(heap.white.pred, plain);
    EXPECT_STREQ(gc_check_heap(), "");
}

TEST_F(Collector, BarrierStoresNullWithoutTouchingLists) {
    root = new TestNode(1);
    int grey = ListLength(&heap.grey), white = ListLength(&heap.white);
    TestNode* slot = root;
    gc_store(slot, nullptr);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(ListLength(&heap.grey), grey);
    EXPECT_EQ(ListLength(&heap.white), white);
}

TEST_F(Collector, StoringAGreyOrBlackObjectChangesNoList) {
    TestNode* grey = new TestNode(1);
    TestNode* black = new TestNode(2);
    gc_enqueue(grey);
    gc_mark_now(black);
    ASSERT_TRUE(OnList(&heap.grey, grey));
    ASSERT_TRUE(OnList(&heap.black, black));
    gc_object* grey_next = grey->succ;
    gc_object* black_next = black->succ;
    TestNode* slot = nullptr;
    gc_store(slot, grey);
    gc_store(slot, black);
    EXPECT_EQ(grey->succ, grey_next);
    EXPECT_EQ(black->succ, black_next);
    EXPECT_TRUE(OnList(&heap.grey, grey));
    EXPECT_TRUE(OnList(&heap.black, black));
}

TEST_F(Collector, NewObjectStoredIntoABlackObjectSurvivesTheSweep) {
    root = new TestNode(1);
    gc_mark_some(0x7fffffff);  // the root is black now, its cycle still open
    ASSERT_TRUE(OnList(&heap.black, root));
    TestNode* late = new TestNode(2, 77);
    root->a = late;  // a plain assignment: the field's type is the barrier
    EXPECT_TRUE(OnList(&heap.grey, late));
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    EXPECT_TRUE(IsLive(late));
    EXPECT_EQ(root->a->payload, 77);
}

TEST_F(Collector, ObjectNeverStoredBecomesGarbageAndIsDestroyedLater) {
    TestNode* lost = new TestNode(1);
    gc_full_collection();
    EXPECT_TRUE(OnList(&heap.garbage, lost));
    EXPECT_TRUE(IsLive(lost)) << "destruction waits for a later allocation";
    gc_destroy_garbage(0x7fffffff);
    EXPECT_FALSE(IsLive(lost));
}

TEST_F(Collector, AllocationDestroysAboutItsOwnSizeOfGarbageOldestFirst) {
    TestNode* first = new TestNode(1);
    TestNode* second = new TestNode(2);
    TestNode* third = new TestNode(3);
    int size = first->BlockSize();
    gc_full_collection();
    ASSERT_EQ(heap.garbage_bytes, 3 * size);
    ASSERT_EQ(size, 64);
    new Sized<32>();  // target garbage - 32: one object goes
    EXPECT_FALSE(IsLive(first));
    EXPECT_TRUE(IsLive(second));
    EXPECT_TRUE(IsLive(third));
    new Sized<72>();  // more than one object's worth: two go
    EXPECT_FALSE(IsLive(second));
    EXPECT_FALSE(IsLive(third));
    EXPECT_EQ(heap.garbage_bytes, 0);
}

// Allocates n blocks of 40 bytes and returns their addresses, in order.
std::vector<char*> Allocate40(int n) {
    std::vector<char*> blocks;
    for (int i = 0; i < n; ++i) blocks.push_back(reinterpret_cast<char*>(new Sized<40>()));
    return blocks;
}

// Consecutive blocks from one slab are neighbours, lowest first; returns the
// slabs in the order they were used.
std::vector<gc_slab*> CheckAddressOrder(const std::vector<char*>& blocks) {
    std::vector<gc_slab*> slabs;
    for (size_t i = 0; i < blocks.size(); ++i) {
        gc_slab* slab = gc_slab_of(blocks[i]);
        EXPECT_EQ(slab->block_size, 40);
        if (i == 0 || slab != slabs.back()) {
            slabs.push_back(slab);
        } else {
            EXPECT_EQ(blocks[i], blocks[i - 1] + 40) << "allocation " << i;
        }
    }
    return slabs;
}

TEST_F(Collector, SmallBlocksComeFromOneSlabInAddressOrderAndAreReused) {
    const int per_slab = (GC_SLAB_BYTES - GC_SLAB_FIRST_BLOCK) / 40;
    std::vector<gc_slab*> first = CheckAddressOrder(Allocate40(2 * per_slab));
    EXPECT_LE(first.size(), 3u);
    // A full cycle of frees, then as many again.
    CollectEverything();
    std::vector<gc_slab*> second = CheckAddressOrder(Allocate40(2 * per_slab));
    EXPECT_LE(second.size(), 3u);
    if (!GC_CHECKED) {
        for (gc_slab* slab : second)
            EXPECT_NE(std::find(first.begin(), first.end(), slab), first.end()) << "freed slabs were not reused";
    }
    // Blocks of 64 bytes and more come from the general heap, never from a slab.
    Sized<64>* large = new Sized<64>();
    EXPECT_NE(gc_slab_of(large), gc_slab_of(new Sized<56>()));
    EXPECT_STREQ(gc_check_heap(), "");
}

// 48 bytes, holding a 32-byte leaf.
class Holder : public Object {
public:
    gc_ref<Object> leaf;
    int64_t payload = 0;
    GC_FIELDS(Object, leaf)
};

TEST_F(Collector, SlabMemoryStaysFlatUnderALastingLiveSet) {
    if (GC_CHECKED) GTEST_SKIP() << "checked builds hold destroyed blocks back";
    // The last 2,000 pairs stay live in a ring while older ones die; a step
    // every 100 allocations.
    gc_root<Array<Holder*>> ring;
    ring = Array<Holder*>(2000);
    auto churn = [&](int pairs) {
        for (int i = 0; i < pairs; ++i) {
            Holder* holder = new Holder();
            holder->leaf = new Sized<32>();
            ring[i % 2000] = holder;
            if (i % 50 == 49) gc_collect_step();
        }
    };
    // Until the heap has reached its size: a few full cycles of 8 MiB.
    const int cycle = GC_FULL_COLLECTION_BYTES / 80;
    churn(3 * cycle);
    size_t reached = gc_slab_memory();
    churn(5 * cycle);
    EXPECT_EQ(gc_slab_memory(), reached);
    EXPECT_STREQ(gc_check_heap(), "");
}

TEST_F(Collector, HeapCheckerFindsAListedObjectWhoseBlockIsMarkedFree) {
    Sized<48>* object = new Sized<48>();
    gc_slab* slab = gc_slab_of(object);
    unsigned granule = static_cast<unsigned>(reinterpret_cast<char*>(object) - reinterpret_cast<char*>(slab)) / 8;
    uint64_t bit = uint64_t(1) << (granule % 64);
    // What a second release of a live block would leave.
    slab->free[granule / 64] |= bit;
    ++slab->free_count;
    EXPECT_STREQ(gc_check_heap(), "a listed object's block is marked free");
    slab->free[granule / 64] &= ~bit;
    --slab->free_count;
    EXPECT_STREQ(gc_check_heap(), "");
}

TEST_F(Collector, CheckedBuildsPoisonDestroyedBlocksAndNeverRecycleThem) {
    if (!GC_CHECKED) GTEST_SKIP() << "release builds recycle blocks through their slabs";
    Sized<56>* small = new Sized<56>();
    Sized<64>* large = new Sized<64>();
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    for (int i = 0; i < 64; ++i) {
        EXPECT_NE(static_cast<void*>(new Sized<56>()), static_cast<void*>(small));
        EXPECT_NE(static_cast<void*>(new Sized<64>()), static_cast<void*>(large));
    }
#if GC_ASAN
    // A free block of a slab is poisoned until it is handed out.
    char* fresh = reinterpret_cast<char*>(new Sized<56>());
    if (gc_slab_of(fresh + 2 * 56 - 1) == gc_slab_of(fresh)) {
        EXPECT_TRUE(__asan_address_is_poisoned(fresh + 56));
    }
    EXPECT_TRUE(__asan_address_is_poisoned(small));
    EXPECT_TRUE(__asan_address_is_poisoned(reinterpret_cast<char*>(large) + 63));
    Object* dead = small;
    EXPECT_DEATH(dead->DebugText(), "use-after-poison");
#else
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(small);
    for (int i = 0; i < 56; ++i) ASSERT_EQ(bytes[i], 0xdb) << "byte " << i;
#endif
}

TEST_F(Collector, StaticEmptyBlocksStayPermanentAndUnlisted) {
    Array<int> ints;
    Array<TestNode*> nodes(0);
    Array<String> strings = Array<String>(5).Resized(0);
    for (int cycle = 0; cycle < 3; ++cycle) {
        gc_enqueue(ints);
        gc_mark_now(nodes.Rep());
        gc_store_array(nodes, Array<TestNode*>());
        gc_full_collection();
    }
    EXPECT_EQ(ints.Rep()->flags, 3);
    EXPECT_EQ(nodes.Rep()->flags, 3);
    EXPECT_EQ(strings.Rep()->flags, 3);
    EXPECT_EQ(gc_find_object(reinterpret_cast<uintptr_t>(ints.Rep())), nullptr);
    EXPECT_EQ(gc_find_object(reinterpret_cast<uintptr_t>(nodes.Rep())), nullptr);
    EXPECT_EQ(nodes.Rep(), Array<TestNode*>().Rep());
}

TEST_F(Collector, ArrayBarrierMarksTheBlockAndItsElementsAtOnce) {
    root = new TestNode(1);
    gc_mark_some(0x7fffffff);
    Array<TestNode*> kids(2);
    TestNode* k0 = new TestNode(2);
    kids[0] = k0;
    // A white block may hold a white object without the barrier; the block is
    // not reachable yet.
    TestNode* k1 = new TestNode(3);
    kids.Rep()->Elements()[1] = k1;  // written in place, as a new block's elements are
    root->kids = kids;
    EXPECT_TRUE(OnList(&heap.black, kids.Rep()));
    EXPECT_TRUE(OnList(&heap.grey, k0)) << "already queued by the element store";
    EXPECT_TRUE(OnList(&heap.black, k1)) << "marked with the block";
    EXPECT_STREQ(gc_check_heap(), "");
}

// No step or barrier scans a large array whole: each step scans a slice and
// the array stays grey meanwhile, under the tri-colour rule; what is stored
// into it during the cycle, before or after the scanned part, survives.
TEST_F(Collector, ALargeArrayIsScannedASliceAStep) {
    const int slices = 10, n = slices * ArrayRep<TestNode*>::GC_SLICE_ELEMENTS;
    root = new TestNode(0);
    root->kids = Array<TestNode*>(n);
    for (int i = 0; i < n; ++i) root->kids[i] = new TestNode(i + 1);
    gc_full_collection();  // a new cycle: all white, the root queued
    Array<TestNode*> kids = root->kids;
    gc_mark_some(heap.marked_bytes + 1);
    ASSERT_TRUE(OnList(&heap.grey, kids.Rep()));
    int steps = 0;
    TestNode *early = nullptr, *late = nullptr;
    while (!OnList(&heap.black, kids.Rep())) {
        ASSERT_LT(steps, n) << "the slices never end";
        gc_mark_some(heap.marked_bytes + 1);
        ++steps;
        EXPECT_LE(ListLength(&heap.black), 1 + steps * ArrayRep<TestNode*>::GC_SLICE_ELEMENTS + 1);
        ASSERT_STREQ(gc_check_heap(), "");
        if (steps == slices / 2) {
            early = kids[0] = new TestNode(-1);
            late = kids[n - 1] = new TestNode(-2);
        }
    }
    EXPECT_EQ(steps, slices);
    // A white large array marked at once (as the array barrier does) is
    // only queued.
    Array<TestNode*> more(n);
    gc_mark_now(more.Rep());
    EXPECT_TRUE(OnList(&heap.grey, more.Rep()));
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    EXPECT_TRUE(IsLive(early));
    EXPECT_TRUE(IsLive(late));
    for (int i = 1; i < n - 1; ++i) ASSERT_TRUE(IsLive(kids[i])) << i;
}

TEST_F(Collector, StepAtExactly8MiBIsIncrementalOneByteMoreIsFull) {
    int saved_new = heap.new_bytes;
    int bit = heap.mark_bit;
    gc_add_external_bytes(1000);
    heap.new_bytes = GC_FULL_COLLECTION_BYTES - 1000;
    gc_collect_step();
    EXPECT_EQ(heap.mark_bit, bit) << "exactly 8 MiB must not end the cycle";
    EXPECT_EQ(gc_external_new_bytes(), 1000);
    heap.new_bytes = GC_FULL_COLLECTION_BYTES - 999;
    gc_collect_step();
    EXPECT_NE(heap.mark_bit, bit) << "one byte more ends the cycle";
    EXPECT_EQ(heap.new_bytes, 0);
    EXPECT_EQ(gc_external_new_bytes(), 0);
    heap.new_bytes = saved_new;
}

TEST_F(Collector, StepTargetUses64BitArithmetic) {
    EXPECT_EQ(gc_step_target(0, 1000), 0);
    EXPECT_EQ(gc_step_target(1000, 1000), 1000);
    // 4 MiB new of 5 MiB allocated: 4 MiB x 1 MiB overflows 32 bits.
    EXPECT_EQ(gc_step_target(4 << 20, 5 << 20), (4 << 20) + (1 << 19));
    EXPECT_EQ(gc_step_target(8 << 20, 100 << 20), (8 << 20) + (92 << 20));
    // A negative share (more new than allocated) truncates toward zero.
    EXPECT_EQ(gc_step_target(3, 1), 3);
}

TEST_F(Collector, IncrementalStepMarksInProportionToAllocation) {
    root = new TestNode(0);
    TestNode* tail = root;
    for (int i = 1; i < 200; ++i) {
        TestNode* next = new TestNode(i);
        tail->a = next;
        tail = next;
    }
    gc_full_collection();  // starts a cycle with the root queued
    int marked_before = heap.marked_bytes;
    heap.new_bytes = 3 * root->BlockSize();
    gc_collect_step();
    EXPECT_GE(heap.marked_bytes - marked_before, 3 * root->BlockSize());
    EXPECT_LT(heap.marked_bytes, 200 * root->BlockSize()) << "a small step must not mark everything";
    heap.new_bytes = 0;
}

TEST_F(Collector, ExternalBytesAreAddedAtomicallyFromThreads) {
    int before = gc_external_new_bytes();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 10000; ++i) gc_add_external_bytes(1);
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(gc_external_new_bytes() - before, 40000);
    gc_full_collection();
}

TEST_F(Collector, FindObjectAcceptsOnlyListedObjects) {
    TestNode* node = new TestNode(1);
    EXPECT_EQ(gc_find_object(reinterpret_cast<uintptr_t>(node)), node);
    EXPECT_EQ(gc_find_object(reinterpret_cast<uintptr_t>(node) + 8), nullptr);
    EXPECT_EQ(gc_find_object(0), nullptr);
    EXPECT_EQ(gc_find_object(0x1234), nullptr);
}

TEST_F(Collector, HeapCheckerFindsABlackToWhiteReference) {
    root = new TestNode(1);
    root->kids = Array<TestNode*>(1);
    gc_mark_some(0x7fffffff);
    TestNode* white = new TestNode(2);
    root->kids.Rep()->Elements()[0] = white;  // a store that bypasses the barrier
    EXPECT_STRNE(gc_check_heap(), "");
    gc_enqueue(white);  // what the barrier would have done
    EXPECT_STREQ(gc_check_heap(), "");
}

TEST_F(Collector, PlainElementStoreIntoABlackArrayIsTheBarrier) {
    root = new TestNode(1);
    root->kids = Array<TestNode*>(2);
    gc_mark_some(0x7fffffff);
    ASSERT_TRUE(OnList(&heap.black, root->kids.Rep()));
    TestNode* late = new TestNode(2, 88);
    root->kids[1] = late;  // no barrier call: the element's type is the barrier
    EXPECT_TRUE(OnList(&heap.grey, late));
    EXPECT_STREQ(gc_check_heap(), "");  // the tri-colour rule, and the census in checked builds
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    EXPECT_TRUE(IsLive(late));
    EXPECT_EQ(root->kids[1]->payload, 88);
    // Element to element copies the value through the barrier too.
    root->kids[0] = root->kids[1];
    EXPECT_EQ(static_cast<TestNode*>(root->kids[0]), late);
    EXPECT_STREQ(gc_check_heap(), "");
}

TEST_F(Collector, RootsKeepTheirObjectsWhileTheyExistAndStoreThroughTheBarrier) {
    TestNode* held;
    TestNode* element;
    {
        gc_root<TestNode> local;
        gc_root<Array<TestNode*>> localArray;
        local = new TestNode(1);
        held = local;
        localArray = Array<TestNode*>(1);
        element = new TestNode(2);
        localArray[0] = element;
        CollectEverything();
        EXPECT_TRUE(IsLive(held));
        EXPECT_TRUE(IsLive(element));
    }
    CollectEverything();
    EXPECT_FALSE(IsLive(held)) << "a destroyed root left its object reachable";
    EXPECT_FALSE(IsLive(element));

    // Roots are queued when a cycle starts; one assigned after they were all
    // scanned is kept by its barrier.
    gc_mark_some(0x7fffffff);
    root = new TestNode(3, 33);
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    EXPECT_TRUE(IsLive(root));
}

// Census cases: reference fields of both kinds, listed in GC_FIELDS or not.
class TwoFields : public Object {
public:
    gc_ref<TestNode> node;
    gc_array<TestNode*> nodes;
};
class ListsBoth : public TwoFields {
public:
    GC_FIELDS(Object, node, nodes)
};
class LeavesOutTheArray : public TwoFields {
public:
    GC_FIELDS(Object, node)
};
class LeavesOutTheRef : public TwoFields {
public:
    GC_FIELDS(Object, nodes)
};
class ListsItsBase : public ListsBoth {
public:
    gc_ref<TestNode> own;
    GC_FIELDS(ListsBoth, own)
};
class SkipsItsBase : public ListsBoth {
public:
    gc_ref<TestNode> own;
    GC_FIELDS(Object, own)
};

// The fault gc_check_heap reports for the field at `field` of `object`.
std::string UnvisitedField(const void* object, const void* field) {
    return "byte " + std::to_string(static_cast<const char*>(field) - static_cast<const char*>(object)) + " of ";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(Collector, CensusReportsEveryReferenceFieldItsClassLeavesOut) {
    if (!GC_CHECKED) GTEST_SKIP() << "the census of reference fields exists in debug and sanitizer builds only";
    new ListsBoth();
    new ListsItsBase();
    EXPECT_STREQ(gc_check_heap(), "");

    TwoFields* withoutArray = new LeavesOutTheArray();
    EXPECT_PRED2(Contains, gc_check_heap(), UnvisitedField(withoutArray, &withoutArray->nodes));
    CollectEverything();
    TwoFields* withoutRef = new LeavesOutTheRef();
    EXPECT_PRED2(Contains, gc_check_heap(), UnvisitedField(withoutRef, &withoutRef->node));
    CollectEverything();
    ListsBoth* withoutBase = new SkipsItsBase();
    EXPECT_PRED2(Contains, gc_check_heap(), UnvisitedField(withoutBase, &withoutBase->node));
    CollectEverything();
    EXPECT_STREQ(gc_check_heap(), "");
}

TEST(ObjectModel, CompareWithIsTheSignOfTheFullAddressDifference) {
    Object* a = new Object();
    Object* b = new Object();
    int ab = a->CompareWith(b), ba = b->CompareWith(a);
    EXPECT_TRUE((ab == -1 && ba == 1) || (ab == 1 && ba == -1));
    EXPECT_EQ(a->CompareWith(a), 0);
    EXPECT_TRUE(a->IsEqualTo(a));
    EXPECT_FALSE(a->IsEqualTo(b));
    EXPECT_EQ(a->DebugText(), String("+Object\n"));
    // Two addresses 4 GiB apart differ by zero in their low 32 bits: a cut
    // difference would call them equal.
    Object* far = reinterpret_cast<Object*>(reinterpret_cast<uintptr_t>(a) + (uintptr_t(1) << 32));
    EXPECT_EQ(a->CompareWith(far), -1);
}

}  // namespace
