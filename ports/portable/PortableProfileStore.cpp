#include "ports/portable/PortableProfileStore.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace tavrin {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr std::wstring_view kLineBreak = L"\r\n";

// ---------------------------------------------------------------------------------------------
// Encoding. Windows reads a file as Unicode only when it starts with the UTF-16LE mark; anything
// else, a UTF-8 mark included, is text in the ANSI code page (Windows-1252 here).

enum class Encoding { Ansi, Utf16Le };

struct ProfileText {
    Encoding encoding = Encoding::Ansi;
    std::wstring text;  // without the mark
};

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves undefined map to the C1
// control of the same value, as MultiByteToWideChar does, so that every byte survives a rewrite.
// clang-format off
constexpr char16_t kAnsiHighHalf[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};
// clang-format on

wchar_t AnsiToWide(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return static_cast<wchar_t>(kAnsiHighHalf[byte - 0x80]);
    return static_cast<wchar_t>(byte);
}

// Characters outside the code page become '?', as WideCharToMultiByte writes its default char.
uint8_t WideToAnsi(wchar_t c) {
    const auto code = static_cast<uint32_t>(c);
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<uint8_t>(code);
    const auto* found = std::find(std::begin(kAnsiHighHalf), std::end(kAnsiHighHalf), code);
    if (found == std::end(kAnsiHighHalf)) return '?';
    return static_cast<uint8_t>(0x80 + (found - std::begin(kAnsiHighHalf)));
}

bool HasUtf16LeMark(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
}

// UTF-16 units to wchar_t: surrogate pairs are joined where wchar_t holds 32 bits.
std::wstring DecodeUtf16Le(const std::vector<uint8_t>& bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (sizeof(wchar_t) == 4 && high && i + 3 < bytes.size()) {
            const uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

ProfileText Decode(const std::vector<uint8_t>& bytes) {
    if (HasUtf16LeMark(bytes)) return {Encoding::Utf16Le, DecodeUtf16Le(bytes)};
    ProfileText profile;
    profile.text.reserve(bytes.size());
    for (const uint8_t byte : bytes) profile.text += AnsiToWide(byte);
    return profile;
}

void AppendUtf16Unit(std::vector<uint8_t>& bytes, uint32_t unit) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
}

std::vector<uint8_t> Encode(const ProfileText& profile) {
    std::vector<uint8_t> bytes;
    if (profile.encoding == Encoding::Ansi) {
        bytes.reserve(profile.text.size());
        for (const wchar_t c : profile.text) bytes.push_back(WideToAnsi(c));
        return bytes;
    }
    bytes.reserve(2 + profile.text.size() * 2);
    AppendUtf16Unit(bytes, 0xFEFF);
    for (const wchar_t c : profile.text) {
        const auto code = static_cast<uint32_t>(c);
        if (code < 0x10000) {
            AppendUtf16Unit(bytes, code);
            continue;
        }
        AppendUtf16Unit(bytes, 0xD800 + ((code - 0x10000) >> 10));
        AppendUtf16Unit(bytes, 0xDC00 + ((code - 0x10000) & 0x3FF));
    }
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// Lines. The text is kept as it is and a write changes only the lines it concerns, as Windows
// does (comments and what precedes the first section stay put); Wine rebuilds the whole file.

enum class LineKind { Blank, Section, Comment, Key, Other };

struct Line {
    size_t begin = 0;  // first character
    size_t end = 0;    // end of the content, before the line break
    size_t next = 0;   // first character of the next line
    LineKind kind = LineKind::Blank;
    std::wstring_view name;   // section or key name, trimmed
    std::wstring_view value;  // key value, trimmed
};

// Blanks that the file's own text loses around names and values.
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\v';
}

std::wstring_view TrimBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Section and key arguments lose spaces only: Windows keeps their tabs.
std::wstring_view TrimSpaces(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

// A header's name ends at the first ']' or at the line end; text after ']' is ignored.
void ClassifyLine(std::wstring_view content, Line& line) {
    if (content.empty()) return;
    if (content.front() == L'[') {
        line.kind = LineKind::Section;
        line.name = TrimBlanks(content.substr(1, content.find(L']') - 1));
    } else if (content.front() == L';') {
        line.kind = LineKind::Comment;
    } else if (const size_t equals = content.find(L'='); equals != std::wstring_view::npos) {
        line.kind = LineKind::Key;
        line.name = TrimBlanks(content.substr(0, equals));
        line.value = TrimBlanks(content.substr(equals + 1));
    } else {
        line.kind = LineKind::Other;
    }
}

// CRLF, LF and a lone CR all end a line.
std::vector<Line> SplitLines(std::wstring_view text) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        Line line;
        line.begin = begin;
        line.end = std::min(text.find_first_of(L"\r\n", begin), text.size());
        line.next = line.end;
        if (line.next < text.size() && text[line.next++] == L'\r' && line.next < text.size() &&
            text[line.next] == L'\n') {
            ++line.next;
        }
        ClassifyLine(TrimBlanks(text.substr(line.begin, line.end - line.begin)), line);
        lines.push_back(line);
        begin = line.next;
    }
    return lines;
}

// ---------------------------------------------------------------------------------------------
// Look-ups. Names compare case-insensitively; only the first section of a name counts and in it
// the first key of a name.

// Letters a-z only, as Wine compares; the product's section and key names are ASCII.
wchar_t FoldCase(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 0x20) : c;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

size_t FindSection(const std::vector<Line>& lines, std::wstring_view name) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section && SameName(lines[i].name, name)) return i;
    }
    return kNone;
}

// Index of the line after the section that starts at `header`.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
    return i;
}

size_t FindKey(const std::vector<Line>& lines, size_t header, std::wstring_view name) {
    for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i) {
        if (lines[i].kind == LineKind::Key && SameName(lines[i].name, name)) return i;
    }
    return kNone;
}

// Each name followed by a NUL.
std::wstring SectionNames(const std::vector<Line>& lines) {
    std::wstring names;
    for (const Line& line : lines) {
        if (line.kind == LineKind::Section) (names += line.name) += L'\0';
    }
    return names;
}

std::wstring KeyNames(const std::vector<Line>& lines, size_t header) {
    std::wstring names;
    for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i) {
        if (lines[i].kind == LineKind::Key && !lines[i].name.empty())
            (names += lines[i].name) += L'\0';
    }
    return names;
}

// ---------------------------------------------------------------------------------------------
// Results into the caller's buffer (capacity at least 1).

uint32_t CopyString(std::wstring_view text, wchar_t* buffer, uint32_t capacity) {
    const size_t count = std::min<size_t>(text.size(), capacity - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<uint32_t>(count);
}

// The list closes with a second NUL. A list that does not fit with one character to spare is
// cut to capacity - 2 characters and closed with two NULs; that count is returned.
uint32_t CopyList(std::wstring_view list, wchar_t* buffer, uint32_t capacity) {
    if (list.size() + 1 < capacity) return CopyString(list, buffer, capacity);
    if (capacity < 2) return CopyString({}, buffer, capacity);
    const size_t kept = capacity - 2;
    std::copy_n(list.begin(), kept, buffer);
    buffer[kept] = buffer[kept + 1] = L'\0';
    return static_cast<uint32_t>(kept);
}

// A value loses one pair of matching outer quotes.
std::wstring_view Unquote(std::wstring_view value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Windows cuts trailing spaces (spaces only) from the default.
std::wstring_view DefaultText(const wchar_t* defaultValue) {
    std::wstring_view text = defaultValue != nullptr ? defaultValue : L"";
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

// ---------------------------------------------------------------------------------------------
// Edits of the text, each on the first matching section and key.

std::wstring KeyLine(std::wstring_view key, std::wstring_view value) {
    return std::wstring(key) + L'=' + std::wstring(value) + std::wstring(kLineBreak);
}

bool EndsWithLineBreak(std::wstring_view text) {
    return text.empty() || text.back() == L'\n' || text.back() == L'\r';
}

// Header and entries go; comments and blank lines stay where they are.
void DeleteSection(std::wstring& text, const std::vector<Line>& lines, size_t header) {
    std::wstring kept;
    kept.reserve(text.size());
    const size_t end = SectionEnd(lines, header);
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const bool entry = line.kind != LineKind::Comment && line.kind != LineKind::Blank;
        if (i >= header && i < end && entry) continue;
        kept.append(text, line.begin, line.next - line.begin);
    }
    text = std::move(kept);
}

void AppendSection(std::wstring& text, std::wstring_view section, std::wstring_view entry) {
    if (!EndsWithLineBreak(text)) text += kLineBreak;
    ((text += L'[') += section) += L']';
    (text += kLineBreak) += entry;
}

// A new entry goes after the last entry of the section (comments after it stay below), or right
// after the header of a section without entries.
void InsertEntry(std::wstring& text, const std::vector<Line>& lines, size_t header,
                 std::wstring entry) {
    size_t after = header;
    for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i) {
        if (lines[i].kind == LineKind::Key || lines[i].kind == LineKind::Other) after = i;
    }
    const Line& line = lines[after];
    if (line.next == line.end) entry.insert(0, kLineBreak);
    text.insert(line.next, entry);
}

// The key keeps its spelling from the file; the whole line is rewritten with the new value.
void SetKey(std::wstring& text, const std::vector<Line>& lines, std::wstring_view section,
            std::wstring_view key, std::wstring_view value) {
    const size_t header = FindSection(lines, section);
    if (header == kNone) return AppendSection(text, section, KeyLine(key, value));
    const size_t found = FindKey(lines, header, key);
    if (found == kNone) return InsertEntry(text, lines, header, KeyLine(key, value));
    const Line& line = lines[found];
    text.replace(line.begin, line.next - line.begin, KeyLine(line.name, value));
}

// Returns false when nothing changed.
bool DeleteKey(std::wstring& text, const std::vector<Line>& lines, std::wstring_view section,
               std::wstring_view key) {
    const size_t header = FindSection(lines, section);
    const size_t found = header == kNone ? kNone : FindKey(lines, header, key);
    if (found == kNone) return false;
    text.erase(lines[found].begin, lines[found].next - lines[found].begin);
    return true;
}

}  // namespace

PortableProfileStore::PortableProfileStore(FileSystem& files) : files_(files) {}

uint32_t PortableProfileStore::GetString(const wchar_t* section, const wchar_t* key,
                                         const wchar_t* defaultValue, wchar_t* buffer,
                                         uint32_t capacity, const std::wstring& file) {
    if (capacity == 0) return 0;
    std::vector<uint8_t> bytes;
    if (files_.ReadWholeFile(file, bytes) != FileReadResult::Ok) bytes.clear();
    const ProfileText profile = Decode(bytes);
    const std::vector<Line> lines = SplitLines(profile.text);
    if (section == nullptr) return CopyList(SectionNames(lines), buffer, capacity);

    const size_t header = FindSection(lines, TrimSpaces(section));
    if (header != kNone && key == nullptr) {
        const std::wstring names = KeyNames(lines, header);
        if (!names.empty()) return CopyList(names, buffer, capacity);
    } else if (header != kNone) {
        const size_t found = FindKey(lines, header, TrimSpaces(key));
        if (found != kNone) return CopyString(Unquote(lines[found].value), buffer, capacity);
    }
    return CopyString(DefaultText(defaultValue), buffer, capacity);
}

bool PortableProfileStore::WriteString(const wchar_t* section, const wchar_t* key,
                                       const wchar_t* value, const std::wstring& file) {
    if (section == nullptr) return false;
    std::vector<uint8_t> bytes;
    const bool existed = files_.ReadWholeFile(file, bytes) == FileReadResult::Ok;
    // A file that is there but cannot be read must not be replaced by a fresh one.
    if (!existed && files_.FileExists(file)) return false;

    ProfileText profile = Decode(bytes);
    const std::vector<Line> lines = SplitLines(profile.text);
    const std::wstring_view name = TrimSpaces(section);
    bool changed = true;
    if (key == nullptr) {
        const size_t header = FindSection(lines, name);
        changed = header != kNone;
        if (changed) DeleteSection(profile.text, lines, header);
    } else if (value == nullptr) {
        changed = DeleteKey(profile.text, lines, name, TrimSpaces(key));
    } else {
        SetKey(profile.text, lines, name, TrimSpaces(key), value);
    }
    // Like Windows, a delete that finds nothing still creates a missing file (empty).
    if (existed && !changed) return true;
    return files_.ReplaceFileAtomically(file, Encode(profile));
}

}  // namespace tavrin
