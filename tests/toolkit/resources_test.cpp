#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "support.h"

namespace {

// The program's executable, built beside the tests, opened for its resources only.
TEST(ResourcesTest, ProgramCarriesItsIconAndTheCommonControlsManifest) {
    const std::string quoted = kv::test::BesideThisExe("korvalt.exe");
    const std::string program = quoted.substr(1, quoted.size() - 2);
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program;

    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(KV_ICON_APP), RT_GROUP_ICON), nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("processorArchitecture=\"x86\""), std::string::npos);
    FreeLibrary(module);
}

}  // namespace
