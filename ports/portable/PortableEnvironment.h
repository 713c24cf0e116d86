#pragma once
#include "ports/Environment.h"

namespace tavrin {

// The environment of a Linux host seen as a Windows machine whose drive is the folder
// `windowsRoot` (Windows form, no trailing backslash): known folders lie below it, and there is
// neither WOW64 nor a Windows version to report.
class PortableEnvironment final : public Environment {
public:
    explicit PortableEnvironment(std::wstring windowsRoot);

    std::optional<std::wstring> GetVariable(const std::wstring& name) override;
    std::wstring GetKnownFolder(KnownFolder folder) override;
    std::wstring SystemDirectory() override;
    std::wstring ProgramPath() override;
    bool IsWow64Process() override { return false; }
    bool DisableRedirection(void*& /*cookie*/) override { return false; }
    bool RevertRedirection(void* /*cookie*/) override { return false; }
    uint16_t GetNativeProcessorArchitecture() override;
    OsVersionResult GetOsVersion(OsVersion& /*version*/) override {
        return OsVersionResult::NotExported;
    }

private:
    std::wstring windowsRoot_;
};

}  // namespace tavrin
