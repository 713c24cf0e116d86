#include <gtest/gtest.h>

#include <algorithm>

#include "ports/portable/HostPath.h"
#include "ports/portable/MemoryRegistry.h"
#include "tests/support/HostPorts.h"
#include "tests/support/TempFolder.h"

namespace tavrin {
namespace {

TEST(RegistryValues, StringAndDwordBytes) {
    EXPECT_EQ(MakeStringValue(L"1").data, (std::vector<uint8_t>{'1', 0, 0, 0}));
    EXPECT_EQ(MakeDwordValue(0x01020304).data, (std::vector<uint8_t>{4, 3, 2, 1}));
    std::wstring text;
    EXPECT_TRUE(ReadStringValue(MakeStringValue(L"ZRN"), text));
    EXPECT_EQ(text, L"ZRN");
    uint32_t number = 0;
    EXPECT_TRUE(ReadDwordValue(MakeDwordValue(0xA0B0C0D0), number));
    EXPECT_EQ(number, 0xA0B0C0D0u);
    EXPECT_FALSE(ReadDwordValue(MakeStringValue(L"1"), number));
    RegistryValue shortDword{kRegDword, {1, 2}};
    EXPECT_FALSE(ReadDwordValue(shortDword, number));
}

TEST(MemoryRegistry, KeysAndValuesBehaveLikeTheRegistry) {
    MemoryRegistry registry;
    const auto hklm = RegistryHive::LocalMachine;
    const auto view32 = RegistryView::Default;
    EXPECT_EQ(registry.SetValue(hklm, L"SOFTWARE\\A", L"v", MakeDwordValue(1), view32), 2)
        << "a value needs its key";
    EXPECT_EQ(registry.CreateKey(hklm, L"SOFTWARE\\A\\B", view32), 0);
    EXPECT_TRUE(registry.KeyExists(hklm, L"software\\a", view32)) << "parents are created";
    EXPECT_EQ(registry.SetValue(hklm, L"SOFTWARE\\A\\B", L"Name", MakeDwordValue(7), view32), 0);

    RegistryValue value;
    EXPECT_EQ(registry.QueryValue(hklm, L"software\\a\\b", L"NAME", value, view32), 0);
    EXPECT_FALSE(registry.KeyExists(hklm, L"SOFTWARE\\A\\B", RegistryView::Native64))
        << "the 64-bit view is a tree of its own";
    EXPECT_FALSE(registry.KeyExists(RegistryHive::CurrentUser, L"SOFTWARE\\A", view32));

    EXPECT_EQ(registry.DeleteValue(hklm, L"SOFTWARE\\A\\B", L"name", view32), 0);
    EXPECT_EQ(registry.DeleteValue(hklm, L"SOFTWARE\\A\\B", L"name", view32), 2);
    EXPECT_EQ(registry.CreateKey(hklm, L"SOFTWARE\\AB", view32), 0);
    EXPECT_EQ(registry.DeleteTree(hklm, L"SOFTWARE\\A", view32), 0);
    EXPECT_FALSE(registry.KeyExists(hklm, L"SOFTWARE\\A\\B", view32));
    EXPECT_TRUE(registry.KeyExists(hklm, L"SOFTWARE\\AB", view32)) << "a sibling with a prefix";
}

class HostFileSystemTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    test::HostPorts host;
};

TEST_F(HostFileSystemTest, AtomicReplaceWritesAndReplaces) {
    const std::wstring path = folder.Path() + L"profile.ini";
    const std::vector<uint8_t> first{'o', 'l', 'd'};
    const std::vector<uint8_t> second(100000, 'n');
    ASSERT_TRUE(host.files.ReplaceFileAtomically(path, first));
    ASSERT_TRUE(host.files.ReplaceFileAtomically(path, second));
    std::vector<uint8_t> read;
    ASSERT_EQ(host.files.ReadWholeFile(path, read), FileReadResult::Ok);
    EXPECT_EQ(read, second);

    std::vector<DirectoryEntry> entries;
    ASSERT_TRUE(host.files.ListDirectory(folder.Path(), entries));
    ASSERT_EQ(entries.size(), 1u) << "no temporary file is left behind";
    EXPECT_EQ(entries[0].name, L"profile.ini");
}

TEST_F(HostFileSystemTest, AFileStartIsReadUpToItsLimit) {
    const std::wstring path = folder.Path() + L"picture.png";
    ASSERT_TRUE(host.files.ReplaceFileAtomically(path, std::vector<uint8_t>(100, 7)));
    for (const size_t limit : {size_t{0}, size_t{32}, size_t{100}, size_t{5000}}) {
        std::vector<uint8_t> read;
        ASSERT_EQ(host.files.ReadFileStart(path, limit, read), FileReadResult::Ok);
        EXPECT_EQ(read, std::vector<uint8_t>(std::min<size_t>(limit, 100), 7)) << limit;
    }
    std::vector<uint8_t> read;
    EXPECT_EQ(host.files.ReadFileStart(folder.Path() + L"missing.png", 32, read),
              FileReadResult::OpenFailed);
}

TEST_F(HostFileSystemTest, FailuresReportAndLeaveNothing) {
    std::vector<uint8_t> read;
    EXPECT_EQ(host.files.ReadWholeFile(folder.Path() + L"missing.ini", read),
              FileReadResult::OpenFailed);
    EXPECT_FALSE(host.files.ReplaceFileAtomically(folder.Path() + L"no\\such\\file.ini", {1}));
    EXPECT_FALSE(host.files.DirectoryExists(folder.Path() + L"no\\"));
}

TEST_F(HostFileSystemTest, FoldersCopiesAndListings) {
    ASSERT_TRUE(host.files.CreateFolder(folder.Path() + L"Skin\\"));
    EXPECT_TRUE(host.files.DirectoryExists(folder.Path() + L"Skin\\"));
    EXPECT_TRUE(host.files.DirectoryExists(folder.Path() + L"Skin"));
    host.WriteFile(folder.Path() + L"a.bmp", "BM");
    EXPECT_TRUE(host.files.FileExists(folder.Path() + L"a.bmp"));
    EXPECT_FALSE(host.files.FileExists(folder.Path() + L"Skin"));
    EXPECT_TRUE(
        host.files.CopyOneFile(folder.Path() + L"a.bmp", folder.Path() + L"Skin\\a.bmp", true));
    EXPECT_FALSE(
        host.files.CopyOneFile(folder.Path() + L"a.bmp", folder.Path() + L"Skin\\a.bmp", true));

    std::vector<DirectoryEntry> entries;
    ASSERT_TRUE(host.files.ListDirectory(folder.Path(), entries));
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.name < b.name; });
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, L"Skin");
    EXPECT_TRUE(entries[0].isDirectory);
    EXPECT_FALSE(entries[1].isDirectory);
    EXPECT_TRUE(host.files.RemoveFile(folder.Path() + L"a.bmp"));
    EXPECT_FALSE(host.files.FileExists(folder.Path() + L"a.bmp"));
}

TEST_F(HostFileSystemTest, ProgramFilesAreWrittenInPlaceAndFoldersRemovedWhenEmpty) {
    const std::wstring path = folder.Path() + L"Tavrin.exe";
    const std::vector<uint8_t> longer(5000, 'a');
    const std::vector<uint8_t> shorter{'M', 'Z'};
    ASSERT_EQ(host.files.WriteNewFile(path, longer.data(), longer.size()), FileWriteResult::Ok);
    ASSERT_EQ(host.files.WriteNewFile(path, shorter.data(), shorter.size()), FileWriteResult::Ok);
    std::vector<uint8_t> read;
    ASSERT_EQ(host.files.ReadWholeFile(path, read), FileReadResult::Ok);
    EXPECT_EQ(read, shorter) << "an existing file is truncated";
    EXPECT_EQ(host.files.WriteNewFile(folder.Path() + L"no\\Tavrin.exe", shorter.data(), 2),
              FileWriteResult::OpenFailed);

    EXPECT_TRUE(host.files.SetNormalAttributes(path));
    EXPECT_TRUE(host.files.SetNormalAttributes(folder.Path()));
    EXPECT_FALSE(host.files.SetNormalAttributes(folder.Path() + L"missing.exe"));

    ASSERT_TRUE(host.files.CreateFolder(folder.Path() + L"Plugin\\"));
    host.WriteFile(folder.Path() + L"Plugin\\a.txt", "a");
    EXPECT_FALSE(host.files.RemoveFolder(folder.Path() + L"Plugin\\")) << "not empty";
    ASSERT_TRUE(host.files.RemoveFile(folder.Path() + L"Plugin\\a.txt"));
    EXPECT_TRUE(host.files.RemoveFolder(folder.Path() + L"Plugin\\"));
    EXPECT_FALSE(host.files.DirectoryExists(folder.Path() + L"Plugin"));
}

#ifndef _WIN32
TEST(HostPath, WindowsFormMapsToTheHostAndBack) {
    EXPECT_EQ(ToHostPath(L"\\tmp\\Acme Audio\\AudioConfig.cfg"), "/tmp/Acme Audio/AudioConfig.cfg");
    EXPECT_EQ(FromHostPath("/tmp/x/"), L"\\tmp\\x\\");
    EXPECT_EQ(ToUtf8(L"\u00e9\u4e2d"), "\xc3\xa9\xe4\xb8\xad");
    EXPECT_EQ(FromUtf8("\xc3\xa9\xe4\xb8\xad"), L"\u00e9\u4e2d");
    EXPECT_EQ(FromUtf8("\xff"), L"\u00ff") << "bytes that are not UTF-8 still come through";
}
#endif

}  // namespace
}  // namespace tavrin
