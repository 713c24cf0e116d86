// The host's dynamic-library port on files that are not loadable libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/HostPorts.h"

namespace tavrin {
namespace {

using test::HostDynamicLibrary;

constexpr uint32_t kModuleNotFound = 126;
constexpr uint32_t kBadFormat = 193;

class NotALibrary : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() /
            ("tavrin-dynlib-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(folder);
        // The same file under both platforms' names for "Bogus.dll".
        for (const char* name : {"Bogus.dll", "Bogus.so"}) {
            std::ofstream(folder / name) << "not a library";
        }
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
};

TEST_F(NotALibrary, FailsToLoadWithTheBadFormatCode) {
    HostDynamicLibrary library;
    EXPECT_FALSE(library.Load((folder / "Bogus.dll").wstring()));
    EXPECT_EQ(library.LastError(), kBadFormat);
    EXPECT_FALSE(library.ErrorText(kBadFormat).empty());
    EXPECT_EQ(library.Symbol("DLLZR_CheckDriver"), nullptr);
}

TEST_F(NotALibrary, MissingFileIsModuleNotFound) {
    HostDynamicLibrary library;
    EXPECT_FALSE(library.Load((folder / "Absent.dll").wstring()));
    EXPECT_EQ(library.LastError(), kModuleNotFound);
}

#ifndef _WIN32
TEST(PortableDynamicLibraryNames, WindowsNamesMapToSharedObjects) {
    const std::string programFolder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
    EXPECT_EQ(PortableDynamicLibrary::HostFileName(L"DLLZR_UsbAudio58xx_x32.dll"),
              programFolder + "DLLZR_UsbAudio58xx_x32.so");
    EXPECT_EQ(PortableDynamicLibrary::HostFileName(L"Upper.DLL"), programFolder + "Upper.so");
    EXPECT_EQ(PortableDynamicLibrary::HostFileName(L"sub\\Name.dll"), "sub/Name.so");
    EXPECT_EQ(PortableDynamicLibrary::HostFileName(L"/opt/lib/Name.dll"), "/opt/lib/Name.so");
    EXPECT_EQ(PortableDynamicLibrary::HostFileName(L"/opt/lib/Name.dll.bak"),
              "/opt/lib/Name.dll.bak");
}
#endif

}  // namespace
}  // namespace tavrin
