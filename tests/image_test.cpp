#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "resources/resource.h"
#include "toolkit/image.h"

namespace {

std::vector<uint8_t> EmbeddedData(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!found)
        return {};
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    return std::vector<uint8_t>(data, data + SizeofResource(nullptr, found));
}

// A copy that ends right where an inaccessible page begins, so reading one byte too far crashes.
class GuardedCopy {
  public:
    explicit GuardedCopy(const std::vector<uint8_t>& data) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const size_t page = system.dwPageSize;
        const size_t pages = (data.size() + page - 1) / page + 1;
        base_ = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + (pages - 1) * page, page, PAGE_NOACCESS, &old);
        start_ = base_ + (pages - 1) * page - data.size();
        std::memcpy(start_, data.data(), data.size());
        size_ = data.size();
    }
    GuardedCopy(const GuardedCopy&) = delete;
    GuardedCopy& operator=(const GuardedCopy&) = delete;
    ~GuardedCopy() { VirtualFree(base_, 0, MEM_RELEASE); }

    const uint8_t* data() const { return start_; }
    size_t size() const { return size_; }

  private:
    uint8_t* base_ = nullptr;
    uint8_t* start_ = nullptr;
    size_t size_ = 0;
};

intptr_t CatchGuarded(kv::ObjectNumber number, const std::vector<uint8_t>& data) {
    const GuardedCopy copy(data);
    return kv::CatchImage(number, copy.data(), copy.size());
}

template <class T>
void Put(std::vector<uint8_t>* data, size_t offset, T value) {
    std::memcpy(data->data() + offset, &value, sizeof(T));
}

template <class T>
T Get(const std::vector<uint8_t>& data, size_t offset) {
    T value;
    std::memcpy(&value, data.data() + offset, sizeof(T));
    return value;
}

// The icon drawn over white.
COLORREF IconPixel(HICON icon, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    const COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixel;
}

bool IconAlive(HANDLE icon) {
    ICONINFO parts{};
    if (!GetIconInfo(static_cast<HICON>(icon), &parts))
        return false;
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    return true;
}

// A bitmap file of `bitCount` bits per pixel with `colours` palette entries and rows of
// `rowBytes` bytes, pixel data right after the header.
std::vector<uint8_t> BitmapFile(int32_t width, int32_t height, uint16_t bitCount,
                                const std::vector<RGBQUAD>& colours,
                                const std::vector<uint8_t>& pixels) {
    const uint32_t pixelOffset = 14 + 40 + 4 * colours.size();
    std::vector<uint8_t> file(pixelOffset + pixels.size());
    Put<uint16_t>(&file, 0, 0x4D42);
    Put<uint32_t>(&file, 2, file.size());
    Put<uint32_t>(&file, 10, pixelOffset);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biClrUsed = colours.size();
    std::memcpy(file.data() + 14, &header, sizeof(header));
    std::memcpy(file.data() + 54, colours.data(), 4 * colours.size());
    std::memcpy(file.data() + pixelOffset, pixels.data(), pixels.size());
    return file;
}

// 3 x 2, 24 bits, bottom-up: red green blue / white black grey.
std::vector<uint8_t> SmallBitmap() {
    return BitmapFile(3, 2, 24, {}, {0xFF, 0xFF, 0xFF, 0, 0,    0, 0x80, 0x80, 0x80, 0, 0, 0,
                                     0,    0,    0xFF, 0, 0xFF, 0, 0xFF, 0,    0,    0, 0, 0});
}

// Read back through the platform, top row first.
uint32_t BitmapPixel(HANDLE bitmap, int x, int y) {
    BITMAP size{};
    EXPECT_NE(GetObjectA(bitmap, sizeof(size), &size), 0);
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(request.bmiHeader);
    request.bmiHeader.biWidth = size.bmWidth;
    request.bmiHeader.biHeight = -size.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(size.bmWidth * size.bmHeight);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, static_cast<HBITMAP>(bitmap), 0, size.bmHeight, pixels.data(),
                        &request, DIB_RGB_COLORS),
              size.bmHeight);
    ReleaseDC(nullptr, screen);
    return pixels[y * size.bmWidth + x] & 0xFFFFFF;
}

class ImageTest : public testing::Test {
  protected:
    void SetUp() override {
        kv::InitImageLibrary();
        armed_ = EmbeddedData(KV_DATA_ICON_ARMED);
        running_ = EmbeddedData(KV_DATA_ICON_RUNNING);
        ASSERT_FALSE(armed_.empty());
        ASSERT_FALSE(running_.empty());
    }
    void TearDown() override { kv::FreeAllImages(); }

    std::vector<uint8_t> armed_;
    std::vector<uint8_t> running_;
};

TEST_F(ImageTest, EmbeddedIconFilesAreTheDescribedOnes) {
    struct Expected {
        const std::vector<uint8_t>& file;
        size_t size;
        uint32_t colours;
    };
    for (const Expected& icon : {Expected{armed_, 750, 92}, Expected{running_, 738, 89}}) {
        ASSERT_EQ(icon.file.size(), icon.size);
        EXPECT_EQ(Get<uint16_t>(icon.file, 4), 1);  // one image
        const uint32_t at = Get<uint32_t>(icon.file, 18);
        EXPECT_EQ(Get<int32_t>(icon.file, at + 4), 16);
        EXPECT_EQ(Get<int32_t>(icon.file, at + 8), 32);
        EXPECT_EQ(Get<uint16_t>(icon.file, at + 14), 8);
        EXPECT_EQ(Get<uint32_t>(icon.file, at + 32), icon.colours);
    }
}

TEST_F(ImageTest, EmbeddedIconsBecomeIconsWithTheirAccents) {
    const intptr_t armed = CatchGuarded(1, armed_);
    const intptr_t running = CatchGuarded(2, running_);
    ASSERT_NE(armed, 0);
    ASSERT_NE(running, 0);
    EXPECT_EQ(kv::ImageID(1), reinterpret_cast<HANDLE>(armed));
    EXPECT_EQ(kv::ImageID(2), reinterpret_cast<HANDLE>(running));
    for (kv::ObjectNumber number : {1, 2}) {
        EXPECT_EQ(kv::ImageWidth(number), 16);
        EXPECT_EQ(kv::ImageHeight(number), 16);
        EXPECT_GT(kv::ImageDepth(number), 0);
        EXPECT_NE(GetObjectType(kv::ImageID(number)), DWORD{OBJ_BITMAP});
    }
    const auto armedIcon = reinterpret_cast<HICON>(armed);
    const auto runningIcon = reinterpret_cast<HICON>(running);
    // The corners are masked out; the play mark carries the accent.
    EXPECT_EQ(IconPixel(armedIcon, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(IconPixel(runningIcon, 15, 15), RGB(255, 255, 255));
    const COLORREF green = IconPixel(armedIcon, 7, 7);
    const COLORREF red = IconPixel(runningIcon, 7, 7);
    EXPECT_GT(GetGValue(green), GetRValue(green) + 60);
    EXPECT_GT(GetRValue(red), GetGValue(red) + 60);
    // The rest is dark grey.
    const COLORREF body = IconPixel(armedIcon, 3, 12);
    EXPECT_LT(GetRValue(body) + GetGValue(body) + GetBValue(body), 3 * 0x60);
}

TEST_F(ImageTest, OnlyTheFirstDirectoryEntryIsUsed) {
    // Two images: the running icon's, then the armed icon's.
    const uint32_t runningBytes = Get<uint32_t>(running_, 14);
    const uint32_t armedBytes = Get<uint32_t>(armed_, 14);
    std::vector<uint8_t> file(6 + 32);
    Put<uint16_t>(&file, 2, 1);
    Put<uint16_t>(&file, 4, 2);
    std::memcpy(file.data() + 6, running_.data() + 6, 16);
    std::memcpy(file.data() + 22, armed_.data() + 6, 16);
    Put<uint32_t>(&file, 18, file.size());
    Put<uint32_t>(&file, 34, file.size() + runningBytes);
    file.insert(file.end(), running_.begin() + 22, running_.begin() + 22 + runningBytes);
    file.insert(file.end(), armed_.begin() + 22, armed_.begin() + 22 + armedBytes);

    const COLORREF accent = IconPixel(reinterpret_cast<HICON>(CatchGuarded(1, file)), 7, 7);
    EXPECT_GT(GetRValue(accent), GetGValue(accent) + 60);
}

TEST_F(ImageTest, MonochromeIconTakesItsSizeFromTheMask) {
    // 16 x 16, one bit per pixel: black and white, left half white, nothing masked.
    const uint32_t imageBytes = 40 + 8 + 64 + 64;
    std::vector<uint8_t> file(22 + imageBytes);
    Put<uint16_t>(&file, 2, 1);
    Put<uint16_t>(&file, 4, 1);
    file[6] = file[7] = 16;
    Put<uint16_t>(&file, 10, 1);
    Put<uint16_t>(&file, 12, 1);
    Put<uint32_t>(&file, 14, imageBytes);
    Put<uint32_t>(&file, 18, 22);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = 16;
    header.biHeight = 32;
    header.biPlanes = 1;
    header.biBitCount = 1;
    std::memcpy(file.data() + 22, &header, sizeof(header));
    Put<uint32_t>(&file, 66, 0xFFFFFF);
    for (size_t row = 0; row < 16; ++row)
        file[70 + 4 * row] = 0xFF;

    const auto icon = reinterpret_cast<HICON>(CatchGuarded(1, file));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(kv::ImageWidth(1), 16);
    EXPECT_EQ(kv::ImageHeight(1), 16);
    EXPECT_EQ(kv::ImageDepth(1), 1);
    EXPECT_EQ(IconPixel(icon, 2, 2), RGB(255, 255, 255));
    EXPECT_EQ(IconPixel(icon, 12, 2), RGB(0, 0, 0));
}

TEST_F(ImageTest, CatchingUnderAUsedNumberDestroysTheOlderImage) {
    const auto first = reinterpret_cast<HANDLE>(CatchGuarded(1, armed_));
    ASSERT_TRUE(IconAlive(first));
    const auto second = reinterpret_cast<HANDLE>(CatchGuarded(1, running_));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(kv::ImageID(1), second);
    EXPECT_FALSE(IconAlive(first));

    // A failing catch still frees the number.
    EXPECT_EQ(CatchGuarded(1, {'n', 'o'}), 0);
    EXPECT_FALSE(IconAlive(second));
    EXPECT_EQ(kv::ImageID(1), nullptr);
    EXPECT_EQ(kv::ImageWidth(1), 0);
}

TEST_F(ImageTest, DynamicImagesCoexistUntilAllAreFreed) {
    const intptr_t first = CatchGuarded(kv::kDynamicNumber, armed_);
    const intptr_t second = CatchGuarded(kv::kDynamicNumber, running_);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    ASSERT_NE(first, second);
    const HANDLE firstIcon = kv::ImageID(first);
    const HANDLE secondIcon = kv::ImageID(second);
    EXPECT_TRUE(IconAlive(firstIcon));
    EXPECT_TRUE(IconAlive(secondIcon));
    EXPECT_EQ(kv::ImageWidth(second), 16);

    kv::FreeAllImages();
    EXPECT_EQ(kv::ImageID(first), nullptr);
    EXPECT_EQ(kv::ImageID(second), nullptr);
    EXPECT_FALSE(IconAlive(firstIcon));
    EXPECT_FALSE(IconAlive(secondIcon));
}

TEST_F(ImageTest, BitmapFileGivesA32BitBitmapWithItsPixels) {
    const auto handle = reinterpret_cast<HANDLE>(CatchGuarded(4, SmallBitmap()));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetObjectType(handle), DWORD{OBJ_BITMAP});
    EXPECT_EQ(kv::ImageWidth(4), 3);
    EXPECT_EQ(kv::ImageHeight(4), 2);
    EXPECT_EQ(kv::ImageDepth(4), 32);
    EXPECT_EQ(BitmapPixel(handle, 0, 0), 0xFF0000u);
    EXPECT_EQ(BitmapPixel(handle, 1, 0), 0x00FF00u);
    EXPECT_EQ(BitmapPixel(handle, 2, 0), 0x0000FFu);
    EXPECT_EQ(BitmapPixel(handle, 0, 1), 0xFFFFFFu);
    EXPECT_EQ(BitmapPixel(handle, 2, 1), 0x808080u);

    kv::FreeImage(4);
    EXPECT_EQ(GetObjectType(handle), 0u);
    EXPECT_EQ(kv::ImageID(4), nullptr);
}

TEST_F(ImageTest, TopDownPaletteBitmapIsConverted) {
    // 2 x 2, 8 bits, two colours, top row first.
    const std::vector<uint8_t> file = BitmapFile(
        2, -2, 8, {{0x10, 0x20, 0x30, 0}, {0xF0, 0xE0, 0xD0, 0}}, {1, 0, 0, 0, 0, 1, 0, 0});
    const auto handle = reinterpret_cast<HANDLE>(CatchGuarded(kv::kDynamicNumber, file));
    ASSERT_NE(handle, nullptr);
    const HANDLE bitmap = kv::ImageID(reinterpret_cast<intptr_t>(handle));
    EXPECT_EQ(kv::ImageHeight(reinterpret_cast<intptr_t>(handle)), 2);
    EXPECT_EQ(BitmapPixel(bitmap, 0, 0), 0xD0E0F0u);
    EXPECT_EQ(BitmapPixel(bitmap, 1, 0), 0x302010u);
    EXPECT_EQ(BitmapPixel(bitmap, 1, 1), 0xD0E0F0u);
}

TEST_F(ImageTest, LargerBitmapHeaderIsReadUpToItsColourTable) {
    // A 124-byte header whose colour profile points far outside the file.
    std::vector<uint8_t> file = BitmapFile(1, 1, 8, {{0x44, 0x55, 0x66, 0}}, {0, 0, 0, 0});
    BITMAPV5HEADER header{};
    std::memcpy(&header, file.data() + 14, 40);
    header.bV5Size = sizeof(header);
    header.bV5CSType = 0x4D424544;  // PROFILE_EMBEDDED, "MBED"
    header.bV5ProfileData = 0x7FFFFFF0;
    header.bV5ProfileSize = 0x1000;
    file.insert(file.begin() + 54, sizeof(header) - 40, 0);
    std::memcpy(file.data() + 14, &header, sizeof(header));
    Put<uint32_t>(&file, 10, Get<uint32_t>(file, 10) + sizeof(header) - 40);

    const auto handle = reinterpret_cast<HANDLE>(CatchGuarded(5, file));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(BitmapPixel(handle, 0, 0), 0x665544u);
}

TEST_F(ImageTest, EveryTruncatedFileFails) {
    for (const std::vector<uint8_t>& whole : {armed_, SmallBitmap()}) {
        for (size_t length = 0; length < whole.size(); ++length) {
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
            ASSERT_EQ(CatchGuarded(1, cut), 0) << "length " << length;
        }
        EXPECT_NE(CatchGuarded(1, whole), 0);
    }
}

TEST_F(ImageTest, GarbageAndLyingHeadersFail) {
    EXPECT_EQ(kv::CatchImage(1, nullptr, 100), 0);
    EXPECT_EQ(CatchGuarded(1, {}), 0);
    EXPECT_EQ(CatchGuarded(1, {'K', 'o', 'r', 'v', 'a', 'l', 't', '!', 0, 0, 0, 0, 0, 0}), 0);

    // Where a lie's offset counts from.
    enum class In { IconFile, IconImage, BitmapFile };
    struct Lie {
        const char* what;
        In in;
        size_t offset;
        size_t width;
        uint32_t value;
    };
    const Lie lies[] = {
        {"icon reserved word", In::IconFile, 0, 2, 1},
        {"cursor type", In::IconFile, 2, 2, 2},
        {"no images", In::IconFile, 4, 2, 0},
        {"image size past the end", In::IconFile, 14, 4, 750},
        {"image offset past the end", In::IconFile, 18, 4, 700},
        {"image offset wrapping", In::IconFile, 18, 4, 0xFFFFFFF0},
        {"icon header size", In::IconImage, 0, 4, 0x10000},
        {"icon old header", In::IconImage, 0, 4, 12},
        {"icon height doubled", In::IconImage, 8, 4, 64},
        {"icon width", In::IconImage, 4, 4, 0x7FFFFFFF},
        {"icon bit count", In::IconImage, 14, 2, 7},
        {"icon compression", In::IconImage, 16, 4, BI_RLE8},
        {"icon colours", In::IconImage, 32, 4, 200},
        {"bitmap pixel offset", In::BitmapFile, 10, 4, 0xFFFFFF00},
        {"bitmap header size", In::BitmapFile, 14, 4, 0x8000},
        {"bitmap width", In::BitmapFile, 18, 4, 0x4000},
        {"bitmap height", In::BitmapFile, 22, 4, 0x80000000},
        {"bitmap zero height", In::BitmapFile, 22, 4, 0},
        {"bitmap planes", In::BitmapFile, 26, 2, 2},
        {"bitmap bit count", In::BitmapFile, 28, 2, 48},
        {"bitmap compression", In::BitmapFile, 30, 4, BI_RLE4},
        {"bitmap colours", In::BitmapFile, 46, 4, 0x40000000},
    };
    for (const Lie& lie : lies) {
        std::vector<uint8_t> file = lie.in == In::BitmapFile ? SmallBitmap() : armed_;
        const size_t at = lie.offset + (lie.in == In::IconImage ? Get<uint32_t>(file, 18) : 0);
        if (lie.width == 2) {
            Put<uint16_t>(&file, at, static_cast<uint16_t>(lie.value));
        } else {
            Put<uint32_t>(&file, at, lie.value);
        }
        EXPECT_EQ(CatchGuarded(1, file), 0) << lie.what;
        EXPECT_EQ(kv::ImageID(1), nullptr) << lie.what;
    }
}

}  // namespace
