#include <gtest/gtest.h>

#include "gc_test_support.h"
#include "runtime/string.h"

namespace {

TEST(Arrays, LengthZeroIsTheTypesSharedEmptyBlock) {
    EXPECT_EQ(Array<int>(0).Rep(), Array<int>().Rep());
    EXPECT_EQ(Array<float>(-3).Rep(), Array<float>().Rep());
    EXPECT_EQ(Array<bool>(4).Resized(0).Rep(), Array<bool>().Rep());
    EXPECT_EQ(Array<String>(2).Prefix(0).Rep(), Array<String>().Rep());
    EXPECT_EQ(Array<TestNode*>().Rep()->flags, 3);
    EXPECT_NE(static_cast<void*>(Array<int>().Rep()), static_cast<void*>(Array<float>().Rep()));
}

TEST(Arrays, NewElementsAreZeroAndStringsEmpty) {
    Array<int> ints(5);
    Array<TestNode*> nodes(3);
    Array<String> strings(2);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ints[i], 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(nodes[i], nullptr);
    EXPECT_TRUE(strings[1].IsEmpty());
    EXPECT_EQ(Array<bool>(3).Rep()->BlockSize() % 8, 0);
}

TEST(Arrays, ResizedCopiesThePrefixAndZeroesTheRest) {
    Array<int> a = Array<int>::Of({1, 2, 3});
    Array<int> longer = a.Resized(5);
    ASSERT_EQ(longer.Length(), 5);
    EXPECT_EQ(longer[2], 3);
    EXPECT_EQ(longer[4], 0);
    Array<int> shorter = a.Resized(2);
    ASSERT_EQ(shorter.Length(), 2);
    EXPECT_EQ(shorter[1], 2);
    EXPECT_FALSE(shorter.SameBlock(a));
}

TEST(Arrays, PrefixCountsNegativeFromTheEnd) {
    Array<int> a = Array<int>::Of({1, 2, 3, 4});
    EXPECT_EQ(a.Prefix(-1).Length(), 3);
    EXPECT_EQ(a.Prefix(9).Length(), 4);
    EXPECT_EQ(a.Prefix(-9).Length(), 0);
    EXPECT_EQ(a.Prefix(2)[1], 2);
}

TEST(Arrays, StringElementsAreCountedAndReleasedWithTheBlock) {
    String text("kept");
    {
        Array<String> strings = Array<String>::Of({text, text});
        EXPECT_EQ(strings.Length(), 2);
        EXPECT_EQ(text.Rep()->count, 3);
    }
    gc_full_collection();
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    EXPECT_EQ(text.Rep()->count, 1) << "the dead block released its strings";
}

TEST(Arrays, ObjectArrayBlocksMarkTheirElements) {
    Array<TestNode*> nodes(2);
    TestNode* n = new TestNode(7);
    nodes[1] = n;
    std::vector<gc_object*> seen;
    gc_set_visitor([](gc_object* child, void* context) { static_cast<std::vector<gc_object*>*>(context)->push_back(child); },
                   &seen);
    nodes.Rep()->MarkChildren();
    Array<int>(3).Rep()->MarkChildren();
    gc_set_visitor(nullptr, nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], n);
}

}  // namespace
