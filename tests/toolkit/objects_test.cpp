#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "toolkit/objects.h"

namespace {

struct Record {
    int handle = 0;
    bool InUse() const { return handle != 0; }
};

using Table = kv::ObjectTable<Record>;
using Seen = std::vector<std::pair<kv::ObjectNumber, int>>;

// Frees the number the way a kind's free operation does and notes the call.
Table* gTable = nullptr;
std::vector<kv::ObjectNumber> gReleased;
void ReleaseForTest(kv::ObjectNumber number) {
    gReleased.push_back(number);
    if (gTable->Lookup(number))
        gTable->Release(number);
}

class ObjectTableTest : public ::testing::Test {
  protected:
    ObjectTableTest() { gTable = &table; }
    ~ObjectTableTest() override { gReleased.clear(); }

    kv::ObjectNumber Create(kv::ObjectNumber number, int handle) {
        kv::ObjectNumber assigned = 0;
        Record* record = table.Allocate(number, &assigned);
        EXPECT_NE(record, nullptr) << number;
        if (record)
            record->handle = handle;
        return assigned;
    }

    // Visits every object; when `releasing`, releases each one, and `other` on reaching `at`.
    Seen Visit(bool releasing = false, kv::ObjectNumber at = 0, kv::ObjectNumber other = 0) {
        Seen seen;
        kv::ObjectNumber number;
        Record* record;
        for (table.First(); table.Next(&number, &record);) {
            seen.emplace_back(number, record->handle);
            if (releasing) {
                table.Release(number);
                if (number == at)
                    table.Release(other);
            }
        }
        return seen;
    }

    Table table{16, &ReleaseForTest};
};

TEST_F(ObjectTableTest, GrowsToNumberPlusStepRefusesNumbersWithoutSlotAndReleasesOnReuse) {
    // Below -1 there is no slot; the others overflow number + step or exceed memory.
    for (kv::ObjectNumber number : {-2, INT_MIN, INT_MAX - 3, INT_MAX - 100})
        EXPECT_EQ(table.Allocate(number), nullptr) << number;
    Create(20, 200);
    EXPECT_EQ(table.Capacity(), 36);
    gReleased.clear();
    ASSERT_NE(table.Allocate(20), nullptr);
    EXPECT_EQ(gReleased, std::vector<kv::ObjectNumber>{20});
}

TEST_F(ObjectTableTest,
       DynamicObjectsIterateAfterStaticOnesAndReleasingDuringIterationSkipsNothing) {
    const kv::ObjectNumber first = Create(kv::kDynamicNumber, 1);
    const kv::ObjectNumber second = Create(kv::kDynamicNumber, 2);
    const kv::ObjectNumber third = Create(kv::kDynamicNumber, 3);
    Create(15, 150);
    Create(1, 10);
    EXPECT_EQ(Visit(), (Seen{{1, 10}, {15, 150}, {first, 1}, {second, 2}, {third, 3}}));
    // Releasing the next dynamic object as well drops only that one.
    EXPECT_EQ(Visit(true, first, second), (Seen{{1, 10}, {15, 150}, {first, 1}, {third, 3}}));
    EXPECT_TRUE(Visit().empty());
}

TEST_F(ObjectTableTest, StaleNegativeAndFarOutNumbersReadAsNotInUse) {
    Create(5, 50);
    const kv::ObjectNumber dynamic = Create(kv::kDynamicNumber, 7);
    table.Release(5);
    table.Release(dynamic);
    // A record in use that the table never handed out: its address is no number of the table.
    Record stranger{99};
    const auto strangerNumber =
        static_cast<kv::ObjectNumber>(reinterpret_cast<intptr_t>(&stranger));
    // 0x1000 lies in the never-mapped first pages: reading it would crash the test.
    for (kv::ObjectNumber number : {5, dynamic, -2, 1000, 0x1000, INT_MIN, strangerNumber})
        EXPECT_EQ(table.Lookup(number), nullptr) << number;
    table.Release(strangerNumber);
    EXPECT_EQ(stranger.handle, 99);
}

}  // namespace
