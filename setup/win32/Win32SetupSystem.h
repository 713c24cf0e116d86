#pragma once
#include "setup/SetupSystem.h"

namespace tavrin::setup {

class Win32SetupSystem final : public SetupSystem {
public:
    bool ProgramVersion(std::array<uint16_t, 4>& version) override;
    void Broadcast(const std::wstring& messageName, uint32_t timeoutMilliseconds) override;
    bool ShellStart(const std::wstring& file, const std::wstring& parameters,
                    int32_t waitMilliseconds) override;
    ProcessRun RunProcess(const std::wstring& commandLine, uint32_t timeoutMilliseconds) override;
    bool CreateShortcut(const std::wstring& linkFile, const std::wstring& target) override;
    bool DeviceOpens(const std::wstring& path) override;
    std::unique_ptr<DeviceList> OpenDeviceList() override;
    void Beep(uint32_t frequency, uint32_t milliseconds) override;
    bool Reboot() override;
};

}  // namespace tavrin::setup
