#include <gtest/gtest.h>

#include <string_view>

#include "common/Inifilemanager.h"
#include "tests/support/MemoryFileSystem.h"

namespace tavrin {
namespace {

using test::MemoryFileSystem;
using Bytes = std::vector<uint8_t>;
using Keys = std::vector<std::wstring>;

const std::wstring kPath = L"C:\\Program Files\\Tavrin\\AudioConfig.cfg";

const Bytes kUtf32LittleEndianMark{0xFF, 0xFE, 0x00, 0x00};
const Bytes kUtf32BigEndianMark{0x00, 0x00, 0xFE, 0xFF};
const Bytes kUtf8Mark{0xEF, 0xBB, 0xBF};
const Bytes kUtf16LittleEndianMark{0xFF, 0xFE};
const Bytes kUtf16BigEndianMark{0xFE, 0xFF};

Bytes operator+(Bytes left, const Bytes& right) {
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// The encoders take characters of the basic plane only, which is all the fixtures use.
Bytes SingleByte(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes Utf16LittleEndian(std::wstring_view text) {
    Bytes bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

Bytes Utf16BigEndian(std::wstring_view text) {
    Bytes bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    }
    return bytes;
}

Bytes Utf32LittleEndian(std::wstring_view text) {
    Bytes bytes;
    for (wchar_t c : text) bytes = bytes + Utf16LittleEndian(std::wstring(1, c)) + Bytes{0, 0};
    return bytes;
}

Bytes Utf32BigEndian(std::wstring_view text) {
    Bytes bytes;
    for (wchar_t c : text) bytes = bytes + Bytes{0, 0} + Utf16BigEndian(std::wstring(1, c));
    return bytes;
}

// A named file content, one row of a table.
struct BytesCase {
    const char* name;
    Bytes contents;
};

void PrintTo(const BytesCase& row, std::ostream* out) {
    *out << row.name;
}

class IniFileTest : public ::testing::Test {
protected:
    int Load(const Bytes& contents) {
        files.AddFile(kPath, contents);
        return ini.LoadIniFile(kPath);
    }
    int LoadText(std::string_view text) { return Load(SingleByte(text)); }
    Keys KeysOf(const std::wstring& section) const {
        Keys keys;
        ini.GetSectionKeys(section, keys);
        return keys;
    }

    MemoryFileSystem files;
    CIniMgr ini{files};
};

// ---------------------------------------------------------------------------------------------
// The same section spelled in every encoding and line-end style reads alike.

const std::wstring kCrlfText =
    L"; devices we serve\r\n[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX\r\n2 = abc\r\n";
const std::wstring kLfText = L"[USB_VID_PID]\n1=USB\\VID_2B7A&PID_58XX\n2 = abc\n";
const std::wstring kLooseText =
    L"stray=line\n\n\n  [USB_VID_PID]  \n\r\n\r\n  1=USB\\VID_2B7A&PID_58XX  \r\n  ; 3=no\n2 = abc";

std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

class SpellingTest : public IniFileTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(SpellingTest, ReadsTheSameKeysAndValues) {
    ASSERT_EQ(Load(GetParam().contents), CIniMgr::kLoaded);
    EXPECT_TRUE(ini.HasSection(L"USB_VID_PID"));
    EXPECT_EQ(KeysOf(L"USB_VID_PID"), (Keys{L"1", L"2 "}));
    EXPECT_EQ(ini.GetKeyValue(L"USB_VID_PID", L"1"), L"USB\\VID_2B7A&PID_58XX");
    EXPECT_EQ(ini.GetKeyValue(L"USB_VID_PID", L"2 "), L" abc");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, SpellingTest,
    ::testing::Values(
        BytesCase{"SingleByteCrlf", SingleByte(Narrow(kCrlfText))},
        BytesCase{"SingleByteLf", SingleByte(Narrow(kLfText))},
        BytesCase{"SingleByteLoose", SingleByte(Narrow(kLooseText))},
        BytesCase{"Utf8MarkCrlf", kUtf8Mark + SingleByte(Narrow(kCrlfText))},
        BytesCase{"Utf8MarkLoose", kUtf8Mark + SingleByte(Narrow(kLooseText))},
        BytesCase{"Utf16LittleEndianCrlf", kUtf16LittleEndianMark + Utf16LittleEndian(kCrlfText)},
        BytesCase{"Utf16LittleEndianLf", kUtf16LittleEndianMark + Utf16LittleEndian(kLfText)},
        BytesCase{"Utf16LittleEndianLoose", kUtf16LittleEndianMark + Utf16LittleEndian(kLooseText)},
        BytesCase{"Utf16BigEndianCrlf", kUtf16BigEndianMark + Utf16BigEndian(kCrlfText)},
        BytesCase{"Utf16BigEndianLoose", kUtf16BigEndianMark + Utf16BigEndian(kLooseText)},
        BytesCase{"Utf32LittleEndianCrlf", kUtf32LittleEndianMark + Utf32LittleEndian(kCrlfText)},
        BytesCase{"Utf32LittleEndianLf", kUtf32LittleEndianMark + Utf32LittleEndian(kLfText)},
        BytesCase{"Utf32BigEndianCrlf", kUtf32BigEndianMark + Utf32BigEndian(kCrlfText)},
        BytesCase{"Utf32BigEndianLoose", kUtf32BigEndianMark + Utf32BigEndian(kLooseText)}),
    [](const ::testing::TestParamInfo<BytesCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Characters beyond ASCII: what one key's value decodes to.

struct CharacterCase {
    const char* name;
    Bytes contents;
    std::wstring value;  // of key "1" in section "S"
};

class CharacterTest : public IniFileTest, public ::testing::WithParamInterface<CharacterCase> {};

TEST_P(CharacterTest, DecodesTheValue) {
    ASSERT_EQ(Load(GetParam().contents), CIniMgr::kLoaded);
    EXPECT_EQ(ini.GetKeyValue(L"S", L"1"), GetParam().value);
}

const Bytes kHeaderAndKey = SingleByte("[S]\n1=");

INSTANTIATE_TEST_SUITE_P(
    Encodings, CharacterTest,
    ::testing::Values(
        CharacterCase{"Utf8TwoBytes", kUtf8Mark + kHeaderAndKey + Bytes{0xC3, 0xA9}, L"\u00E9"},
        CharacterCase{"Utf8ThreeBytes", kUtf8Mark + kHeaderAndKey + Bytes{0xE2, 0x82, 0xAC},
                      L"\u20AC"},
        CharacterCase{"Utf8HighestOfBasicPlane",
                      kUtf8Mark + kHeaderAndKey + Bytes{0xEF, 0xBF, 0xBF}, L"\uFFFF"},
        // Overlong forms are not refused: their bits give the character.
        CharacterCase{"Utf8OverlongTwoBytes", kUtf8Mark + kHeaderAndKey + Bytes{0xC1, 0x81}, L"A"},
        CharacterCase{"Utf8OverlongFiveBytes",
                      kUtf8Mark + kHeaderAndKey + Bytes{0xF8, 0x80, 0x80, 0x81, 0x81}, L"A"},
        // Without a mark UTF-8 is single-byte text: one character per byte.
        CharacterCase{"Utf8WithoutMark", kHeaderAndKey + Bytes{0xC3, 0xA9}, L"\u00C3\u00A9"},
        CharacterCase{"SingleByteHighHalf", kHeaderAndKey + Bytes{0x80, 0xE9, 0xFF},
                      L"\u0080\u00E9\u00FF"},
        CharacterCase{"Utf16LittleEndian",
                      kUtf16LittleEndianMark + Utf16LittleEndian(L"[S]\n1=\u00E9\u20AC"),
                      L"\u00E9\u20AC"},
        CharacterCase{"Utf16BigEndian",
                      kUtf16BigEndianMark + Utf16BigEndian(L"[S]\n1=\u00E9\u20AC"),
                      L"\u00E9\u20AC"},
        // Surrogate units are not paired up; they pass through as they are.
        CharacterCase{"Utf16LoneSurrogate",
                      kUtf16LittleEndianMark + Utf16LittleEndian(L"[S]\n1=") + Bytes{0x3D, 0xD8},
                      std::wstring(1, static_cast<wchar_t>(0xD83D))},
        CharacterCase{
            "Utf32HighestOfBasicPlane",
            kUtf32LittleEndianMark + Utf32LittleEndian(L"[S]\n1=") + Bytes{0xFF, 0xFF, 0x00, 0x00},
            L"\uFFFF"},
        CharacterCase{"Utf32BigEndian", kUtf32BigEndianMark + Utf32BigEndian(L"[S]\n1=\u00E9"),
                      L"\u00E9"},
        // The end of the file ends the text, not a NUL character.
        CharacterCase{"NulInsideValue", kHeaderAndKey + Bytes{'a', 0x00, 'b'},
                      std::wstring(L"a\0b", 3)}),
    [](const ::testing::TestParamInfo<CharacterCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Contents that cannot be decoded give 5, whatever the bytes.

class UndecodableTest : public IniFileTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(UndecodableTest, FailsWithDecodeError) {
    EXPECT_EQ(Load(GetParam().contents), CIniMgr::kDecodeFailed);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, UndecodableTest,
    ::testing::Values(
        BytesCase{"Utf8OutsideBasicPlane",
                  kUtf8Mark + kHeaderAndKey + Bytes{0xF0, 0x9F, 0x98, 0x80}},
        BytesCase{"Utf8FiveBytesAboveBasicPlane", kUtf8Mark + Bytes{0xF8, 0x88, 0x80, 0x80, 0x80}},
        BytesCase{"Utf8SixBytes", kUtf8Mark + Bytes{0xFC, 0x84, 0x80, 0x80, 0x80, 0x80}},
        BytesCase{"Utf8CutOffAtEnd", kUtf8Mark + kHeaderAndKey + Bytes{0xC3}},
        BytesCase{"Utf8FiveBytesCutOff", kUtf8Mark + Bytes{0xF8, 0x80, 0x80}},
        BytesCase{"Utf8BadFollowingByte", kUtf8Mark + Bytes{0xC3, 0x41}},
        BytesCase{"Utf8FollowingByteAsLead", kUtf8Mark + Bytes{0x80}},
        BytesCase{"Utf8LeadFE", kUtf8Mark + Bytes{0xFE}},
        BytesCase{"Utf8LeadFF", kUtf8Mark + Bytes{0xFF}},
        BytesCase{"Utf16LittleEndianOddLength", kUtf16LittleEndianMark + Bytes{0x41}},
        BytesCase{"Utf16BigEndianOddLength", kUtf16BigEndianMark + Bytes{0x00, 0x41, 0x00}},
        // Three bytes are too few for the UTF-32 mark: UTF-16 with half a character.
        BytesCase{"Utf16MarkAndOneNul", Bytes{0xFF, 0xFE, 0x00}},
        BytesCase{"Utf32LengthNotMultipleOfFour", kUtf32LittleEndianMark + Bytes{0x41, 0x00, 0x00}},
        BytesCase{"Utf32LittleEndianAboveBasicPlane",
                  kUtf32LittleEndianMark + Bytes{0x00, 0x00, 0x01, 0x00}},
        BytesCase{"Utf32BigEndianAboveBasicPlane",
                  kUtf32BigEndianMark + Bytes{0x00, 0x01, 0x00, 0x00}},
        BytesCase{"Utf32AllBitsSet", kUtf32LittleEndianMark + Bytes{0xFF, 0xFF, 0xFF, 0xFF}}),
    [](const ::testing::TestParamInfo<BytesCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Files without content.

class EmptyContentTest : public IniFileTest, public ::testing::WithParamInterface<BytesCase> {};

TEST_P(EmptyContentTest, LoadsWithNoSections) {
    LoadText("[Old]\n1=a\n");
    ASSERT_EQ(Load(GetParam().contents), CIniMgr::kLoaded);
    EXPECT_FALSE(ini.HasSection(L"Old"));
    EXPECT_FALSE(ini.HasSection(L""));
}

INSTANTIATE_TEST_SUITE_P(
    MarkOnly, EmptyContentTest,
    ::testing::Values(BytesCase{"Empty", Bytes{}},
                      BytesCase{"Utf32LittleEndianMark", kUtf32LittleEndianMark},
                      BytesCase{"Utf32BigEndianMark", kUtf32BigEndianMark},
                      BytesCase{"Utf8Mark", kUtf8Mark},
                      BytesCase{"Utf16LittleEndianMark", kUtf16LittleEndianMark},
                      BytesCase{"Utf16BigEndianMark", kUtf16BigEndianMark},
                      BytesCase{"OnlyLineFeeds", SingleByte("\n\n\n")},
                      BytesCase{"OnlyCommentsAndBlanks", SingleByte(" ; a\r\n  \r\n;[S]")},
                      BytesCase{"LinesBeforeAnyHeader", SingleByte("1=a\n2=b\n")}),
    [](const ::testing::TestParamInfo<BytesCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Result codes and what each leaves behind.

TEST_F(IniFileTest, MissingFileFailsToOpen) {
    EXPECT_EQ(ini.LoadIniFile(L"C:\\nowhere.ini"), CIniMgr::kOpenFailed);
}

struct ReadFaultCase {
    const char* name;
    MemoryFileSystem::ReadFault fault;
    int result;
};

class ReadFaultTest : public IniFileTest, public ::testing::WithParamInterface<ReadFaultCase> {};

TEST_P(ReadFaultTest, ReturnsItsCodeAndKeepsThePreviousContent) {
    ASSERT_EQ(LoadText("[Old]\n1=a\n"), CIniMgr::kLoaded);
    const std::wstring other = L"C:\\Other.ini";
    files.AddTextFile(other, "[New]\n1=b\n");
    files.FailReads(other, GetParam().fault);

    EXPECT_EQ(ini.LoadIniFile(other), GetParam().result);
    EXPECT_TRUE(ini.HasSection(L"Old"));
    EXPECT_EQ(ini.GetKeyValue(L"Old", L"1"), L"a");
    EXPECT_FALSE(ini.HasSection(L"New"));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ReadFaultTest,
    ::testing::Values(
        ReadFaultCase{"Open", MemoryFileSystem::ReadFault::OpenFailed, CIniMgr::kOpenFailed},
        ReadFaultCase{"Size", MemoryFileSystem::ReadFault::SizeFailed, CIniMgr::kSizeFailed},
        ReadFaultCase{"Memory", MemoryFileSystem::ReadFault::OutOfMemory, CIniMgr::kNoMemory},
        ReadFaultCase{"Read", MemoryFileSystem::ReadFault::ReadFailed, CIniMgr::kReadFailed}),
    [](const ::testing::TestParamInfo<ReadFaultCase>& info) { return info.param.name; });

TEST_F(IniFileTest, DecodeFailureDropsThePreviousContent) {
    ASSERT_EQ(LoadText("[Old]\n1=a\n"), CIniMgr::kLoaded);
    EXPECT_EQ(Load(kUtf16LittleEndianMark + Bytes{0x41}), CIniMgr::kDecodeFailed);
    EXPECT_FALSE(ini.HasSection(L"Old"));
}

TEST_F(IniFileTest, NewLoadReplacesThePreviousSections) {
    ASSERT_EQ(LoadText("[Old]\n1=a\n"), CIniMgr::kLoaded);
    ASSERT_EQ(LoadText("[New]\n1=b\n"), CIniMgr::kLoaded);
    EXPECT_FALSE(ini.HasSection(L"Old"));
    EXPECT_EQ(ini.GetKeyValue(L"New", L"1"), L"b");
}

TEST_F(IniFileTest, ClearIniDropsEverySection) {
    ASSERT_EQ(LoadText("[A]\n1=a\n[B]\n2=b\n"), CIniMgr::kLoaded);
    ini.ClearIni();
    EXPECT_FALSE(ini.HasSection(L"A"));
    EXPECT_FALSE(ini.HasSection(L"B"));
    EXPECT_EQ(ini.GetKeyValue(L"A", L"1"), L"");
}

TEST_F(IniFileTest, ReadsTheFileOncePerLoad) {
    LoadText("[A]\n1=a\n");
    EXPECT_EQ(files.readCount, 1);
}

// ---------------------------------------------------------------------------------------------
// Sections.

TEST_F(IniFileTest, SectionNamesAreCaseSensitive) {
    ASSERT_EQ(LoadText("[USB_VID_PID]\n1=upper\n[usb_vid_pid]\n1=lower\n"), CIniMgr::kLoaded);
    EXPECT_EQ(ini.GetKeyValue(L"USB_VID_PID", L"1"), L"upper");
    EXPECT_EQ(ini.GetKeyValue(L"usb_vid_pid", L"1"), L"lower");
    EXPECT_FALSE(ini.HasSection(L"Usb_Vid_Pid"));
}

TEST_F(IniFileTest, SectionNameIsTakenAsItIsBetweenTheBrackets) {
    ASSERT_EQ(LoadText("[ Spaced ]\n1=a\n[]\n2=b\n"), CIniMgr::kLoaded);
    EXPECT_TRUE(ini.HasSection(L" Spaced "));
    EXPECT_FALSE(ini.HasSection(L"Spaced"));
    EXPECT_EQ(ini.GetKeyValue(L"", L"2"), L"b");
}

TEST_F(IniFileTest, HeaderNeedsBothBracketsAtTheEnds) {
    ASSERT_EQ(LoadText("[A]\n1=a\n[B] trailing\n2=b\n[\n3=c\n"), CIniMgr::kLoaded);
    EXPECT_FALSE(ini.HasSection(L"B"));
    EXPECT_EQ(KeysOf(L"A"), (Keys{L"1", L"2", L"3"}));
}

// Blanks between "]" and the carriage return must not hide a header: its keys would land in
// the section before it.
TEST_F(IniFileTest, HeaderWithBlanksBeforeItsLineEndIsAHeader) {
    ASSERT_EQ(LoadText("  [A]\r\n1=a\r\n[B]  \r\n2=b\r\n"), CIniMgr::kLoaded);
    EXPECT_EQ(KeysOf(L"A"), (Keys{L"1"}));
    EXPECT_EQ(KeysOf(L"B"), (Keys{L"2"}));
}

TEST_F(IniFileTest, RepeatedSectionAnswersWithTheFirst) {
    ASSERT_EQ(LoadText("[A]\n1=first\n[A]\n1=second\n2=only-in-second\n"), CIniMgr::kLoaded);
    EXPECT_EQ(KeysOf(L"A"), (Keys{L"1"}));
    EXPECT_EQ(ini.GetKeyValue(L"A", L"2"), L"");
}

TEST_F(IniFileTest, CarriageReturnsAloneDoNotBreakLines) {
    ASSERT_EQ(LoadText("[A]\r1=a\r2=b\r"), CIniMgr::kLoaded);
    EXPECT_FALSE(ini.HasSection(L"A"));
}

// ---------------------------------------------------------------------------------------------
// Keys and values.

TEST_F(IniFileTest, SpacesAroundTheEqualsSignStay) {
    ASSERT_EQ(LoadText("[S]\n  1 = abc  \n"), CIniMgr::kLoaded);
    EXPECT_EQ(KeysOf(L"S"), (Keys{L"1 "}));
    EXPECT_EQ(ini.GetKeyValue(L"S", L"1 "), L" abc");
    EXPECT_EQ(ini.GetKeyValue(L"S", L"1"), L"");
}

TEST_F(IniFileTest, DuplicateKeysAreListedTwiceAndAnswerWithTheFirstValue) {
    ASSERT_EQ(LoadText("[S]\nk=first\nother=x\nk=second\n"), CIniMgr::kLoaded);
    EXPECT_EQ(KeysOf(L"S"), (Keys{L"k", L"other", L"k"}));
    EXPECT_EQ(ini.GetKeyValue(L"S", L"k"), L"first");
}

TEST_F(IniFileTest, CommentsAndLinesBeforeTheFirstHeaderAreIgnored) {
    ASSERT_EQ(LoadText("before=1\n;[Hidden]\n[S]\n;1=comment\n  ;2=comment\n3=kept\n"),
              CIniMgr::kLoaded);
    EXPECT_FALSE(ini.HasSection(L"Hidden"));
    EXPECT_EQ(KeysOf(L"S"), (Keys{L"3"}));
}

TEST_F(IniFileTest, SplitsAtTheFirstEqualsSign) {
    ASSERT_EQ(LoadText("[S]\na=b=c\nempty=\n=no key\nno equals sign\n"), CIniMgr::kLoaded);
    EXPECT_EQ(KeysOf(L"S"), (Keys{L"a", L"empty"}));
    EXPECT_EQ(ini.GetKeyValue(L"S", L"a"), L"b=c");
    EXPECT_EQ(ini.GetKeyValue(L"S", L"empty"), L"");
}

TEST_F(IniFileTest, KeysAreCaseSensitiveAndTabsAreNotTrimmed) {
    ASSERT_EQ(LoadText("[S]\nKey=upper\n\tkey=tabbed\n"), CIniMgr::kLoaded);
    EXPECT_EQ(ini.GetKeyValue(L"S", L"Key"), L"upper");
    EXPECT_EQ(ini.GetKeyValue(L"S", L"key"), L"");
    EXPECT_EQ(ini.GetKeyValue(L"S", L"\tkey"), L"tabbed");
}

TEST_F(IniFileTest, EmptyKeyUnknownSectionAndUnknownKeyGiveEmptyText) {
    ASSERT_EQ(LoadText("[S]\n1=a\n"), CIniMgr::kLoaded);
    EXPECT_EQ(ini.GetKeyValue(L"S", L""), L"");
    EXPECT_EQ(ini.GetKeyValue(L"T", L"1"), L"");
    EXPECT_EQ(ini.GetKeyValue(L"S", L"2"), L"");
}

TEST_F(IniFileTest, GetSectionKeysReplacesTheListOrLeavesItForAnUnknownSection) {
    ASSERT_EQ(LoadText("[S]\n1=a\n2=b\n[Empty]\n"), CIniMgr::kLoaded);
    Keys keys{L"left over"};
    ini.GetSectionKeys(L"Unknown", keys);
    EXPECT_EQ(keys, (Keys{L"left over"}));
    ini.GetSectionKeys(L"S", keys);
    EXPECT_EQ(keys, (Keys{L"1", L"2"}));
    ini.GetSectionKeys(L"Empty", keys);
    EXPECT_TRUE(keys.empty());
}

TEST_F(IniFileTest, LastLineWithoutLineFeedCounts) {
    ASSERT_EQ(LoadText("[S]\n1=a\n2=b"), CIniMgr::kLoaded);
    EXPECT_EQ(ini.GetKeyValue(L"S", L"2"), L"b");
}

}  // namespace
}  // namespace tavrin
