// Arbitrary bytes as an INI file: every input must load with a result code (never a crash or an
// overrun), and whatever loads must answer the three questions consistently.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "common/Inifilemanager.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/MemoryFileSystem.h"

namespace {

using tavrin::CIniMgr;
using tavrin::fuzz::Check;
using tavrin::test::MemoryFileSystem;

const std::wstring kPath = L"C:\\fuzz\\AudioConfig.cfg";
const std::wstring kOtherPath = L"C:\\fuzz\\Other.cfg";

// Text between "[" and "]" read as single-byte, UTF-16 (both byte orders) and UTF-32
// little-endian text, so that most sections the reader finds are also asked for.
void CollectBracketedNames(const uint8_t* data, size_t size, size_t unitSize, bool bigEndian,
                           std::set<std::wstring>& names) {
    std::wstring current;
    bool inside = false;
    for (size_t at = 0; at + unitSize <= size && names.size() < 64; at += unitSize) {
        uint32_t unit = 0;
        for (size_t k = 0; k < unitSize; ++k) {
            const size_t byteIndex = bigEndian ? at + k : at + unitSize - 1 - k;
            unit = (unit << 8) | data[byteIndex];
        }
        if (unit == '[') {
            inside = true;
            current.clear();
        } else if (unit == ']' && inside) {
            names.insert(current);
            inside = false;
        } else if (unit == '\n') {
            inside = false;
        } else if (inside && unit <= 0xFFFF) {
            current.push_back(static_cast<wchar_t>(unit));
        }
    }
}

// What the reader answers for a set of section names: presence, keys and the value of each key.
struct Answers {
    std::vector<bool> present;
    std::vector<std::vector<std::wstring>> keys;
    std::vector<std::wstring> values;
    bool operator==(const Answers&) const = default;
};

Answers Ask(const CIniMgr& ini, const std::set<std::wstring>& names) {
    Answers answers;
    for (const std::wstring& name : names) {
        const bool present = ini.HasSection(name);
        const std::vector<std::wstring> untouched{L"\x1F untouched"};
        std::vector<std::wstring> keys = untouched;
        ini.GetSectionKeys(name, keys);
        // An unknown section leaves the list as it was; a known one never lists an empty key.
        if (!present) Check(keys == untouched);
        for (const std::wstring& key : keys) {
            if (present) Check(!key.empty());
            answers.values.push_back(ini.GetKeyValue(name, key));
        }
        Check(ini.GetKeyValue(name, L"").empty());
        answers.present.push_back(present);
        answers.keys.push_back(std::move(keys));
    }
    return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryFileSystem files;
    files.AddFile(kPath, std::vector<uint8_t>(data, data + size));
    files.AddTextFile(kOtherPath, "[USB_VID_PID]\n1=USB\\VID_2B7A&PID_58XX\n");

    std::set<std::wstring> names{L"", L"USB_VID_PID", L"HID_VID_PID"};
    CollectBracketedNames(data, size, 1, false, names);
    CollectBracketedNames(data, size, 2, false, names);
    CollectBracketedNames(data, size, 2, true, names);
    CollectBracketedNames(data, size, 4, false, names);

    CIniMgr ini(files);
    const int result = ini.LoadIniFile(kPath);
    Check(result == CIniMgr::kLoaded || result == CIniMgr::kDecodeFailed);
    const Answers first = Ask(ini, names);
    if (result == CIniMgr::kDecodeFailed) {
        for (bool present : first.present) Check(!present);
    }

    // A load over earlier content answers exactly as a load into a fresh reader.
    Check(ini.LoadIniFile(kOtherPath) == CIniMgr::kLoaded);
    Check(ini.LoadIniFile(kPath) == result);
    Check(Ask(ini, names) == first);
    return 0;
}
