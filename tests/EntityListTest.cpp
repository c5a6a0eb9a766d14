// The list every game object lives in: walks in creation order with removal during the walk, removals of records
// no longer listed, and a list emptied in the middle of its own walk.
#include "core/EntityList.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
struct Item {
    int Value = 0;
};

EntityList<Item> ListOf(std::initializer_list<int> values) {
    EntityList<Item> list;
    for (int v : values) list.Add().Value = v;
    return list;
}

std::vector<int> ValuesOf(const EntityList<Item>& list) {
    std::vector<int> values;
    list.Each([&](const Item& item) { values.push_back(item.Value); });
    return values;
}
} // namespace

TEST(EntityListTest, NewRecordsAreZeroAndWalkedInCreationOrder) {
    EntityList<Item> list;
    EXPECT_EQ(list.Add().Value, 0);
    list.Add().Value = 7;
    EXPECT_EQ(ValuesOf(list), (std::vector<int>{0, 7}));
    EXPECT_EQ(list.Count(), 2u);
    // A record added where one was removed (its memory taken back) starts at zero too, at the end of the list.
    list.Walk([&](Item& item) { item.Value += 1; });
    list.Walk([&](Item& item) {
        if (item.Value == 1) list.Remove(item);
    });
    EXPECT_EQ(list.Add().Value, 0);
    EXPECT_EQ(ValuesOf(list), (std::vector<int>{8, 0}));
}

TEST(EntityListTest, RemovingTheCurrentRecordLetsItFinishItsStepsAndTheWalkGoesOn) {
    EntityList<Item> list = ListOf({1, 2, 3});
    std::vector<int> seen;
    list.Walk([&](Item& item) {
        if (item.Value == 2) list.Remove(item);
        item.Value *= 10; // the removed record is still ours until the walk ends
        seen.push_back(item.Value);
    });
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(ValuesOf(list), (std::vector<int>{10, 30}));
}

TEST(EntityListTest, RemovingARecordTwiceOrOneLaterInTheListDoesWhatItShould) {
    EntityList<Item> list = ListOf({1, 2, 3});
    std::vector<int> seen;
    Item* last = nullptr;
    list.Each([&](const Item& item) { last = const_cast<Item*>(&item); });
    list.Walk([&](Item& item) {
        seen.push_back(item.Value);
        list.Remove(item);
        list.Remove(item); // no longer listed: nothing happens
        if (item.Value == 1) list.Remove(*last);
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 2})); // the record removed ahead is not reached
    EXPECT_EQ(list.Count(), 0u);
    Item stranger;
    list.Remove(stranger);
    EXPECT_EQ(list.Count(), 0u);
}

TEST(EntityListTest, EmptyingTheListDuringItsWalkEndsTheWalkAfterTheCurrentRecord) {
    EntityList<Item> list = ListOf({1, 2, 3, 4});
    std::vector<int> seen;
    list.Walk([&](Item& item) {
        if (item.Value == 2) list.Clear();
        item.Value += 100;
        seen.push_back(item.Value);
    });
    EXPECT_EQ(seen, (std::vector<int>{101, 102}));
    EXPECT_EQ(list.Count(), 0u);
    list.Add().Value = 5;
    EXPECT_EQ(ValuesOf(list), (std::vector<int>{5}));
}

TEST(EntityListTest, RecordsAddedDuringAWalkAreReachedByIt) {
    EntityList<Item> list = ListOf({1});
    std::vector<int> seen;
    list.Walk([&](Item& item) {
        seen.push_back(item.Value);
        if (item.Value < 3) list.Add().Value = item.Value + 1;
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}
