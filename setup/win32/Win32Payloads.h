#pragma once
#include <windows.h>

#include "setup/Deployment.h"

namespace tavrin::setup {

// The payloads carried as resources of a module (the running program by default).
class Win32Payloads final : public PayloadSource {
public:
    explicit Win32Payloads(HMODULE module = nullptr) : module_(module) {}
    std::optional<PayloadBytes> Find(uint16_t identifier, const std::wstring& type) override;

private:
    HMODULE module_;
};

}  // namespace tavrin::setup
