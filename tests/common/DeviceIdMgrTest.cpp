#include <gtest/gtest.h>

#include <algorithm>

#include "common/DeviceIdMgr.h"
#include "ports/portable/MemoryRegistry.h"
#include "tests/support/MemoryFileSystem.h"

namespace tavrin::DEVICEID_MGR {
namespace {

using test::MemoryFileSystem;

const std::wstring kConfigPath = L"C:\\Program Files\\Tavrin\\AudioConfig.cfg";
const std::wstring kPattern = L"USB\\VID_2B7A&PID_58XX&REV_0100&MI_00";
const std::wstring kGroupName = L"ZRN USB DeviceId Group";
const std::wstring kGroupKey = L"SOFTWARE\\ZRN USB DeviceId Group";

class DeviceIdGroupTest : public ::testing::Test {
protected:
    int LoadSection(const std::string& sectionText, const std::wstring& section = L"USB_VID_PID") {
        files.AddTextFile(kConfigPath, sectionText);
        return group.LoadGroupFromFile(kConfigPath, section);
    }
    // Every value of the registry group, by name; absent values are "<none>".
    std::wstring StoredValue(const std::wstring& name) {
        RegistryValue value;
        if (registry.QueryValue(RegistryHive::LocalMachine, kGroupKey, name, value,
                                RegistryView::Default) != 0) {
            return L"<none>";
        }
        std::wstring text;
        EXPECT_EQ(value.type, kRegSz);
        EXPECT_TRUE(ReadStringValue(value, text));
        return text;
    }
    std::vector<std::wstring> StoredValueNames() {
        std::vector<std::wstring> names;
        registry.EnumValueNames(RegistryHive::LocalMachine, kGroupKey, names,
                                RegistryView::Default);
        std::sort(names.begin(), names.end());
        return names;
    }

    MemoryFileSystem files;
    MemoryRegistry registry;
    CDeviceIdMgr group{files, registry};
};

// ---------------------------------------------------------------------------------------------
// Loading.

TEST_F(DeviceIdGroupTest, LoadsTheEntriesOfTheSection) {
    EXPECT_EQ(LoadSection("[HID_VID_PID]\n1=HID\\VID_1111\n[USB_VID_PID]\n1=" +
                          std::string(kPattern.begin(), kPattern.end()) + "\n"),
              CDeviceIdMgr::kLoaded);
    EXPECT_TRUE(group.MatchDeviceId(L"USB\\VID_2B7A&PID_5801&REV_0100&MI_00"));
    EXPECT_FALSE(group.MatchDeviceId(L"HID\\VID_1111"));
}

TEST_F(DeviceIdGroupTest, KeyNamesCarryNoMeaning) {
    EXPECT_EQ(LoadSection("[USB_VID_PID]\nfirst=A\nzz=B\n"), CDeviceIdMgr::kLoaded);
    EXPECT_TRUE(group.MatchDeviceId(L"A"));
    EXPECT_TRUE(group.MatchDeviceId(L"B"));
}

TEST_F(DeviceIdGroupTest, FileThatCannotBeLoadedGivesOne) {
    EXPECT_EQ(group.LoadGroupFromFile(L"C:\\missing.cfg", L"USB_VID_PID"),
              CDeviceIdMgr::kFileNotLoaded);
    files.AddFile(kConfigPath, std::vector<uint8_t>{0xEF, 0xBB, 0xBF, 0xC3});
    EXPECT_EQ(group.LoadGroupFromFile(kConfigPath, L"USB_VID_PID"), CDeviceIdMgr::kFileNotLoaded);
}

TEST_F(DeviceIdGroupTest, FailedFileLoadKeepsThePreviousGroup) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=" + std::string(kPattern.begin(), kPattern.end())),
              CDeviceIdMgr::kLoaded);
    files.FailReads(kConfigPath, MemoryFileSystem::ReadFault::OpenFailed);
    EXPECT_EQ(group.LoadGroupFromFile(kConfigPath, L"USB_VID_PID"), CDeviceIdMgr::kFileNotLoaded);
    EXPECT_TRUE(group.MatchDeviceId(L"USB\\VID_2B7A&PID_5800&REV_0100&MI_00"));
}

TEST_F(DeviceIdGroupTest, MissingSectionGivesTwoAndEmptiesTheGroup) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=A\n"), CDeviceIdMgr::kLoaded);
    EXPECT_EQ(LoadSection("[usb_vid_pid]\n1=A\n"), CDeviceIdMgr::kNoSection);
    EXPECT_FALSE(group.MatchDeviceId(L"A"));
}

TEST_F(DeviceIdGroupTest, SectionWithoutKeysGivesThree) {
    EXPECT_EQ(LoadSection("[USB_VID_PID]\n; 1=A\nnot a key\n[Next]\n1=B\n"), CDeviceIdMgr::kNoKeys);
    EXPECT_FALSE(group.MatchDeviceId(L"B"));
}

TEST_F(DeviceIdGroupTest, BlankEntryGivesFourAndKeepsTheEntriesBeforeIt) {
    EXPECT_EQ(LoadSection("[USB_VID_PID]\n1=A\n2=   \n3=C\n"), CDeviceIdMgr::kEmptyEntry);
    EXPECT_TRUE(group.MatchDeviceId(L"A"));
    EXPECT_FALSE(group.MatchDeviceId(L"C"));
    group.StoreGroupInRegistry(kGroupName);
    EXPECT_EQ(StoredValueNames(), (std::vector<std::wstring>{L"1"}));
}

TEST_F(DeviceIdGroupTest, EntriesDifferingOnlyBySurroundingSpacesAreOneMember) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=A\n2=  A  \n3=A\n"), CDeviceIdMgr::kLoaded);
    group.StoreGroupInRegistry(kGroupName);
    EXPECT_EQ(StoredValueNames(), (std::vector<std::wstring>{L"1"}));
    EXPECT_EQ(StoredValue(L"1"), L"A");
}

TEST_F(DeviceIdGroupTest, RepeatedKeyGivesTheValueOfItsFirstLine) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=A\n1=B\n"), CDeviceIdMgr::kLoaded);
    EXPECT_TRUE(group.MatchDeviceId(L"A"));
    EXPECT_FALSE(group.MatchDeviceId(L"B"));
}

TEST_F(DeviceIdGroupTest, ClearGroupEmptiesTheGroup) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=A\n"), CDeviceIdMgr::kLoaded);
    group.ClearGroup();
    EXPECT_FALSE(group.MatchDeviceId(L"A"));
}

TEST_F(DeviceIdGroupTest, LoadsFromUtf16File) {
    const std::wstring text = L"[USB_VID_PID]\r\n1=" + kPattern + L"\r\n";
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    files.AddFile(kConfigPath, bytes);
    ASSERT_EQ(group.LoadGroupFromFile(kConfigPath, L"USB_VID_PID"), CDeviceIdMgr::kLoaded);
    EXPECT_TRUE(group.MatchDeviceId(L"USB\\VID_2B7A&PID_58A1&REV_0100&MI_00"));
}

// ---------------------------------------------------------------------------------------------
// Matching.

struct MatchCase {
    const char* name;
    const wchar_t* hardwareId;
    bool matches;
};

class MatchTest : public DeviceIdGroupTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(MatchTest, AgainstTheUsbPattern) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=" + std::string(kPattern.begin(), kPattern.end())),
              CDeviceIdMgr::kLoaded);
    EXPECT_EQ(group.MatchDeviceId(GetParam().hardwareId), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, MatchTest,
    ::testing::Values(
        MatchCase{"LowerCaseId", L"usb\\vid_2b7a&pid_58a1&rev_0100&mi_00", true},
        MatchCase{"DigitsInWildcards", L"USB\\VID_2B7A&PID_5800&REV_0100&MI_00", true},
        MatchCase{"XInWildcards", L"USB\\VID_2B7A&PID_58XX&REV_0100&MI_00", true},
        MatchCase{"OtherInterface", L"USB\\VID_2B7A&PID_5800&REV_0100&MI_01", false},
        MatchCase{"OneCharacterMore", L"USB\\VID_2B7A&PID_5800&REV_0100&MI_000", false},
        MatchCase{"OneCharacterLess", L"USB\\VID_2B7A&PID_5800&REV_0100&MI_0", false},
        MatchCase{"XWherePatternHasDigit", L"USB\\VID_2B7X&PID_5800&REV_0100&MI_00", false},
        MatchCase{"OtherVendor", L"USB\\VID_2B7B&PID_5800&REV_0100&MI_00", false},
        MatchCase{"Empty", L"", false}),
    [](const ::testing::TestParamInfo<MatchCase>& info) { return info.param.name; });

TEST_F(DeviceIdGroupTest, LowerCaseXInThePatternIsAWildcardToo) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=usb\\vid_2b7a&pid_58xx\n"), CDeviceIdMgr::kLoaded);
    EXPECT_TRUE(group.MatchDeviceId(L"USB\\VID_2B7A&PID_58F3"));
    EXPECT_FALSE(group.MatchDeviceId(L"USB\\VID_2B7A&PID_59F3"));
}

TEST_F(DeviceIdGroupTest, AnyMemberCanMatch) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=USB\\VID_1111&PID_2222\n2=USB\\VID_2B7A&PID_58XX\n"),
              CDeviceIdMgr::kLoaded);
    EXPECT_TRUE(group.MatchDeviceId(L"USB\\VID_1111&PID_2222"));
    EXPECT_TRUE(group.MatchDeviceId(L"USB\\VID_2B7A&PID_5812"));
    EXPECT_FALSE(group.MatchDeviceId(L"USB\\VID_1111&PID_2223"));
}

TEST_F(DeviceIdGroupTest, EmptyGroupMatchesNothing) {
    EXPECT_FALSE(group.MatchDeviceId(L""));
    EXPECT_FALSE(group.MatchDeviceId(kPattern));
}

// ---------------------------------------------------------------------------------------------
// Publishing in the registry.

TEST_F(DeviceIdGroupTest, StoresMembersInAscendingOrderWithTheirTerminatingNull) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=b\n2=a\n"), CDeviceIdMgr::kLoaded);
    EXPECT_EQ(group.StoreGroupInRegistry(kGroupName), 0);

    EXPECT_EQ(StoredValueNames(), (std::vector<std::wstring>{L"1", L"2"}));
    EXPECT_EQ(StoredValue(L"1"), L"a");
    EXPECT_EQ(StoredValue(L"2"), L"b");
    RegistryValue raw;
    ASSERT_EQ(registry.QueryValue(RegistryHive::LocalMachine, kGroupKey, L"1", raw,
                                  RegistryView::Default),
              0);
    EXPECT_EQ(raw.data, (std::vector<uint8_t>{'a', 0, 0, 0}));
}

TEST_F(DeviceIdGroupTest, EntriesDifferingInCaseAreTwoMembersInOrdinalOrder) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=usb\\a\n2=USB\\A\n"), CDeviceIdMgr::kLoaded);
    group.StoreGroupInRegistry(kGroupName);
    EXPECT_EQ(StoredValue(L"1"), L"USB\\A");
    EXPECT_EQ(StoredValue(L"2"), L"usb\\a");
}

TEST_F(DeviceIdGroupTest, NumbersValuesInDecimalWithoutGaps) {
    std::string section = "[USB_VID_PID]\n";
    for (char c = 'a'; c <= 'l'; ++c) section += std::string(1, c) + "=" + std::string(1, c) + "\n";
    ASSERT_EQ(LoadSection(section), CDeviceIdMgr::kLoaded);
    group.StoreGroupInRegistry(kGroupName);
    EXPECT_EQ(StoredValueNames().size(), 12u);
    EXPECT_EQ(StoredValue(L"10"), L"j");
    EXPECT_EQ(StoredValue(L"12"), L"l");
}

TEST_F(DeviceIdGroupTest, ShorterGroupLeavesTheOlderValuesBehind) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=a\n2=b\n3=c\n"), CDeviceIdMgr::kLoaded);
    group.StoreGroupInRegistry(kGroupName);
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=x\n2=y\n"), CDeviceIdMgr::kLoaded);
    group.StoreGroupInRegistry(kGroupName);
    EXPECT_EQ(StoredValue(L"1"), L"x");
    EXPECT_EQ(StoredValue(L"2"), L"y");
    EXPECT_EQ(StoredValue(L"3"), L"c");
}

TEST_F(DeviceIdGroupTest, EmptyGroupCreatesTheKeyWithoutValues) {
    EXPECT_EQ(group.StoreGroupInRegistry(kGroupName), 0);
    EXPECT_TRUE(registry.KeyExists(RegistryHive::LocalMachine, kGroupKey, RegistryView::Default));
    EXPECT_TRUE(StoredValueNames().empty());
}

TEST_F(DeviceIdGroupTest, StoresInTheViewOfTheProcessOnly) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=a\n"), CDeviceIdMgr::kLoaded);
    group.StoreGroupInRegistry(kGroupName);
    EXPECT_FALSE(registry.KeyExists(RegistryHive::LocalMachine, kGroupKey, RegistryView::Native64));
    EXPECT_FALSE(registry.KeyExists(RegistryHive::CurrentUser, kGroupKey, RegistryView::Default));
}

TEST_F(DeviceIdGroupTest, WriteErrorsAreNotReported) {
    ASSERT_EQ(LoadSection("[USB_VID_PID]\n1=a\n"), CDeviceIdMgr::kLoaded);
    registry.SetReadOnly(true);
    EXPECT_EQ(group.StoreGroupInRegistry(kGroupName), 0);
    EXPECT_FALSE(registry.KeyExists(RegistryHive::LocalMachine, kGroupKey, RegistryView::Default));
}

}  // namespace
}  // namespace tavrin::DEVICEID_MGR
