// The profile-store table against the store of this build: the portable store natively, the real
// GetPrivateProfileStringW / WritePrivateProfileStringW in Windows builds (run under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <vector>

#include "tests/ports/ProfileStoreCases.h"
#include "tests/support/HostPorts.h"
#include "tests/support/TempFolder.h"

#ifndef _WIN32
#include "ports/portable/PortableFileSystem.h"
#include "ports/portable/PortableProfileStore.h"
#endif

namespace tavrin::test {

void PrintTo(const ProfileStoreCase& profileCase, std::ostream* out) {
    *out << profileCase.name;
}

namespace {

constexpr size_t kBufferSize = 128;
constexpr wchar_t kUntouched = L'\x2591';
const std::wstring kFileName = L"profile.ini";

void CheckGet(ProfileStore& store, const ProfileStoreCase& profileCase, const std::wstring& file) {
    std::vector<wchar_t> buffer(kBufferSize, kUntouched);
    const uint32_t count = store.GetString(profileCase.section, profileCase.key, profileCase.text,
                                           buffer.data(), profileCase.capacity, file);
    EXPECT_EQ(profileCase.returns, count);
    const std::wstring start(buffer.data(), std::min(profileCase.buffer.size(), kBufferSize));
    EXPECT_EQ(profileCase.buffer, start);
    if (profileCase.capacity > 0 && count < profileCase.capacity) {
        EXPECT_EQ(L'\0', buffer[count]) << "no terminator after the returned count";
    }
    EXPECT_TRUE(std::all_of(buffer.begin() + profileCase.capacity, buffer.end(), [](wchar_t c) {
        return c == kUntouched;
    })) << "written beyond the capacity";
}

class ProfileStoreTest : public testing::TestWithParam<ProfileStoreCase> {};

TEST_P(ProfileStoreTest, Behaves) {
    const ProfileStoreCase& profileCase = GetParam();
    TempFolder folder;
    const std::wstring file =
        folder.Path() + (profileCase.inMissingFolder ? L"missing\\" : L"") + kFileName;
    if (profileCase.before) folder.WriteFile(kFileName, *profileCase.before);
    HostPorts host;

    if (profileCase.call == ProfileCall::Get) {
        CheckGet(host.profiles, profileCase, file);
        EXPECT_EQ(profileCase.before, folder.ReadFile(kFileName)) << "a read changed the file";
        return;
    }
    const bool written =
        host.profiles.WriteString(profileCase.section, profileCase.key, profileCase.text, file);
    EXPECT_EQ(profileCase.returns != 0, written);
    EXPECT_EQ(profileCase.after, folder.ReadFile(kFileName));
    if (profileCase.inMissingFolder) {
        EXPECT_TRUE(std::filesystem::is_empty(folder.HostPath())) << "a failed write left files";
    }
}

std::string CaseName(const testing::TestParamInfo<ProfileStoreCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Windows, ProfileStoreTest, testing::ValuesIn(kProfileStoreCases),
                         CaseName);

#ifndef _WIN32
INSTANTIATE_TEST_SUITE_P(WindowsNotWine, ProfileStoreTest, testing::ValuesIn(kNativeOnlyCases),
                         CaseName);

// ---------------------------------------------------------------------------------------------
// Atomic writes (the portable store's improvement over Windows, which rewrites in place).

// Passes everything to the real file system, counts the calls that change files and can make the
// atomic replacement fail.
class WatchedFileSystem final : public FileSystem {
public:
    bool failReplace = false;
    int replaces = 0;
    int otherChanges = 0;

    FileReadResult ReadWholeFile(const std::wstring& path,
                                 std::vector<uint8_t>& contents) override {
        return files_.ReadWholeFile(path, contents);
    }
    bool FileExists(const std::wstring& path) override { return files_.FileExists(path); }
    bool DirectoryExists(const std::wstring& path) override { return files_.DirectoryExists(path); }
    bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) override {
        return files_.ListDirectory(path, entries);
    }
    bool CreateFolder(const std::wstring& path) override {
        ++otherChanges;
        return files_.CreateFolder(path);
    }
    bool CopyOneFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override {
        ++otherChanges;
        return files_.CopyOneFile(from, to, failIfExists);
    }
    bool RemoveFile(const std::wstring& path) override {
        ++otherChanges;
        return files_.RemoveFile(path);
    }
    FileWriteResult WriteNewFile(const std::wstring& path, const uint8_t* data,
                                 size_t size) override {
        ++otherChanges;
        return files_.WriteNewFile(path, data, size);
    }
    bool SetNormalAttributes(const std::wstring& path) override {
        ++otherChanges;
        return files_.SetNormalAttributes(path);
    }
    bool RemoveFolder(const std::wstring& path) override {
        ++otherChanges;
        return files_.RemoveFolder(path);
    }
    bool ReplaceFileAtomically(const std::wstring& path,
                               const std::vector<uint8_t>& contents) override {
        ++replaces;
        return !failReplace && files_.ReplaceFileAtomically(path, contents);
    }

private:
    PortableFileSystem files_;
};

std::vector<std::filesystem::path> FolderContents(const TempFolder& folder) {
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.HostPath())) {
        names.push_back(entry.path().filename());
    }
    return names;
}

TEST(ProfileStoreAtomicWrite, WritesOnlyByAtomicReplacementAndLeavesNoTemporaryFile) {
    TempFolder folder;
    folder.WriteFile(kFileName, kTwoSections);
    WatchedFileSystem files;
    PortableProfileStore store(files);

    EXPECT_TRUE(store.WriteString(L"a", L"x", L"9", folder.Path() + kFileName));

    EXPECT_EQ(1, files.replaces);
    EXPECT_EQ(0, files.otherChanges);
    EXPECT_EQ(std::vector<std::filesystem::path>{"profile.ini"}, FolderContents(folder));
}

TEST(ProfileStoreAtomicWrite, FailedWriteKeepsExistingFileWhole) {
    TempFolder folder;
    folder.WriteFile(kFileName, kTwoSections);
    WatchedFileSystem files;
    files.failReplace = true;
    PortableProfileStore store(files);

    EXPECT_FALSE(store.WriteString(L"a", L"x", L"9", folder.Path() + kFileName));
    EXPECT_FALSE(store.WriteString(L"a", nullptr, nullptr, folder.Path() + kFileName));

    EXPECT_EQ(kTwoSections, folder.ReadFile(kFileName));
    EXPECT_EQ(0, files.otherChanges);
}

TEST(ProfileStoreAtomicWrite, FailedWriteInMissingFolderLeavesNothing) {
    TempFolder folder;
    PortableFileSystem files;
    PortableProfileStore store(files);

    EXPECT_FALSE(store.WriteString(L"s", L"k", L"v", folder.Path() + L"missing\\" + kFileName));

    EXPECT_TRUE(FolderContents(folder).empty());
}

TEST(ProfileStoreAtomicWrite, PathThatCannotBeReadIsNotReplaced) {
    TempFolder folder;
    std::filesystem::create_directory(folder.HostPath() / kFileName);
    PortableFileSystem files;
    PortableProfileStore store(files);

    EXPECT_FALSE(store.WriteString(L"s", L"k", L"v", folder.Path() + kFileName));

    EXPECT_TRUE(std::filesystem::is_directory(folder.HostPath() / kFileName));
    EXPECT_EQ(std::vector<std::filesystem::path>{"profile.ini"}, FolderContents(folder));
}
#endif

}  // namespace
}  // namespace tavrin::test
