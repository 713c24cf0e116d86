#include "app/features/ProfileFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/AudioConfig.h"
#include "ports/portable/PortableProfileStore.h"
#include "tests/support/HostPorts.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/TempFolder.h"

namespace tavrin {
namespace {

using Key = ProfileKeyId;

// Every key given, with the values a user might have.
ProfileData FullProfile() {
    ProfileData profile;
    profile.SetPreset(1, {0x200, 0x400, 0x9FF, 0x400, 0x6FF}, 1);
    for (int32_t preset = 2; preset <= 4; ++preset)
        profile.SetPreset(preset, {0x400, 0x400, 0x400, 0x400, 0x400}, 1);
    int32_t value = 0;
    for (const ProfileKey& key : ProfileKeys()) {
        if (key.format == ProfileFormat::Number) profile.SetNumber(key.id, ++value);
        if (key.format == ProfileFormat::Position)
            profile.SetPosition(key.id, 400 + value, 200 - value);
    }
    profile.SetNumber(Key::LEDSingleColorRGB, 0xFF00FF);
    return profile;
}

TEST(ProfileFileTest, TheTextHoldsEverySectionAndKeyInTheOrderOfWriting) {
    const std::string text = ProfileText(FullProfile());
    EXPECT_EQ(text.rfind("[EQ]\r\nS1=0x200,0x400,0x9FF,0x400,0x6FF,1\r\nS2=0x400,", 0), 0u) << text;
    const std::vector<std::string> inOrder = {
        "\r\nEQEN=1\r\nEQFromEEPROM=2\r\n[3D]\r\nLeftAlpha=3\r\n",
        "\r\n3DEN=8\r\n3DFromEEPROM=9\r\n[Effect]\r\nCurrentEffect=10\r\n[Virtual7ch1]\r\nC=410,"
        "190\r\n",
        "\r\nR=410,190\r\n7ch1EN=11\r\n[LED]\r\nLEDON=12\r\nLEDPageMode=13\r\n",
        "\r\nLEDSingleColorRGB=16711935\r\n",
        "\r\nLEDFastRightSide=32\r\n[ENC]\r\nENCEN=33\r\nENCValue=34\r\n[VoiceMagic]\r\n"
        "VoiceMagicEN=35\r\nVoiceMagicMode=36\r\n",
    };
    size_t at = 0;
    for (const std::string& part : inOrder) {
        const size_t found = text.find(part, at);
        ASSERT_NE(found, std::string::npos) << part << "\nin\n" << text;
        at = found + part.size();
    }
    EXPECT_EQ(at, text.size()) << "nothing after the last key";
}

// The file the writer makes reads back key for key through the profile store of this build:
// the portable one natively, the Windows profile functions under Wine.
TEST(ProfileFileTest, WhatIsWrittenReadsBackThroughTheProfileFunctions) {
    test::TempFolder folder;
    test::HostPorts host;
    const std::wstring file = folder.Path() + kLastProfileFileName;
    const ProfileData written = FullProfile();
    ASSERT_TRUE(WriteProfile(host.files, file, written));
    EXPECT_EQ(ReadProfile(host.profiles, file), written);
}

TEST(ProfileFileTest, AFolderThatIsNotThereIsAFailedWriteAndLeavesNothing) {
    test::MemoryFileSystem files;
    EXPECT_FALSE(WriteProfile(files, L"C:\\Missing\\LastProfile.ini", FullProfile()));
    EXPECT_TRUE(files.files.empty());
}

// How each kind of key reads a value: the strict numbers (decimal or 0x), the switches that are
// 0 when empty, and the numbers that may be left out.
struct ConversionCase {
    const wchar_t* value;
    std::optional<int32_t> strict;  // nullopt: the conversion error
    int32_t zeroWhenEmpty;
    std::optional<int32_t> given;
};

TEST(ProfileFileTest, EachKindOfValueConvertsByItsOwnRule) {
    const ConversionCase cases[] = {
        {L"", std::nullopt, 0, std::nullopt},
        {L"5", 5, 5, 5},
        {L"-3", -3, -3, -3},
        {L"0x1F", 31, 0, std::nullopt},
        {L"0X9ff", 0x9FF, 0, std::nullopt},
        {L"12abc", std::nullopt, 12, std::nullopt},
        {L"abc", std::nullopt, 0, std::nullopt},
        {L"0x", std::nullopt, 0, std::nullopt},
        {L"4294967296", std::nullopt, INT32_MAX, std::nullopt},
        {L"3,9", 3, 3, 3},  // a second item of a one-item key is ignored
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "value '" << std::string(c.value, c.value + wcslen(c.value)) << "'");
        ProfileData profile;
        profile.SetValue(Key::CurrentEffect, c.value);
        if (c.strict) {
            EXPECT_EQ(profile.StrictNumber(Key::CurrentEffect), *c.strict);
        } else {
            EXPECT_THROW(profile.StrictNumber(Key::CurrentEffect), ConfigConversionError);
        }
        EXPECT_EQ(profile.ZeroWhenEmpty(Key::CurrentEffect), c.zeroWhenEmpty);
        EXPECT_EQ(profile.GivenNumber(Key::CurrentEffect), c.given);
    }
}

TEST(ProfileFileTest, ItemsBeyondAKeysOwnAreIgnoredAndLongItemsCut) {
    ProfileData profile;
    profile.SetValue(Key::L, L"497,188,12,junk");
    EXPECT_EQ(profile.StrictPosition(Key::L), (std::array<int32_t, 2>{497, 188}));

    profile.SetValue(Key::S1, L"0x400,0x500,0x600,0x700,0x800,1,0x999,extra");
    EXPECT_EQ(profile.PresetItems(1), (std::array<std::wstring, 6>{L"0x400", L"0x500", L"0x600",
                                                                   L"0x700", L"0x800", L"1"}));
    // Missing items are empty, which the conversion refuses.
    profile.SetValue(Key::S2, L"0x400,0x400");
    EXPECT_EQ(profile.PresetItems(2)[2], L"");

    const std::wstring longItem(200, L'7');
    profile.SetValue(Key::R, L"1," + longItem);
    try {
        profile.StrictPosition(Key::R);
        FAIL() << "a 127-digit number is not an integer";
    } catch (const ConfigConversionError& error) {
        EXPECT_EQ(error.Message(),
                  L"'" + std::wstring(127, L'7') + L"' is not a valid integer value");
    }
}

// Files that are not what the writer makes, read with the Windows rules: what each key then
// holds. Nothing here may crash or read past a value.
struct BadFileCase {
    const char* what;
    std::string bytes;
    std::wstring s1;             // the [EQ] S1 value read
    std::wstring currentEffect;  // the [Effect] CurrentEffect value read
};

std::string Utf16(const std::string& ascii) {
    std::string bytes = "\xFF\xFE";
    for (const char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

TEST(ProfileFileTest, BadFilesReadAsTheWindowsFunctionsReadThem) {
    const std::string good =
        "[EQ]\r\nS1=0x400,0x400,0x400,0x400,0x400,1\r\n[Effect]\r\nCurrentEffect=3\r\n";
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
    const BadFileCase cases[] = {
        {"no file at all", "", L"", L""},
        {"sections missing", "[Effect]\r\nCurrentEffect=3\r\n", L"", L"3"},
        {"empty values", "[EQ]\r\nS1=\r\n[Effect]\r\nCurrentEffect=\r\n", L"", L""},
        {"UTF-16 with its mark", Utf16(good), L"0x400,0x400,0x400,0x400,0x400,1", L"3"},
        {"UTF-8 with its mark: the first header is not one", "\xEF\xBB\xBF" + good, L"", L"3"},
        {"CR-only line ends", "[EQ]\rS1=1,2,3,4,5,0\r[Effect]\rCurrentEffect=2\r", L"1,2,3,4,5,0",
         L"2"},
        {"a value longer than the buffer", "[EQ]\r\nS1=" + std::string(400, '9') + "\r\n",
         std::wstring(255, L'9'), L""},
        {"binary junk", junk, L"", L""},
    };
    for (const BadFileCase& c : cases) {
        SCOPED_TRACE(c.what);
        test::MemoryFileSystem files;
        PortableProfileStore profiles(files);
        const std::wstring file = L"C:\\Profiles\\Bad.ini";
        if (!c.bytes.empty()) files.AddFile(file, {c.bytes.begin(), c.bytes.end()});
        const ProfileData profile = ReadProfile(profiles, file);
        EXPECT_EQ(profile.Value(Key::S1), c.s1);
        EXPECT_EQ(profile.Value(Key::CurrentEffect), c.currentEffect);
    }
}

}  // namespace
}  // namespace tavrin
