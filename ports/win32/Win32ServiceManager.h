#pragma once
#include "ports/ServiceManager.h"

namespace tavrin {

// OpenSCManagerW, OpenServiceW, QueryServiceStatusEx, ControlService, StartServiceW.
class Win32ServiceManager final : public ServiceManager {
public:
    std::unique_ptr<ServiceManagerHandle> Connect(uint32_t access, uint32_t& error) override;
};

}  // namespace tavrin
