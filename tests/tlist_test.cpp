// The object list's walk rules: removal during a walk, appends visited, identity-based removal.
#include <gtest/gtest.h>

#include <vector>

#include "engine/tlist.h"

namespace {
struct Item {
    int id = 0;
    bool operator==(const Item&) const = default;
};

std::vector<int> Ids(TList<Item>& list) {
    std::vector<int> ids;
    list.ForEach([&](Item& it) { ids.push_back(it.id); });
    return ids;
}
} // namespace

TEST(TList, WalkVisitsInInsertionOrderAndAppendsDuringWalk) {
    TList<Item> list;
    list.AddLast({1});
    list.AddLast({2});
    std::vector<int> seen;
    list.ForEach([&](Item& it) {
        seen.push_back(it.id);
        if (it.id == 1) list.AddLast({3});
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.Count(), 3u);
}

TEST(TList, RemovalDuringWalkOfSelfAndOfALaterElement) {
    TList<Item> list;
    for (int i = 1; i <= 4; ++i) list.AddLast({i});
    std::vector<int> seen;
    list.ForEach([&](Item& it) {
        seen.push_back(it.id);
        if (it.id == 1) {
            EXPECT_TRUE(list.Remove(&it)); // itself
        }
        if (it.id == 2) {
            EXPECT_TRUE(list.Remove(list.At(1))); // element 3 (1 is gone already)
        }
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(Ids(list), (std::vector<int>{2, 4}));
}

TEST(TList, RemoveIsByIdentityAndHarmlessTwice) {
    TList<Item> list;
    Item& a = list.AddLast({7});
    list.AddLast({7});
    Item outside{7};
    EXPECT_FALSE(list.Remove(&outside)); // equal value, different object
    EXPECT_TRUE(list.Remove(&a));
    EXPECT_FALSE(list.Remove(&a));
    EXPECT_EQ(list.Count(), 1u);
}

TEST(TList, NestedWalkAndClearDuringWalk) {
    TList<Item> list;
    for (int i = 1; i <= 3; ++i) list.AddLast({i});
    int inner = 0, outer = 0;
    list.ForEach([&](Item&) {
        ++outer;
        list.ForEach([&](Item&) { ++inner; });
        list.Clear();
    });
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 3);
    EXPECT_TRUE(list.Empty());
}

TEST(TList, CopiesAreIndependentValues) {
    TList<Item> list;
    list.AddLast({1});
    Item& two = list.AddLast({2});
    list.Remove(&two);
    TList<Item> copy = list;
    EXPECT_TRUE(copy == list);
    copy.AddLast({5});
    EXPECT_FALSE(copy == list);
    EXPECT_EQ(Ids(list), (std::vector<int>{1}));
}
