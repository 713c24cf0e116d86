#pragma once
// The product's own reader for INI-style text files: loads a whole file, recognises its encoding
// by the byte-order mark, and answers which sections exist, which keys a section holds and what a
// key's value is. It never writes.
#include <memory>
#include <string>
#include <vector>

#include "ports/FileSystem.h"

namespace tavrin {

// One key line of a section.
struct VALUE_NAME_DEFINE {
    std::wstring m_strKey;
    std::wstring m_strValue;
};

class CIniSection {
public:
    std::wstring m_strSectionName;
    // In file order; a key that appears twice is kept twice.
    std::vector<VALUE_NAME_DEFINE> m_vecValueNames;
};

class CIniSectionDefine {
public:
    // As found between the brackets.
    std::wstring m_strSectionName;
    CIniSection m_iniSection;
    // The header line first, then every line up to the next header.
    std::vector<std::wstring> m_vecRawLines;
};

class CIniMgr {
public:
    // Results of LoadIniFile.
    static constexpr int kLoaded = 0;
    static constexpr int kOpenFailed = 1;
    static constexpr int kSizeFailed = 2;
    static constexpr int kNoMemory = 3;
    static constexpr int kReadFailed = 4;
    static constexpr int kDecodeFailed = 5;
    static constexpr int kSectionStoreFailed = 6;

    explicit CIniMgr(FileSystem& files);
    CIniMgr(const CIniMgr&) = delete;
    CIniMgr& operator=(const CIniMgr&) = delete;

    int LoadIniFile(const std::wstring& filePath);
    // The same for text that is not in a file (the program's own built-in texts).
    int LoadIniText(std::vector<uint8_t> contents);
    bool HasSection(const std::wstring& sectionName) const;
    void GetSectionKeys(const std::wstring& sectionName, std::vector<std::wstring>& keys) const;
    std::wstring GetKeyValue(const std::wstring& sectionName, const std::wstring& key) const;
    void ClearIni();

private:
    int ReadFileContents(const std::wstring& filePath, std::vector<uint8_t>& contents);
    bool DecodeLines(std::vector<uint8_t> contents);
    bool BuildSections();
    const CIniSectionDefine* FindSection(const std::wstring& sectionName) const;

    FileSystem& m_files;
    std::wstring m_strFilePath;
    std::vector<std::wstring> m_vecLines;
    std::vector<std::unique_ptr<CIniSectionDefine>> m_vecSectionDefines;
};

}  // namespace tavrin
