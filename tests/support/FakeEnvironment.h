#pragma once
#include <map>

#include "ports/Environment.h"

namespace tavrin::test {

// A Windows machine described by its fields; records redirection switches.
class FakeEnvironment final : public Environment {
public:
    std::optional<std::wstring> GetVariable(const std::wstring& name) override {
        auto found = variables.find(name);
        if (found == variables.end()) return std::nullopt;
        return found->second;
    }
    std::wstring GetKnownFolder(KnownFolder folder) override {
        auto found = knownFolders.find(folder);
        return found == knownFolders.end() ? L"" : found->second;
    }
    std::wstring SystemDirectory() override {
        return redirectionOff ? nativeSystemDirectory : redirectedSystemDirectory;
    }
    std::wstring ProgramPath() override { return moduleFileName; }
    bool IsWow64Process() override { return wow64; }
    bool DisableRedirection(void*& cookie) override {
        if (!redirectionFunctions) return false;
        cookie = &redirectionOff;
        redirectionOff = true;
        ++redirectionSwitches;
        return true;
    }
    bool RevertRedirection(void* cookie) override {
        if (!redirectionFunctions || cookie != &redirectionOff) return false;
        redirectionOff = false;
        ++redirectionSwitches;
        return true;
    }
    uint16_t GetNativeProcessorArchitecture() override { return architecture; }
    OsVersionResult GetOsVersion(OsVersion& version) override {
        if (versionResult == OsVersionResult::Ok) version = osVersion;
        return versionResult;
    }

    std::map<std::wstring, std::wstring> variables;
    std::map<KnownFolder, std::wstring> knownFolders;
    std::wstring redirectedSystemDirectory = L"C:\\Windows\\SysWOW64";
    std::wstring nativeSystemDirectory = L"C:\\Windows\\System32";
    std::wstring moduleFileName = L"C:\\Program Files\\Tavrin\\Tavrin.exe";
    bool wow64 = false;
    bool redirectionFunctions = true;
    bool redirectionOff = false;
    int redirectionSwitches = 0;
    uint16_t architecture = 0;
    OsVersionResult versionResult = OsVersionResult::Ok;
    OsVersion osVersion;
};

}  // namespace tavrin::test
