#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource.h"

namespace {

// The program's executable, built beside the tests, opened for its resources only.
class ResourcesTest : public testing::Test {
  protected:
    void SetUp() override {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string program = path;
        program.replace(program.find_last_of('\\') + 1, std::string::npos, "korvalt.exe");
        module_ = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << program;
    }
    void TearDown() override { FreeLibrary(module_); }

    std::string Resource(LPCSTR type, int id) const {
        HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
        if (!found)
            return {};
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return std::string(data, SizeofResource(module_, found));
    }

    HMODULE module_ = nullptr;
};

TEST_F(ResourcesTest, ManifestAsksForCommonControlsSix) {
    const std::string manifest = Resource(RT_MANIFEST, 1);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
}

TEST_F(ResourcesTest, ApplicationIconComesInBothSizes) {
    for (int size : {16, 32}) {
        HICON icon = static_cast<HICON>(
            LoadImageA(module_, MAKEINTRESOURCEA(KV_ICON_APP), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO parts{};
        ASSERT_TRUE(GetIconInfo(icon, &parts));
        BITMAP colour{};
        GetObjectA(parts.hbmColor, sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(parts.hbmColor);
        DeleteObject(parts.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_F(ResourcesTest, TrayIconFilesAreEmbeddedWhole) {
    EXPECT_EQ(Resource(RT_RCDATA, KV_DATA_ICON_ARMED).size(), 750u);
    EXPECT_EQ(Resource(RT_RCDATA, KV_DATA_ICON_RUNNING).size(), 738u);
}

}  // namespace
