#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "toolkit/objects.h"

namespace kv {

struct Record {
    int handle = 0;
    bool InUse() const { return handle != 0; }
};
using Seen = std::vector<std::pair<ObjectNumber, int>>;

// Frees the number the way a kind's free operation does, re-entering the table, and notes it.
ObjectTable<Record>* table = nullptr;
std::vector<ObjectNumber> released;
void ReleaseForTest(ObjectNumber number) {
    released.push_back(number);
    if (table->Lookup(number))
        table->Release(number);
}

class ObjectTableTest : public ::testing::Test {
  protected:
    ObjectTableTest() { table = &table_; }

    ObjectNumber Create(ObjectNumber number, int handle) {
        ObjectNumber assigned = 0;
        table_.Allocate(number, &assigned)->handle = handle;
        return assigned;
    }

    // Visits every object; when `releasing`, releases each one, and `other` on reaching `at`.
    Seen Visit(bool releasing = false, ObjectNumber at = 0, ObjectNumber other = 0) {
        Seen seen;
        table_.ForEachNumber([&](ObjectNumber number) {
            seen.emplace_back(number, table_.Lookup(number)->handle);
            if (releasing)
                table_.Release(number);
            if (releasing && number == at)
                table_.Release(other);
        });
        return seen;
    }

    ObjectTable<Record> table_{16, &ReleaseForTest};
};

TEST_F(ObjectTableTest,
       DynamicObjectsIterateAfterStaticOnesAndReleasingDuringIterationSkipsNothing) {
    const ObjectNumber first = Create(kDynamicNumber, 1);
    const ObjectNumber second = Create(kDynamicNumber, 2);
    const ObjectNumber third = Create(kDynamicNumber, 3);
    Create(15, 150);
    Create(1, 10);
    EXPECT_EQ(Visit(), (Seen{{1, 10}, {15, 150}, {first, 1}, {second, 2}, {third, 3}}));
    // Releasing the next dynamic object as well drops only that one.
    EXPECT_EQ(Visit(true, first, second), (Seen{{1, 10}, {15, 150}, {first, 1}, {third, 3}}));
    EXPECT_TRUE(Visit().empty());
}

TEST_F(ObjectTableTest, GrowsToNumberPlusStepReleasesOnReuseAndRefusesOrIgnoresStrangeNumbers) {
    // Below -1 there is no slot; above the static bound none is made, whatever memory allows.
    for (ObjectNumber number : {ObjectNumber{-2}, ObjectNumber{INT_MIN}, kMaxStaticNumber + 1,
                                ObjectNumber{INT_MAX}, ObjectNumber{INTPTR_MAX}})
        EXPECT_EQ(table_.Allocate(number), nullptr) << number;
    EXPECT_EQ(table_.Capacity(), 16);
    Create(20, 200);
    EXPECT_EQ(table_.Capacity(), 36);
    Create(kMaxStaticNumber, 1);
    EXPECT_EQ(table_.Capacity(), kMaxStaticNumber + 1);
    EXPECT_EQ(table_.Lookup(kMaxStaticNumber)->handle, 1);
    released.clear();
    ASSERT_NE(table_.Allocate(20), nullptr);
    EXPECT_EQ(released, std::vector<ObjectNumber>{20});
    // Stale, negative and far-out numbers read as not in use.
    const ObjectNumber dynamic = Create(kDynamicNumber, 7);
    table_.Release(Create(5, 50));
    table_.Release(dynamic);
    // A record in use that the table never handed out: its address is no number of the table.
    Record stranger{99};
    const auto strangerNumber = reinterpret_cast<ObjectNumber>(&stranger);
    // 0x1000 lies in the never-mapped first pages: reading it would crash the test.
    for (ObjectNumber number : {ObjectNumber{5}, dynamic, ObjectNumber{-2}, ObjectNumber{1000},
                                ObjectNumber{0x1000}, ObjectNumber{INT_MIN}, strangerNumber})
        EXPECT_EQ(table_.Lookup(number), nullptr) << number;
    table_.Release(strangerNumber);
    EXPECT_EQ(stranger.handle, 99);
}

}  // namespace kv
