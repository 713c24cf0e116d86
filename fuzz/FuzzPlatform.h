#pragma once
// The ports of a fuzz target: files in memory, so that no input touches the disk, profile reads
// answered from one parse of each file, and the rest quiet.
#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "common/Inifilemanager.h"
#include "ports/DebugLog.h"
#include "ports/Platform.h"
#include "ports/ProfileStore.h"
#include "ports/portable/MemoryRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/MemoryFileSystem.h"

namespace tavrin::fuzz {

class NullDebugLog final : public DebugLog {
public:
    void Write(const std::wstring&) override {}
};

// Keys read with the product's INI reader, each file parsed once: a skin load asks for some
// three hundred keys, and a store that reads the file for each (as Windows' does) would spend
// the fuzzer's time on parsing the same bytes again. Lists and writes are not needed.
class ParsedProfileStore final : public ProfileStore {
public:
    explicit ParsedProfileStore(FileSystem& files) : files_(files) {}

    uint32_t GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                       wchar_t* buffer, uint32_t capacity, const std::wstring& file) override {
        if (capacity == 0) return 0;
        std::wstring value;
        if (section != nullptr && key != nullptr) value = Parsed(file).GetKeyValue(section, key);
        if (value.empty() && defaultValue != nullptr) value = defaultValue;
        const size_t count = std::min<size_t>(value.size(), capacity - 1);
        std::copy_n(value.data(), count, buffer);
        buffer[count] = L'\0';
        return static_cast<uint32_t>(count);
    }
    bool WriteString(const wchar_t*, const wchar_t*, const wchar_t*, const std::wstring&) override {
        return false;
    }

private:
    const CIniMgr& Parsed(const std::wstring& file) {
        std::unique_ptr<CIniMgr>& parsed = parsed_[file];
        if (!parsed) {
            parsed = std::make_unique<CIniMgr>(files_);
            parsed->LoadIniFile(file);
        }
        return *parsed;
    }

    FileSystem& files_;
    std::map<std::wstring, std::unique_ptr<CIniMgr>> parsed_;
};

struct FuzzPlatform {
    test::MemoryFileSystem files;
    ParsedProfileStore profiles{files};
    MemoryRegistry registry;
    test::FakeEnvironment environment;
    test::FakeClock clock;
    NullDebugLog log;
    Platform platform{profiles, registry, files, environment, clock, log};
};

}  // namespace tavrin::fuzz
