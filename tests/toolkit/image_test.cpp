#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "resources/resource.h"
#include "toolkit/internal.h"
#include "toolkit/image.h"

namespace {

std::vector<uint8_t> EmbeddedData(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
}

// Caught from a copy that ends right where an inaccessible page begins, so reading one byte too
// far crashes.
intptr_t CatchGuarded(kv::ObjectNumber number, const std::vector<uint8_t>& data) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    const size_t pages = (data.size() + page - 1) / page + 1;
    auto* base = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    uint8_t* guard = base + (pages - 1) * page;
    DWORD old = 0;
    VirtualProtect(guard, page, PAGE_NOACCESS, &old);
    std::memcpy(guard - data.size(), data.data(), data.size());
    const intptr_t result = kv::CatchImage(number, guard - data.size(), data.size());
    VirtualFree(base, 0, MEM_RELEASE);
    return result;
}

bool IconAlive(HANDLE icon) {
    ICONINFO parts{};
    if (!GetIconInfo(static_cast<HICON>(icon), &parts))
        return false;
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    return true;
}

// A 3 x 2 bitmap file of 24 bits per pixel, all black.
std::vector<uint8_t> SmallBitmap() {
    std::vector<uint8_t> file = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                 0,   0,   0,  3, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
    file.resize(78);
    return file;
}

class ImageTest : public testing::Test {
  protected:
    void SetUp() override { kv::InitImageLibrary(); }
    void TearDown() override { kv::FreeAllImages(); }

    const std::vector<uint8_t> armed_ = EmbeddedData(KV_DATA_ICON_ARMED);
    const std::vector<uint8_t> running_ = EmbeddedData(KV_DATA_ICON_RUNNING);
};

TEST_F(ImageTest, IconsAreSixteenSquareAndCatchingUnderAUsedNumberDestroysTheOlderImage) {
    const auto first = reinterpret_cast<HANDLE>(CatchGuarded(1, armed_));
    ASSERT_TRUE(IconAlive(first));
    const auto second = reinterpret_cast<HANDLE>(CatchGuarded(1, running_));
    EXPECT_EQ(kv::ImageID(1), second);
    EXPECT_EQ(kv::ImageWidth(1), 16);
    EXPECT_EQ(kv::ImageHeight(1), 16);
    EXPECT_FALSE(IconAlive(first));
    // A failing catch still frees the number.
    EXPECT_EQ(CatchGuarded(1, {'n', 'o'}), 0);
    EXPECT_FALSE(IconAlive(second));
    EXPECT_EQ(kv::ImageID(1), nullptr);

    const HANDLE icon = kv::ImageID(CatchGuarded(kv::kDynamicNumber, armed_));
    EXPECT_TRUE(IconAlive(icon));
    kv::FreeAllImages();
    EXPECT_FALSE(IconAlive(icon));
}

TEST_F(ImageTest, TruncatedGarbageAndLyingFilesFailWithoutReadingPastTheirEnd) {
    for (const std::vector<uint8_t>& whole : {armed_, SmallBitmap()}) {
        ASSERT_NE(CatchGuarded(1, whole), 0);
        for (size_t length = 0; length < whole.size(); ++length)
            ASSERT_EQ(CatchGuarded(1, {whole.begin(), whole.begin() + length}), 0) << length;
    }
    EXPECT_EQ(CatchGuarded(1, {'K', 'o', 'r', 'v', 'a', 'l', 't', '!', 0, 0, 0, 0, 0, 0}), 0);

    const struct {
        const char* what;
        bool inBitmap;
        size_t offset;
        uint32_t value;
    } lies[] = {
        {"image size past the end", false, 14, 750},
        {"image offset wrapping", false, 18, 0xFFFFFFF0},
        {"icon width", false, 22 + 4, 0x7FFFFFFF},
        {"icon colours", false, 22 + 32, 200},
        {"bitmap pixel offset", true, 10, 0xFFFFFF00},
        {"bitmap width", true, 18, 0x4000},
        {"bitmap compression", true, 30, BI_RLE4},
    };
    for (const auto& lie : lies) {
        std::vector<uint8_t> file = lie.inBitmap ? SmallBitmap() : armed_;
        std::memcpy(file.data() + lie.offset, &lie.value, sizeof lie.value);
        EXPECT_EQ(CatchGuarded(1, file), 0) << lie.what;
    }
}

}  // namespace
