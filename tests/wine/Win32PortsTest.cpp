#include <windows.h>

#include <gtest/gtest.h>

#include "common/VersionInfoMgr.h"
#include "ports/win32/Win32Environment.h"
#include "ports/win32/Win32FileSystem.h"
#include "ports/win32/Win32Registry.h"
#include "tests/support/RecordingDebugLog.h"
#include "tests/support/TempFolder.h"

namespace tavrin {
namespace {

constexpr wchar_t kTestKey[] = L"SOFTWARE\\Tavrin Test";

TEST(Win32Registry, ValuesRoundTripInBothViews) {
    Win32Registry registry;
    const auto hklm = RegistryHive::LocalMachine;
    registry.DeleteTree(hklm, kTestKey, RegistryView::Default);
    ASSERT_EQ(registry.CreateKey(hklm, kTestKey, RegistryView::Native64), 0);
    ASSERT_EQ(
        registry.SetValue(hklm, kTestKey, L"Blob", {kRegBinary, {1, 2, 3}}, RegistryView::Native64),
        0);
    ASSERT_EQ(
        registry.SetValue(hklm, kTestKey, L"Name", MakeStringValue(L"ZRN"), RegistryView::Default),
        0);
    RegistryValue value;
    ASSERT_EQ(registry.QueryValue(hklm, kTestKey, L"blob", value, RegistryView::Native64), 0);
    EXPECT_EQ(value.type, static_cast<uint32_t>(kRegBinary));
    EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 2, 3}));
    std::vector<std::wstring> names;
    ASSERT_EQ(registry.EnumValueNames(hklm, kTestKey, names, RegistryView::Default), 0);
    EXPECT_EQ(names.size(), 2u) << "a 64-bit process sees one view";
    EXPECT_EQ(registry.DeleteValue(hklm, kTestKey, L"Name", RegistryView::Default), 0);
    EXPECT_EQ(registry.QueryValue(hklm, kTestKey, L"Name", value, RegistryView::Default), 2);
    EXPECT_EQ(registry.DeleteTree(hklm, kTestKey, RegistryView::Default), 0);
    EXPECT_EQ(registry.QueryValue(hklm, kTestKey, L"Blob", value, RegistryView::Default), 2);
}

TEST(Win32FileSystem, AFileHeldByAProgramCannotBeWrittenOrRemoved) {
    test::TempFolder folder;
    Win32FileSystem files;
    const std::wstring path = folder.Path() + L"Tavrin.exe";
    const uint8_t bytes[] = {'M', 'Z', 0};
    ASSERT_TRUE(files.ReplaceFileAtomically(path, std::vector<uint8_t>(bytes, bytes + 2)));
    // A running program's file is open for reading without write or delete sharing.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files.WriteNewFile(path, bytes, sizeof(bytes)), FileWriteResult::OpenFailed);
    EXPECT_FALSE(files.RemoveFile(path));
    CloseHandle(held);
    EXPECT_TRUE(files.RemoveFile(path));
}

TEST(Win32Environment, AnswersLikeA64BitWindows) {
    Win32Environment environment;
    EXPECT_FALSE(environment.GetKnownFolder(KnownFolder::ProgramFiles).empty());
    EXPECT_FALSE(environment.GetKnownFolder(KnownFolder::SystemX86).empty());
    EXPECT_FALSE(environment.GetKnownFolder(KnownFolder::CommonPrograms).empty());
    EXPECT_FALSE(environment.GetKnownFolder(KnownFolder::Desktop).empty());
    EXPECT_FALSE(environment.SystemDirectory().empty());
    const std::wstring module = environment.ProgramPath();
    EXPECT_NE(module.find(L"tavrin_wine_tests"), std::wstring::npos) << module.c_str();
    EXPECT_FALSE(environment.IsWow64Process()) << "a 64-bit process";
    EXPECT_EQ(environment.GetNativeProcessorArchitecture(), 9);
    EXPECT_FALSE(environment.GetVariable(L"TAVRIN_SURELY_UNSET_VARIABLE").has_value());
    EXPECT_TRUE(environment.GetVariable(L"SystemRoot").has_value());

    OsVersion version;
    ASSERT_EQ(environment.GetOsVersion(version), OsVersionResult::Ok);
    EXPECT_GE(version.major, 6u);

    test::RecordingDebugLog log;
    INSTALL_MGR::CInstallMgr manager(environment, log);
    EXPECT_EQ(manager.m_iMachineBitness, 1);
    EXPECT_NE(manager.m_iFamily, VERSIONINFO_MGR::kUnknown);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines[0].rfind(L"GetWindowsVersion: Major = 0x", 0), 0u);
}

}  // namespace
}  // namespace tavrin
