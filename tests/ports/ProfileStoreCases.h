#pragma once
// The profile-store contract as one table: what GetPrivateProfileStringW and
// WritePrivateProfileStringW do on Windows (shared/notes/profile-strings.md). Every case runs
// against the portable store natively and against the real functions under Wine, except the
// native-only list at the end, where Wine is known to differ from Windows.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin::test {

using namespace std::string_literals;

enum class ProfileCall { Get, Write };

struct ProfileStoreCase {
    const char* name = "";                // the test's name: letters and digits only
    std::optional<std::string> before{};  // the file's bytes before the call; nullopt: no file
    ProfileCall call = ProfileCall::Get;
    const wchar_t* section = nullptr;
    const wchar_t* key = nullptr;
    const wchar_t* text = nullptr;       // Get: the default; Write: the value
    uint32_t capacity = 64;              // Get: the buffer's size in characters
    uint32_t returns = 0;                // Get: the count returned; Write: 1 for true, 0 for false
    std::wstring buffer{};               // Get: what the buffer starts with, NULs included
    std::optional<std::string> after{};  // Write: the file's bytes after; nullopt: no file
    bool inMissingFolder = false;        // the file's folder does not exist
};

// UTF-16LE bytes with the mark (the characters used here are all in the BMP).
inline std::string Utf16LeFile(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) {
        bytes += static_cast<char>(static_cast<uint32_t>(c) & 0xFF);
        bytes += static_cast<char>((static_cast<uint32_t>(c) >> 8) & 0xFF);
    }
    return bytes;
}

// The file of Wine's conformance test for GetPrivateProfileString.
inline const std::string kSampleFile =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";

inline const std::string kTwoSections = "[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n";

// One case to a few lines: the table reads better than one field to a line.
// clang-format off
inline const std::vector<ProfileStoreCase> kProfileStoreCases = {
    // Look-ups.
    {.name = "ReadsValue", .before = kSampleFile, .section = L"section1", .key = L"name1",
     .text = L"default", .returns = 4, .buffer = L"val1"},
    {.name = "SectionMatchesCaseInsensitively", .before = kSampleFile, .section = L"SeCtIoN1",
     .key = L"name1", .returns = 4, .buffer = L"val1"},
    {.name = "KeyMatchesCaseInsensitively", .before = kSampleFile, .section = L"section1",
     .key = L"NaMe1", .returns = 4, .buffer = L"val1"},
    {.name = "SectionArgumentLosesSpaces", .before = kSampleFile, .section = L"  section1  ",
     .key = L"name1", .returns = 4, .buffer = L"val1"},
    {.name = "KeyArgumentLosesSpaces", .before = kSampleFile, .section = L"section1",
     .key = L"  name1  ", .returns = 4, .buffer = L"val1"},
    {.name = "SpacesInsideBracketsIgnored", .before = "[ section1 ]\r\nname1=val1\r\n",
     .section = L"section1", .key = L"name1", .returns = 4, .buffer = L"val1"},
    {.name = "TabsInsideBracketsIgnored", .before = "[\ts\t]\r\nk=v\r\n", .section = L"s",
     .key = L"k", .returns = 1, .buffer = L"v"},
    {.name = "BlanksBeforeHeaderIgnored", .before = " \t[s]\r\nk=v\r\n", .section = L"s",
     .key = L"k", .returns = 1, .buffer = L"v"},
    {.name = "KeyNameInFileLosesBlanks", .before = "[s]\r\n \t k \t =v\r\n", .section = L"s",
     .key = L"k", .returns = 1, .buffer = L"v"},
    {.name = "ValueLosesBlanksAtBothEnds", .before = "[s]\r\nk= \t v a l \t \r\n",
     .section = L"s", .key = L"k", .returns = 5, .buffer = L"v a l"},
    {.name = "EmptyValueIsAKey", .before = "[s]\r\nk=\r\n", .section = L"s", .key = L"k",
     .text = L"default", .returns = 0, .buffer = L""},
    {.name = "EmptyKeyNameIsAKey", .before = "[s]\r\n=v\r\n", .section = L"s", .key = L"",
     .returns = 1, .buffer = L"v"},
    {.name = "LineWithoutEqualsIsNoKey", .before = kSampleFile, .section = L"section1",
     .key = L"name3", .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "TextAfterHeaderIgnored", .before = "[s]k=v\r\nj=w\r\n", .section = L"s",
     .key = L"k", .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "KeyAfterOddHeaderFound", .before = "[s]k=v\r\nj=w\r\n", .section = L"s",
     .key = L"j", .returns = 1, .buffer = L"w"},
    {.name = "CrOnlyLineEnds", .before = "[s]\rk=v\rj=w\r", .section = L"s", .key = L"j",
     .returns = 1, .buffer = L"w"},
    {.name = "LfOnlyLineEnds", .before = "[s]\nk=v\nj=w\n", .section = L"s", .key = L"j",
     .returns = 1, .buffer = L"w"},
    {.name = "LastLineWithoutLineEnd", .before = "[s]\r\nk=v", .section = L"s", .key = L"k",
     .returns = 1, .buffer = L"v"},
    {.name = "SemicolonInValueIsLiteral", .before = "[s]\r\nk=a;b\r\n", .section = L"s",
     .key = L"k", .returns = 3, .buffer = L"a;b"},
    {.name = "SemicolonInKeyIsLiteral", .before = "[s]\r\nk;j=v\r\n", .section = L"s",
     .key = L"k;j", .returns = 1, .buffer = L"v"},
    {.name = "HashIsNoComment", .before = "[s]\r\n#k=v\r\n", .section = L"s", .key = L"#k",
     .returns = 1, .buffer = L"v"},
    {.name = "FirstKeyWins", .before = "[s]\r\nk=1\r\nk=2\r\n", .section = L"s", .key = L"k",
     .returns = 1, .buffer = L"1"},
    {.name = "RepeatedSectionIgnored", .before = "[s]\r\nk=1\r\n[t]\r\n[s]\r\nj=2\r\n",
     .section = L"s", .key = L"j", .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "FirstOfRepeatedSectionsFound", .before = "[s]\r\nk=1\r\n[t]\r\n[s]\r\nk=2\r\n",
     .section = L"s", .key = L"k", .returns = 1, .buffer = L"1"},

    // Quotes.
    {.name = "DoubleQuotesRemoved", .before = kSampleFile, .section = L"section1",
     .key = L"name2", .returns = 4, .buffer = L"val2"},
    {.name = "SingleQuotesRemoved", .before = "[s]\r\nk='v'\r\n", .section = L"s", .key = L"k",
     .returns = 1, .buffer = L"v"},
    {.name = "SpacesInsideQuotesKept", .before = "[s]\r\nk= \" v \" \r\n", .section = L"s",
     .key = L"k", .returns = 3, .buffer = L" v "},
    {.name = "OnlyOutermostQuotesRemoved", .before = "[s]\r\nk=\"'v'\"\r\n", .section = L"s",
     .key = L"k", .returns = 3, .buffer = L"'v'"},
    {.name = "UnmatchedQuotesKept", .before = "[s]\r\nk=\"v'\r\n", .section = L"s", .key = L"k",
     .returns = 3, .buffer = L"\"v'"},
    {.name = "OpeningQuoteAloneKept", .before = "[s]\r\nk=\"v\r\n", .section = L"s",
     .key = L"k", .returns = 2, .buffer = L"\"v"},

    // Defaults.
    {.name = "MissingFileGivesDefault", .section = L"s", .key = L"k", .text = L"default",
     .returns = 7, .buffer = L"default"},
    {.name = "MissingSectionGivesDefault", .before = kSampleFile, .section = L"section9",
     .key = L"name1", .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "MissingKeyGivesDefault", .before = kSampleFile, .section = L"section1",
     .key = L"name9", .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "NullDefaultGivesEmpty", .before = kSampleFile, .section = L"section1",
     .key = L"name9", .returns = 0, .buffer = L""},
    {.name = "DefaultLosesTrailingSpaces", .before = kSampleFile, .section = L"section1",
     .key = L"name9", .text = L"one two  ", .returns = 7, .buffer = L"one two"},
    {.name = "DefaultKeepsLeadingSpaces", .before = kSampleFile, .section = L"section1",
     .key = L"name9", .text = L"  x  ", .returns = 3, .buffer = L"  x"},
    {.name = "DefaultKeepsTrailingTab", .before = kSampleFile, .section = L"section1",
     .key = L"name9", .text = L"x\t", .returns = 2, .buffer = L"x\t"},
    {.name = "SectionWithoutKeysGivesDefault", .before = kSampleFile, .section = L"section2",
     .key = L"DoesntExist", .text = L"", .returns = 0, .buffer = L""},

    // Buffer sizes.
    {.name = "CapacityZeroWritesNothing", .before = kSampleFile, .section = L"section1",
     .key = L"name1", .capacity = 0, .returns = 0, .buffer = L""},
    {.name = "ValueCutToCapacityMinusOne", .before = kSampleFile, .section = L"section1",
     .key = L"name1", .capacity = 4, .returns = 3, .buffer = L"val"},
    {.name = "ValueFitsExactly", .before = kSampleFile, .section = L"section1", .key = L"name1",
     .capacity = 5, .returns = 4, .buffer = L"val1"},
    {.name = "CapacityOneGivesEmpty", .before = kSampleFile, .section = L"section1",
     .key = L"name4", .capacity = 1, .returns = 0, .buffer = L""},
    {.name = "DefaultCutToCapacityMinusOne", .before = kSampleFile, .section = L"section1",
     .key = L"name9", .text = L"default", .capacity = 4, .returns = 3,
     .buffer = L"def"},

    // Listings.
    {.name = "NullSectionListsSections", .before = kSampleFile, .key = L"name1",
     .text = L"default", .returns = 18, .buffer = L"section1\0section2\0\0"s},
    {.name = "NullKeyListsKeys", .before = kSampleFile, .section = L"section1",
     .text = L"default", .returns = 18, .buffer = L"name1\0name2\0name4\0\0"s},
    {.name = "RepeatedSectionsListed", .before = "[s]\r\n[t]\r\n[S]\r\n", .returns = 6,
     .buffer = L"s\0t\0S\0\0"s},
    {.name = "RepeatedKeysListed", .before = "[s]\r\nk=1\r\nj=2\r\nk=3\r\n", .section = L"s",
     .returns = 6, .buffer = L"k\0j\0k\0\0"s},
    {.name = "CommentsNotListed", .before = "[s]\r\n;c=1\r\nk=2\r\n", .section = L"s",
     .returns = 2, .buffer = L"k\0\0"s},
    {.name = "KeysOfMissingSectionGiveDefault", .before = kSampleFile, .section = L"section9",
     .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "SectionsOfMissingFileEmpty", .returns = 0, .buffer = L""},
    {.name = "ListFitsWithTwoToSpare", .before = "[section1]\r\n[section2]\r\n[section3]\r\n",
     .capacity = 29, .returns = 27, .buffer = L"section1\0section2\0section3\0\0"s},
    {.name = "ListExactFitCountsAsCut", .before = "[section1]\r\n[section2]\r\n[section3]\r\n",
     .capacity = 28, .returns = 26, .buffer = L"section1\0section2\0section3\0\0"s},
    {.name = "KeyListExactFitCountsAsCut", .before = kSampleFile, .section = L"section1",
     .capacity = 19, .returns = 17, .buffer = L"name1\0name2\0name4\0\0"s},
    {.name = "SectionListCut", .before = kSampleFile, .capacity = 16, .returns = 14,
     .buffer = L"section1\0secti\0\0"s},
    {.name = "KeyListCut", .before = kSampleFile, .section = L"section1", .capacity = 16,
     .returns = 14, .buffer = L"name1\0name2\0na\0\0"s},
    {.name = "ListCapacityTwoGivesEmpty", .before = kSampleFile, .capacity = 2, .returns = 0,
     .buffer = L"\0\0"s},
    {.name = "ListCapacityOneGivesEmpty", .before = kSampleFile, .capacity = 1, .returns = 0,
     .buffer = L"\0"s},

    // Encodings.
    {.name = "Utf16LeMarkReadsUnicode", .before = Utf16LeFile(L"[s]\r\nk=\u0100\u20AC\r\n"),
     .section = L"s", .key = L"k", .returns = 2, .buffer = L"\u0100\u20AC"},
    {.name = "NoMarkReadsAnsi", .before = "[s]\r\nk=\xE9\x80\r\n", .section = L"s",
     .key = L"k", .returns = 2, .buffer = L"\u00E9\u20AC"},

    // Writes.
    {.name = "WriteCreatesMissingFile", .call = ProfileCall::Write, .section = L"s",
     .key = L"k", .text = L"v", .returns = 1, .after = "[s]\r\nk=v\r\n"},
    {.name = "WriteFailsInMissingFolder", .call = ProfileCall::Write, .section = L"s",
     .key = L"k", .text = L"v", .returns = 0, .inMissingFolder = true},
    {.name = "WriteAppendsNewSection", .before = kTwoSections, .call = ProfileCall::Write,
     .section = L"c", .key = L"w", .text = L"4", .returns = 1,
     .after = kTwoSections + "[c]\r\nw=4\r\n"},
    {.name = "WriteAddsKeyAfterExistingKeys", .before = kTwoSections,
     .call = ProfileCall::Write, .section = L"a", .key = L"w", .text = L"4", .returns = 1,
     .after = "[a]\r\nx=1\r\ny=2\r\nw=4\r\n[b]\r\nz=3\r\n"},
    {.name = "WriteReplacesKeyInPlace", .before = kTwoSections, .call = ProfileCall::Write,
     .section = L"a", .key = L"x", .text = L"9", .returns = 1,
     .after = "[a]\r\nx=9\r\ny=2\r\n[b]\r\nz=3\r\n"},
    {.name = "WriteKeepsSpellingOfNames", .before = kTwoSections, .call = ProfileCall::Write,
     .section = L"A", .key = L"X", .text = L"9", .returns = 1,
     .after = "[a]\r\nx=9\r\ny=2\r\n[b]\r\nz=3\r\n"},
    {.name = "WriteKeepsValueAsGiven", .call = ProfileCall::Write, .section = L"s", .key = L"k",
     .text = L"a \"b\" ;c  ", .returns = 1, .after = "[s]\r\nk=a \"b\" ;c  \r\n"},
    {.name = "WriteEmptyValue", .call = ProfileCall::Write, .section = L"s", .key = L"k",
     .text = L"", .returns = 1, .after = "[s]\r\nk=\r\n"},
    {.name = "WriteEndsLastLineFirst", .before = "[s]\r\nk=v", .call = ProfileCall::Write,
     .section = L"t", .key = L"j", .text = L"w", .returns = 1,
     .after = "[s]\r\nk=v\r\n[t]\r\nj=w\r\n"},
    {.name = "WriteAddsKeyAfterLastLineWithoutEnd", .before = "[s]\r\nk=v",
     .call = ProfileCall::Write, .section = L"s", .key = L"j", .text = L"w", .returns = 1,
     .after = "[s]\r\nk=v\r\nj=w\r\n"},
    {.name = "WriteReplacesLastLineWithoutEnd", .before = "[s]\r\nkey=value",
     .call = ProfileCall::Write, .section = L"s", .key = L"KEY", .text = L"value2",
     .returns = 1, .after = "[s]\r\nkey=value2\r\n"},
    {.name = "WriteNullValueDeletesKey", .before = kTwoSections, .call = ProfileCall::Write,
     .section = L"a", .key = L"x", .returns = 1, .after = "[a]\r\ny=2\r\n[b]\r\nz=3\r\n"},
    {.name = "WriteNullValueOfLastKeyKeepsSection", .before = "[a]\r\nx=1\r\n",
     .call = ProfileCall::Write, .section = L"a", .key = L"x", .returns = 1,
     .after = "[a]\r\n"},
    {.name = "WriteDeletingMissingKeyChangesNothing", .before = kTwoSections,
     .call = ProfileCall::Write, .section = L"a", .key = L"q", .returns = 1,
     .after = kTwoSections},
    {.name = "WriteNullKeyDeletesSection", .before = kTwoSections, .call = ProfileCall::Write,
     .section = L"a", .text = L"ignored", .returns = 1, .after = "[b]\r\nz=3\r\n"},
    {.name = "WriteNullSectionFails", .before = kTwoSections, .call = ProfileCall::Write,
     .key = L"k", .text = L"v", .returns = 0, .after = kTwoSections},
    {.name = "WriteAnsiWithoutMark", .call = ProfileCall::Write, .section = L"s", .key = L"k",
     .text = L"\u00E9\u20AC", .returns = 1, .after = "[s]\r\nk=\xE9\x80\r\n"},
    {.name = "WriteKeepsUtf16Le", .before = Utf16LeFile(L"[s]\r\nk=v\r\n"),
     .call = ProfileCall::Write, .section = L"s", .key = L"j", .text = L"\u0100\u20AC",
     .returns = 1, .after = Utf16LeFile(L"[s]\r\nk=v\r\nj=\u0100\u20AC\r\n")},
};

// Windows behaviour that Wine does not reproduce: checked against the portable store only. The
// expected results are what Windows was measured to do, including the cases that Wine's own
// conformance tests mark as not yet matching Windows.
inline const std::vector<ProfileStoreCase> kNativeOnlyCases = {
    // Windows trims only spaces from section and key arguments; Wine trims tabs too.
    {.name = "TabsOfSectionArgumentKept", .before = "[s]\r\nk=v\r\n", .section = L"\ts",
     .key = L"k", .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "TabsOfKeyArgumentKept", .before = "[s]\r\nk=v\r\n", .section = L"s",
     .key = L"\tk", .text = L"default", .returns = 7, .buffer = L"default"},
    // Wine treats the lines before the first section as a section named "".
    {.name = "LinesBeforeFirstSectionUnreachable", .before = "k=v\r\n[s]\r\nj=w\r\n",
     .section = L"", .key = L"k", .text = L"default", .returns = 7, .buffer = L"default"},
    // Windows reads a header "[]" as the section "". Wine ignores it.
    {.name = "EmptySectionNameReachable", .before = "k=x\r\n[]\r\nk=v\r\n", .section = L"",
     .key = L"k", .returns = 1, .buffer = L"v"},
    // Wine finds a key whose name starts with ';'; for Windows that line is a comment.
    {.name = "CommentIsNoKey", .before = "[s]\r\n;k=v\r\n", .section = L"s", .key = L";k",
     .text = L"default", .returns = 7, .buffer = L"default"},
    // Windows ends a header's name at the first ']', or at the line end when there is none; Wine
    // uses the last ']' and ignores a header without one.
    {.name = "HeaderNameEndsAtFirstBracket", .before = "[a]b]\r\nk=v\r\n", .section = L"a",
     .key = L"k", .returns = 1, .buffer = L"v"},
    {.name = "HeaderWithoutClosingBracket", .before = "[s  \r\nk=v\r\n", .section = L"s",
     .key = L"k", .returns = 1, .buffer = L"v"},
    // Windows does not understand a UTF-8 mark: it stays part of the first line, which then
    // holds no header, and is written back unchanged. Wine reads and writes the file as UTF-8.
    {.name = "Utf8MarkBreaksFirstLine", .before = "\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n",
     .section = L"s", .key = L"k", .text = L"default", .returns = 7, .buffer = L"default"},
    {.name = "Utf8MarkLeavesLaterLines", .before = "\xEF\xBB\xBF[s]\r\nk=v\r\n[t]\r\nk=w\r\n",
     .section = L"t", .key = L"k", .returns = 1, .buffer = L"w"},
    {.name = "WriteAfterUtf8Mark", .before = "\xEF\xBB\xBF", .call = ProfileCall::Write,
     .section = L"s", .key = L"k", .text = L"v", .returns = 1,
     .after = "\xEF\xBB\xBF\r\n[s]\r\nk=v\r\n"},
    // Windows writes the value exactly as given; Wine strips its leading blanks.
    {.name = "WriteKeepsLeadingBlanksOfValue", .call = ProfileCall::Write, .section = L"s",
     .key = L"k", .text = L" \tv ", .returns = 1, .after = "[s]\r\nk= \tv \r\n"},
    // Windows cuts spaces from both ends of the section and key it writes; Wine only in front.
    {.name = "WriteTrimsSpacesOfNames", .call = ProfileCall::Write, .section = L"  s  ",
     .key = L"  k  ", .text = L"v", .returns = 1, .after = "[s]\r\nk=v\r\n"},
    // Windows edits the file's text: comments stay where they are, a new key goes after the last
    // key of its section (so a newer comment-key lands above an older one), and deleting a section
    // keeps its comments. Wine rebuilds the file from its parsed keys.
    {.name = "WriteKeepsCommentsInPlace",
     .before = ";c0\r\n[s]\r\n;c1\r\nb=1\r\n;c2\r\na=1\r\n;c3\r\n[t]\r\n",
     .call = ProfileCall::Write, .section = L"s", .key = L"z", .text = L"", .returns = 1,
     .after = ";c0\r\n[s]\r\n;c1\r\nb=1\r\n;c2\r\na=1\r\nz=\r\n;c3\r\n[t]\r\n"},
    {.name = "WriteCommentKeyAfterLastKey", .before = "[s]\r\nz=\r\n;y=\r\n",
     .call = ProfileCall::Write, .section = L"s", .key = L";b", .text = L"", .returns = 1,
     .after = "[s]\r\nz=\r\n;b=\r\n;y=\r\n"},
    {.name = "WriteNullKeyKeepsComments",
     .before = ";c0\r\n[s]\r\n;c1\r\nk=1\r\n[t]\r\n;c2\r\n", .call = ProfileCall::Write,
     .section = L"s", .returns = 1, .after = ";c0\r\n;c1\r\n[t]\r\n;c2\r\n"},
    // Windows keeps what comes before the first section byte for byte, NULs included, and ends
    // its last line before appending.
    {.name = "WriteKeepsDataBeforeFirstSection",
     .before = "Data \0 before \0 first \0 section"s, .call = ProfileCall::Write,
     .section = L"section1", .key = L"key1", .text = L"string1", .returns = 1,
     .after = "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
    // Windows creates a missing file even when the write deletes something; Wine does not.
    {.name = "WriteNullValueCreatesEmptyFile", .call = ProfileCall::Write, .section = L"s",
     .key = L"k", .returns = 1, .after = ""},
    {.name = "WriteNullKeyCreatesEmptyFile", .call = ProfileCall::Write, .section = L"s",
     .returns = 1, .after = ""},
    // The portable store's own rule: a character outside Windows-1252 is written as '?'. Windows
    // and Wine use the machine's ANSI code page and may write a look-alike instead ('A' here).
    {.name = "WriteOutsideCodePageAsQuestionMark", .call = ProfileCall::Write, .section = L"s",
     .key = L"k", .text = L"\u0100", .returns = 1, .after = "[s]\r\nk=?\r\n"},
};
// clang-format on

}  // namespace tavrin::test
