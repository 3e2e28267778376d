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

// A 3 x 2 bitmap file of 24 bits per pixel.
std::vector<uint8_t> SmallBitmap() {
    const uint8_t headers[] = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                               0,   0,   0,  3, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
    // Bottom-up: red green blue over white black grey.
    const uint8_t pixels[] = {0xFF, 0xFF, 0xFF, 0, 0,    0, 0x80, 0x80, 0x80, 0, 0, 0,
                              0,    0,    0xFF, 0, 0xFF, 0, 0xFF, 0,    0,    0, 0, 0};
    std::vector<uint8_t> file(54 + sizeof(pixels));
    std::memcpy(file.data(), headers, sizeof(headers));
    std::memcpy(file.data() + 54, pixels, sizeof(pixels));
    return file;
}

class ImageTest : public testing::Test {
  protected:
    void SetUp() override {
        kv::InitImageLibrary();
        armed_ = EmbeddedData(KV_DATA_ICON_ARMED);
        running_ = EmbeddedData(KV_DATA_ICON_RUNNING);
    }
    void TearDown() override { kv::FreeAllImages(); }

    std::vector<uint8_t> armed_;
    std::vector<uint8_t> running_;
};

TEST_F(ImageTest, EmbeddedIconsAreSixteenSquareIcons) {
    struct Expected {
        const std::vector<uint8_t>& file;
        size_t size;
        uint32_t colours;
    };
    kv::ObjectNumber number = 1;
    for (const Expected& icon : {Expected{armed_, 750, 92}, Expected{running_, 738, 89}}) {
        ASSERT_EQ(icon.file.size(), icon.size);
        EXPECT_EQ(icon.file[22 + 32], icon.colours);  // the first image starts at 22
        const auto handle = reinterpret_cast<HANDLE>(CatchGuarded(number, icon.file));
        EXPECT_TRUE(IconAlive(handle));
        EXPECT_EQ(kv::ImageID(number), handle);
        EXPECT_EQ(kv::ImageWidth(number), 16);
        EXPECT_EQ(kv::ImageHeight(number), 16);
        ++number;
    }
}

TEST_F(ImageTest, CatchingUnderAUsedNumberDestroysTheOlderImage) {
    const auto first = reinterpret_cast<HANDLE>(CatchGuarded(1, armed_));
    ASSERT_TRUE(IconAlive(first));
    const auto second = reinterpret_cast<HANDLE>(CatchGuarded(1, running_));
    EXPECT_EQ(kv::ImageID(1), second);
    EXPECT_FALSE(IconAlive(first));
    // A failing catch still frees the number.
    EXPECT_EQ(CatchGuarded(1, {'n', 'o'}), 0);
    EXPECT_FALSE(IconAlive(second));
    EXPECT_EQ(kv::ImageID(1), nullptr);

    const intptr_t dynamic = CatchGuarded(kv::kDynamicNumber, armed_);
    const HANDLE icon = kv::ImageID(dynamic);
    EXPECT_TRUE(IconAlive(icon));
    kv::FreeAllImages();
    EXPECT_FALSE(IconAlive(icon));
}

TEST_F(ImageTest, BitmapFileBecomesA32BitBitmapWithItsPixels) {
    const auto bitmap = reinterpret_cast<HANDLE>(CatchGuarded(4, SmallBitmap()));
    ASSERT_EQ(GetObjectType(bitmap), DWORD{OBJ_BITMAP});
    EXPECT_EQ(kv::ImageWidth(4), 3);
    EXPECT_EQ(kv::ImageHeight(4), 2);
    EXPECT_EQ(kv::ImageDepth(4), 32);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(128, 128, 128));
    SelectObject(dc, old);
    DeleteDC(dc);
    kv::FreeImage(4);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST_F(ImageTest, TruncatedGarbageAndLyingFilesFailWithoutReadingPastTheirEnd) {
    for (const std::vector<uint8_t>& whole : {armed_, SmallBitmap()}) {
        for (size_t length = 0; length < whole.size(); ++length)
            ASSERT_EQ(CatchGuarded(1, {whole.begin(), whole.begin() + length}), 0) << length;
    }
    EXPECT_EQ(CatchGuarded(1, {'K', 'o', 'r', 'v', 'a', 'l', 't', '!', 0, 0, 0, 0, 0, 0}), 0);

    struct Lie {
        const char* what;
        bool inBitmap;
        size_t offset;
        size_t width;
        uint32_t value;
    };
    const Lie lies[] = {
        {"image size past the end", false, 14, 4, 750},
        {"image offset wrapping", false, 18, 4, 0xFFFFFFF0},
        {"icon width", false, 22 + 4, 4, 0x7FFFFFFF},
        {"icon colours", false, 22 + 32, 4, 200},
        {"bitmap pixel offset", true, 10, 4, 0xFFFFFF00},
        {"bitmap width", true, 18, 4, 0x4000},
        {"bitmap compression", true, 30, 4, BI_RLE4},
    };
    for (const Lie& lie : lies) {
        std::vector<uint8_t> file = lie.inBitmap ? SmallBitmap() : armed_;
        std::memcpy(file.data() + lie.offset, &lie.value, lie.width);
        EXPECT_EQ(CatchGuarded(1, file), 0) << lie.what;
    }
}

}  // namespace
