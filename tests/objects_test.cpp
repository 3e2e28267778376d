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

// The release function of the table under test: frees the number the way a kind's free
// operation does and notes the call.
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
    ~ObjectTableTest() override {
        gTable = nullptr;
        gReleased.clear();
    }

    kv::ObjectNumber Create(kv::ObjectNumber number, int handle) {
        kv::ObjectNumber assigned = 0;
        Record* record = table.Allocate(number, &assigned);
        EXPECT_NE(record, nullptr) << number;
        if (record)
            record->handle = handle;
        return assigned;
    }

    std::vector<std::pair<kv::ObjectNumber, int>> Visit(bool releaseEach = false) {
        std::vector<std::pair<kv::ObjectNumber, int>> seen;
        kv::ObjectNumber number;
        Record* record;
        table.First();
        while (table.Next(&number, &record)) {
            seen.emplace_back(number, record->handle);
            if (releaseEach)
                table.Release(number);
        }
        return seen;
    }

    Table table{16, &ReleaseForTest};
};

TEST_F(ObjectTableTest, GrowsToNumberPlusStep) {
    EXPECT_EQ(table.Capacity(), 16);
    Create(3, 33);
    Create(20, 200);
    EXPECT_EQ(table.Capacity(), 36);
    EXPECT_EQ(table.Lookup(3)->handle, 33);
    EXPECT_EQ(table.Lookup(20)->handle, 200);
    for (kv::ObjectNumber number = 16; number < 36; ++number) {
        if (number == 20)
            continue;
        EXPECT_EQ(table.Lookup(number), nullptr) << number;
    }
}

// Negative numbers other than -1 have no slot; the others overflow number + step or ask for
// more slots than memory can hold.
TEST_F(ObjectTableTest, NumbersWithoutPossibleSlotAreRefused) {
    for (kv::ObjectNumber number : {-2, -65535, INT_MIN, INT_MAX - 3, INT_MAX - 100}) {
        EXPECT_EQ(table.Allocate(number), nullptr) << number;
    }
    EXPECT_TRUE(gReleased.empty());
    EXPECT_EQ(table.Capacity(), 16);
    EXPECT_TRUE(Visit().empty());
}

TEST_F(ObjectTableTest, ReusingNumberReleasesPreviousHolder) {
    Create(4, 40);
    gReleased.clear();
    Record* record = table.Allocate(4);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(gReleased, std::vector<kv::ObjectNumber>{4});
    EXPECT_FALSE(record->InUse());
    EXPECT_EQ(table.Lookup(4), nullptr);
}

TEST_F(ObjectTableTest, DynamicNumbersCoexistAndIterateAfterStaticOnesOldestFirst) {
    const kv::ObjectNumber older = Create(kv::kDynamicNumber, 1);
    const kv::ObjectNumber newer = Create(kv::kDynamicNumber, 2);
    Create(9, 90);
    Create(0, 10);
    EXPECT_TRUE(gReleased == std::vector<kv::ObjectNumber>({9, 0}));
    EXPECT_NE(older, newer);
    for (kv::ObjectNumber number : {older, newer}) {
        EXPECT_TRUE(number < 0 || number >= table.Capacity()) << number;
    }
    EXPECT_EQ(table.Lookup(older)->handle, 1);
    EXPECT_EQ(table.Lookup(newer)->handle, 2);
    using Seen = std::vector<std::pair<kv::ObjectNumber, int>>;
    EXPECT_EQ(Visit(), (Seen{{0, 10}, {9, 90}, {older, 1}, {newer, 2}}));
}

TEST_F(ObjectTableTest, ReleasingDuringIterationSkipsNothing) {
    Create(1, 10);
    Create(2, 20);
    Create(15, 150);
    const kv::ObjectNumber first = Create(kv::kDynamicNumber, 1);
    const kv::ObjectNumber second = Create(kv::kDynamicNumber, 2);
    const kv::ObjectNumber third = Create(kv::kDynamicNumber, 3);
    using Seen = std::vector<std::pair<kv::ObjectNumber, int>>;
    EXPECT_EQ(Visit(true),
              (Seen{{1, 10}, {2, 20}, {15, 150}, {first, 1}, {second, 2}, {third, 3}}));
    EXPECT_TRUE(Visit().empty());
}

TEST_F(ObjectTableTest, ReleasingTheNextDynamicObjectDuringIterationDropsOnlyIt) {
    const kv::ObjectNumber first = Create(kv::kDynamicNumber, 1);
    const kv::ObjectNumber second = Create(kv::kDynamicNumber, 2);
    const kv::ObjectNumber third = Create(kv::kDynamicNumber, 3);
    std::vector<kv::ObjectNumber> seen;
    kv::ObjectNumber number;
    Record* record;
    table.First();
    while (table.Next(&number, &record)) {
        seen.push_back(number);
        if (number == first)
            table.Release(second);
    }
    EXPECT_EQ(seen, (std::vector<kv::ObjectNumber>{first, third}));
}

TEST_F(ObjectTableTest, UnknownNumbersReadAsNotInUse) {
    Create(5, 50);
    const kv::ObjectNumber dynamic = Create(kv::kDynamicNumber, 7);
    table.Release(5);
    table.Release(dynamic);
    EXPECT_EQ(table.Lookup(5), nullptr);
    EXPECT_EQ(table.Lookup(dynamic), nullptr);
    // A record in use that the table never handed out: its address is no number of the table.
    Record stranger{99};
    const auto strangerNumber =
        static_cast<kv::ObjectNumber>(reinterpret_cast<intptr_t>(&stranger));
    // 0x1000 lies in the never-mapped first pages: reading it would crash the test.
    for (kv::ObjectNumber number : {-1, -2, 16, 1000, 0x1000, INT_MAX, INT_MIN, strangerNumber}) {
        EXPECT_EQ(table.Lookup(number), nullptr) << number;
    }
    table.Release(strangerNumber);
    EXPECT_EQ(stranger.handle, 99);
    EXPECT_EQ(table.Capacity(), 16);
    EXPECT_TRUE(Visit().empty());
}

}  // namespace
