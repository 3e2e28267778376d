#include <cstring>
#include <tuple>

#include "resources/resource.h"
#include "support.h"
#include "toolkit/image.h"
#include "toolkit/internal.h"

std::string Resource(HMODULE module, int id, LPCSTR type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return found ? std::string(data, SizeofResource(module, found)) : "";
}

const std::string kArmed = Resource(nullptr, KV_DATA_ICON_ARMED, RT_RCDATA);
// A 3 x 2 bitmap file of 24 bits per pixel, all black.
const std::string kSmallBitmap =
    std::string("BM\x4E\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\3\0\0\0\2\0\0\0\1\0\x18\0", 30) +
    std::string(48, '\0');

// Caught from a copy that ends right where a page never committed begins, so reading one byte too
// far crashes.
intptr_t CatchGuarded(kv::ObjectNumber number, const std::string& data) {
    constexpr size_t page = 4096;  // the x86 page
    const size_t size = (data.size() / page + 1) * page;
    void* const base = VirtualAlloc(nullptr, size + page, MEM_RESERVE, PAGE_NOACCESS);
    char* const guard =
        static_cast<char*>(VirtualAlloc(base, size, MEM_COMMIT, PAGE_READWRITE)) + size;
    std::memcpy(guard - data.size(), data.data(), data.size());
    const intptr_t result = kv::CatchImage(number, guard - data.size(), data.size());
    VirtualFree(base, 0, MEM_RELEASE);
    return result;
}

bool IconAlive(HANDLE icon) {
    ICONINFO parts{};
    const bool alive = GetIconInfo(static_cast<HICON>(icon), &parts);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    return alive;
}

// Catching under a used number destroys the older image, and so does a failing catch. No catch
// reads past the end of a truncated file or of garbage.
TEST(ImageTest, CatchingUnderAUsedNumberDestroysTheOlderImageAndNothingReadsPastTheEnd) {
    kv::InitImageLibrary();
    const auto first = reinterpret_cast<HANDLE>(CatchGuarded(1, kArmed));
    ASSERT_TRUE(IconAlive(first));
    const auto second = reinterpret_cast<HANDLE>(
        CatchGuarded(1, Resource(nullptr, KV_DATA_ICON_RUNNING, RT_RCDATA)));
    EXPECT_EQ(std::make_tuple(kv::ImageID(1), kv::ImageWidth(1), kv::ImageHeight(1)),
              std::make_tuple(second, 16, 16));
    EXPECT_FALSE(IconAlive(first));
    EXPECT_EQ(CatchGuarded(1, std::string("Korvalt!\0\0\0\0\0\0", 14)), 0);
    EXPECT_FALSE(IconAlive(second));
    EXPECT_EQ(kv::ImageID(1), nullptr);
    for (const std::string& whole : {kArmed, kSmallBitmap}) {
        ASSERT_NE(CatchGuarded(1, whole), 0);
        for (size_t length = 0; length < whole.size(); ++length)
            ASSERT_EQ(CatchGuarded(1, whole.substr(0, length)), 0) << length;
    }
    const HANDLE icon = kv::ImageID(CatchGuarded(kv::kDynamicNumber, kArmed));
    EXPECT_TRUE(IconAlive(icon));
    kv::FreeAllImages();
    EXPECT_FALSE(IconAlive(icon));
}

// The program's executable, built beside the tests, opened for its resources only.
// The icon's images are PNG, which the system decodes itself.
TEST(ResourcesTest, ProgramCarriesItsIconInBothSizesAndTheCommonControlsManifest) {
    const std::string quoted = kv::test::BesideThisExe("korvalt.exe");
    const std::string program = quoted.substr(1, quoted.size() - 2);
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program;
    for (const int size : {16, 32}) {
        const auto icon = static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(KV_ICON_APP), IMAGE_ICON, size, size, 0));
        ICONINFO parts{};
        ASSERT_TRUE(icon && GetIconInfo(icon, &parts)) << size;
        BITMAP colour{};
        EXPECT_TRUE(parts.hbmColor && GetObjectA(parts.hbmColor, sizeof colour, &colour));
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(parts.hbmColor);
        DeleteObject(parts.hbmMask);
        DestroyIcon(icon);
    }
    const std::string manifest = Resource(module, 1, RT_MANIFEST);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("processorArchitecture=\"" KORVALT_ARCHITECTURE "\""),
              std::string::npos);
    FreeLibrary(module);
}
