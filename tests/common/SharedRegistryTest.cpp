#include <gtest/gtest.h>

#include "common/SharedRegistry.h"
#include "ports/portable/MemoryRegistry.h"
#include "tests/support/HostPorts.h"
#include "tests/support/TempFolder.h"

namespace tavrin {
namespace {

using namespace REGINI_MGR;

constexpr wchar_t kShared[] = L"SOFTWARE\\ZRN 58xx Software";
constexpr wchar_t kMap[] = L"SOFTWARE\\ZRN 58xx Software\\EncValueMap";

class SharedDefaultsTest : public ::testing::Test {
protected:
    void WriteDefaults(const std::string& config) {
        const std::wstring path = folder.Path() + L"AudioConfig.cfg";
        host.WriteFile(path, config);
        WriteSharedDefaults(host.profiles, registry, path);
    }
    std::optional<uint32_t> Dword(const std::wstring& key, const std::wstring& name) {
        RegistryValue value;
        uint32_t number = 0;
        if (registry.QueryValue(RegistryHive::LocalMachine, key, name, value,
                                RegistryView::Default) != 0 ||
            !ReadDwordValue(value, number)) {
            return std::nullopt;
        }
        return number;
    }

    test::TempFolder folder;
    test::HostPorts host;
    MemoryRegistry registry;
};

TEST_F(SharedDefaultsTest, EncValueMapEntriesNeedANameAndALevel) {
    WriteDefaults(
        "[EncValueMap]\r\n1=VID_2B7A&PID_5801,5\r\n2=VID_2B7A&PID_5802\r\n"
        "3=VID_2B7A&PID_5803, 7\r\n4=VID_2B7A&PID_5804 ,3\r\n5=\r\n"
        "19=VID_2B7A&PID_5819,19\r\n20=VID_2B7A&PID_5820,20\r\n");
    EXPECT_EQ(Dword(kMap, L"VID_2B7A&PID_5801"), 5u);
    EXPECT_EQ(Dword(kMap, L"VID_2B7A&PID_5802"), std::nullopt);
    EXPECT_EQ(Dword(kMap, L"VID_2B7A&PID_5803"), 7u) << "a leading space still converts";
    EXPECT_EQ(Dword(kMap, L"VID_2B7A&PID_5804 "), 3u) << "the name is taken as written";
    EXPECT_EQ(Dword(kMap, L"VID_2B7A&PID_5819"), 19u);
    EXPECT_EQ(Dword(kMap, L"VID_2B7A&PID_5820"), std::nullopt) << "keys above 19 are not read";
    std::vector<std::wstring> names;
    registry.EnumValueNames(RegistryHive::LocalMachine, kMap, names, RegistryView::Default);
    EXPECT_EQ(names.size(), 4u);
}

TEST_F(SharedDefaultsTest, DefaultSetValues) {
    registry.CreateKey(RegistryHive::LocalMachine, kShared, RegistryView::Default);
    registry.SetValue(RegistryHive::LocalMachine, kShared, L"Virtual7ch1Scalar", MakeDwordValue(33),
                      RegistryView::Default);
    WriteDefaults("[DefaultSet]\r\nVoiceMagicLevel=abc\r\nEncGpio=3,9\r\nEncScalar=\r\n");
    EXPECT_EQ(Dword(kShared, L"EncEnable"), 0u) << "absent EncEnable writes 0";
    EXPECT_EQ(Dword(kShared, L"VoiceMagicLevel"), 0u);
    EXPECT_EQ(Dword(kShared, L"EncGpio"), 3u);
    EXPECT_EQ(Dword(kShared, L"Virtual7ch1Scalar"), 33u) << "absent key leaves the value";
    EXPECT_EQ(Dword(kShared, L"EncScalar"), std::nullopt);
    EXPECT_EQ(Dword(kShared, L"VoiceMagicEnable"), std::nullopt);

    WriteDefaults("[DefaultSet]\r\nEncEnable=1,2\r\nV7ch1Scalar=15\r\nVoiceMagicEnable=1\r\n");
    EXPECT_EQ(Dword(kShared, L"EncEnable"), 1u);
    EXPECT_EQ(Dword(kShared, L"Virtual7ch1Scalar"), 15u);
    EXPECT_EQ(Dword(kShared, L"VoiceMagicEnable"), 1u);
    EXPECT_EQ(Dword(kShared, L"VoiceMagicLevel"), 0u) << "values are never deleted";
}

TEST(SharedWriters, ReportSuccessEvenWhenTheRegistryRefuses) {
    MemoryRegistry registry;
    EXPECT_EQ(WriteSharedString(registry, L"ZRN 58xx Software", L"Text", L"abc"), 0);
    RegistryValue value;
    ASSERT_EQ(registry.QueryValue(RegistryHive::LocalMachine, kShared, L"Text", value,
                                  RegistryView::Default),
              0);
    EXPECT_EQ(value.type, static_cast<uint32_t>(kRegSz));
    EXPECT_EQ(value.data, (std::vector<uint8_t>{'a', 0, 'b', 0, 'c', 0, 0, 0}));

    registry.SetReadOnly(true);
    EXPECT_EQ(WriteSharedDword(registry, L"Other", L"N", 1), 0);
    EXPECT_FALSE(
        registry.KeyExists(RegistryHive::LocalMachine, L"SOFTWARE\\Other", RegistryView::Default));
}

}  // namespace
}  // namespace tavrin
