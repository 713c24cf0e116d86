#pragma once
#include "ports/Environment.h"

namespace tavrin {

class Win32Environment final : public Environment {
public:
    std::optional<std::wstring> GetVariable(const std::wstring& name) override;
    std::wstring GetKnownFolder(KnownFolder folder) override;
    std::wstring SystemDirectory() override;
    std::wstring ProgramPath() override;
    bool IsWow64Process() override;
    bool DisableRedirection(void*& cookie) override;
    bool RevertRedirection(void* cookie) override;
    uint16_t GetNativeProcessorArchitecture() override;
    OsVersionResult GetOsVersion(OsVersion& version) override;
};

}  // namespace tavrin
