#include "common/Inifilemanager.h"

#include <algorithm>
#include <array>
#include <new>
#include <span>
#include <string_view>

namespace tavrin {
namespace {

enum class TextEncoding {
    Utf32LittleEndian,
    Utf32BigEndian,
    Utf8,
    Utf16LittleEndian,
    Utf16BigEndian,
    SingleByte,
};

enum class ByteOrder { LittleEndian, BigEndian };

struct ByteOrderMark {
    TextEncoding encoding;
    std::array<uint8_t, 4> bytes;
    size_t length;  // also the least number of bytes a file needs to carry this mark
};

// Tested in this order, so that FF FE 00 00 is UTF-32 and not UTF-16 followed by a NUL.
constexpr std::array<ByteOrderMark, 5> kByteOrderMarks{{
    {TextEncoding::Utf32LittleEndian, {0xFF, 0xFE, 0x00, 0x00}, 4},
    {TextEncoding::Utf32BigEndian, {0x00, 0x00, 0xFE, 0xFF}, 4},
    {TextEncoding::Utf8, {0xEF, 0xBB, 0xBF}, 3},
    {TextEncoding::Utf16LittleEndian, {0xFF, 0xFE}, 2},
    {TextEncoding::Utf16BigEndian, {0xFE, 0xFF}, 2},
}};
constexpr ByteOrderMark kNoMark{TextEncoding::SingleByte, {}, 0};

constexpr std::wstring_view kSpaces = L" ";
constexpr std::wstring_view kCarriageReturns = L"\r";
constexpr std::wstring_view kLineEndsAndSpaces = L" \r\n";

const ByteOrderMark& RecogniseEncoding(std::span<const uint8_t> contents) {
    for (const ByteOrderMark& mark : kByteOrderMarks) {
        if (contents.size() >= mark.length &&
            std::equal(mark.bytes.begin(), mark.bytes.begin() + mark.length, contents.begin())) {
            return mark;
        }
    }
    return kNoMark;
}

// Every byte becomes the character of the same number (ISO 8859-1 for 0x80 to 0xFF): the files
// read with this class hold plain ASCII, and no code page of the machine changes what they say.
void DecodeSingleByte(std::span<const uint8_t> bytes, std::wstring& text) {
    text.reserve(bytes.size());
    for (uint8_t byte : bytes) text.push_back(static_cast<wchar_t>(byte));
}

// Number of bytes in the sequence that a lead byte opens; 0 for a byte that opens none.
size_t Utf8SequenceLength(uint8_t lead) {
    if ((lead & 0x80) == 0x00) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    if ((lead & 0xFC) == 0xF8) return 5;
    if ((lead & 0xFE) == 0xFC) return 6;
    return 0;
}

// Sequences of up to six bytes are taken apart as the original UTF-8 definition allows, but only
// characters of the basic plane can be stored: anything above 0xFFFF fails, as does a bad lead
// or following byte and a sequence cut off by the end of the file.
bool DecodeUtf8(std::span<const uint8_t> bytes, std::wstring& text) {
    text.reserve(bytes.size());
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t length = Utf8SequenceLength(bytes[at]);
        if (length == 0 || length > bytes.size() - at) return false;
        uint32_t codePoint = bytes[at] & (length == 1 ? 0x7Fu : 0x7Fu >> length);
        for (size_t k = 1; k < length; ++k) {
            const uint8_t following = bytes[at + k];
            if ((following & 0xC0) != 0x80) return false;
            codePoint = (codePoint << 6) | (following & 0x3Fu);
        }
        if (codePoint > 0xFFFF) return false;
        text.push_back(static_cast<wchar_t>(codePoint));
        at += length;
    }
    return true;
}

// Units are taken as they are, unpaired surrogates included. An odd trailing byte is half a
// character, and the contents cannot be decoded.
bool DecodeUtf16(std::span<const uint8_t> bytes, ByteOrder order, std::wstring& text) {
    if (bytes.size() % 2 != 0) return false;
    text.reserve(bytes.size() / 2);
    for (size_t at = 0; at < bytes.size(); at += 2) {
        const uint16_t unit = order == ByteOrder::LittleEndian
                                  ? static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8)
                                  : static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
        text.push_back(static_cast<wchar_t>(unit));
    }
    return true;
}

bool DecodeUtf32(std::span<const uint8_t> bytes, ByteOrder order, std::wstring& text) {
    if (bytes.size() % 4 != 0) return false;
    text.reserve(bytes.size() / 4);
    for (size_t at = 0; at < bytes.size(); at += 4) {
        uint32_t unit = 0;
        for (size_t k = 0; k < 4; ++k) {
            const size_t byteIndex = order == ByteOrder::LittleEndian ? at + 3 - k : at + k;
            unit = (unit << 8) | bytes[byteIndex];
        }
        if (unit > 0xFFFF) return false;
        text.push_back(static_cast<wchar_t>(unit));
    }
    return true;
}

bool DecodeText(TextEncoding encoding, std::span<const uint8_t> bytes, std::wstring& text) {
    switch (encoding) {
        case TextEncoding::Utf32LittleEndian:
            return DecodeUtf32(bytes, ByteOrder::LittleEndian, text);
        case TextEncoding::Utf32BigEndian: return DecodeUtf32(bytes, ByteOrder::BigEndian, text);
        case TextEncoding::Utf8: return DecodeUtf8(bytes, text);
        case TextEncoding::Utf16LittleEndian:
            return DecodeUtf16(bytes, ByteOrder::LittleEndian, text);
        case TextEncoding::Utf16BigEndian: return DecodeUtf16(bytes, ByteOrder::BigEndian, text);
        case TextEncoding::SingleByte: DecodeSingleByte(bytes, text); return true;
    }
    return false;
}

// Takes the raw bytes by value so that they are released as soon as the text exists: the file
// is never held more than twice.
bool DecodeContents(std::vector<uint8_t> contents, std::wstring& text) {
    const std::span<const uint8_t> bytes(contents);
    const ByteOrderMark& mark = RecogniseEncoding(bytes);
    return DecodeText(mark.encoding, bytes.subspan(mark.length), text);
}

std::wstring_view Trim(std::wstring_view text, std::wstring_view characters) {
    const size_t first = text.find_first_not_of(characters);
    if (first == std::wstring_view::npos) return {};
    const size_t last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

// The whole text is split, NUL characters included. A run of line feeds is one break; a piece
// that trims down to nothing is still kept as an empty line.
void SplitLines(std::wstring_view text, std::vector<std::wstring>& lines) {
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find(L'\n', begin);
        if (end == std::wstring_view::npos) end = text.size();
        if (end > begin) {
            const std::wstring_view piece = text.substr(begin, end - begin);
            // Spaces are trimmed once more after the carriage return goes: otherwise a header
            // with blanks before its CRLF would not end in "]" and its keys would silently join
            // the section before it.
            lines.emplace_back(Trim(Trim(Trim(piece, kSpaces), kCarriageReturns), kSpaces));
        }
        begin = end + 1;
    }
}

bool IsComment(std::wstring_view line) {
    return !line.empty() && line.front() == L';';
}

bool IsSectionHeader(std::wstring_view line) {
    return line.size() >= 2 && line.front() == L'[' && line.back() == L']';
}

std::wstring_view SectionNameOf(std::wstring_view header) {
    return header.substr(1, header.size() - 2);
}

// Keys and values keep the spaces around "="; a line without "=" or with an empty key is not a
// key line.
void ParseSection(CIniSectionDefine& define) {
    CIniSection& section = define.m_iniSection;
    for (const std::wstring& rawLine : define.m_vecRawLines) {
        const std::wstring_view line = Trim(rawLine, kLineEndsAndSpaces);
        if (line.empty() || IsComment(line)) continue;
        if (IsSectionHeader(line)) {
            section.m_strSectionName = SectionNameOf(line);
            continue;
        }
        const size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos || equals == 0) continue;
        section.m_vecValueNames.push_back(
            {std::wstring(line.substr(0, equals)), std::wstring(line.substr(equals + 1))});
    }
}

}  // namespace

CIniMgr::CIniMgr(FileSystem& files) : m_files(files) {}

// The path is remembered even when the load fails. Read failures (1 to 4) keep the previous
// content; from decoding on (5, 6) the previous content is already gone and nothing partial is
// left behind.
int CIniMgr::LoadIniFile(const std::wstring& filePath) {
    m_strFilePath = filePath;

    std::vector<uint8_t> contents;
    const int readResult = ReadFileContents(filePath, contents);
    if (readResult != kLoaded) return readResult;
    return LoadIniText(std::move(contents));
}

int CIniMgr::LoadIniText(std::vector<uint8_t> contents) {
    ClearIni();

    if (!DecodeLines(std::move(contents))) {
        ClearIni();
        return kDecodeFailed;
    }
    if (!BuildSections()) {
        ClearIni();
        return kSectionStoreFailed;
    }
    return kLoaded;
}

bool CIniMgr::HasSection(const std::wstring& sectionName) const {
    return FindSection(sectionName) != nullptr;
}

// The list is replaced by the section's keys; an unknown section leaves it as it was.
void CIniMgr::GetSectionKeys(const std::wstring& sectionName,
                             std::vector<std::wstring>& keys) const {
    const CIniSectionDefine* define = FindSection(sectionName);
    if (define == nullptr) return;
    keys.clear();
    for (const VALUE_NAME_DEFINE& valueName : define->m_iniSection.m_vecValueNames) {
        keys.push_back(valueName.m_strKey);
    }
}

std::wstring CIniMgr::GetKeyValue(const std::wstring& sectionName, const std::wstring& key) const {
    if (key.empty()) return {};
    const CIniSectionDefine* define = FindSection(sectionName);
    if (define == nullptr) return {};
    for (const VALUE_NAME_DEFINE& valueName : define->m_iniSection.m_vecValueNames) {
        if (valueName.m_strKey == key) return valueName.m_strValue;
    }
    return {};
}

void CIniMgr::ClearIni() {
    m_vecLines.clear();
    m_vecSectionDefines.clear();
}

int CIniMgr::ReadFileContents(const std::wstring& filePath, std::vector<uint8_t>& contents) {
    try {
        switch (m_files.ReadWholeFile(filePath, contents)) {
            case FileReadResult::Ok: return kLoaded;
            case FileReadResult::OpenFailed: return kOpenFailed;
            case FileReadResult::SizeFailed: return kSizeFailed;
            case FileReadResult::ReadFailed: return kReadFailed;
        }
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    return kReadFailed;
}

bool CIniMgr::DecodeLines(std::vector<uint8_t> contents) {
    try {
        std::wstring text;
        if (!DecodeContents(std::move(contents), text)) return false;
        SplitLines(text, m_vecLines);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Each section definition is allocated on its own and owned by the manager; a section whose
// definition or lines cannot be stored fails the load.
bool CIniMgr::BuildSections() {
    try {
        CIniSectionDefine* current = nullptr;
        for (const std::wstring& line : m_vecLines) {
            if (line.empty() || IsComment(line)) continue;
            if (IsSectionHeader(line)) {
                m_vecSectionDefines.push_back(std::make_unique<CIniSectionDefine>());
                current = m_vecSectionDefines.back().get();
                current->m_strSectionName = SectionNameOf(line);
                current->m_vecRawLines.push_back(line);
            } else if (current != nullptr) {
                current->m_vecRawLines.push_back(line);
            }
        }
        for (const std::unique_ptr<CIniSectionDefine>& define : m_vecSectionDefines) {
            ParseSection(*define);
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Two sections of the same name: the first one answers.
const CIniSectionDefine* CIniMgr::FindSection(const std::wstring& sectionName) const {
    for (const std::unique_ptr<CIniSectionDefine>& define : m_vecSectionDefines) {
        if (define->m_strSectionName == sectionName) return define.get();
    }
    return nullptr;
}

}  // namespace tavrin
