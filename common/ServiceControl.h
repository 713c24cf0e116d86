#pragma once
// The background service as both programs drive it: started, stopped or handed a control code
// through the service control manager.
#include <cstdint>
#include <string>

#include "ports/Clock.h"
#include "ports/ServiceManager.h"

namespace tavrin {

inline constexpr wchar_t kServiceName[] = L"QuorvelService";

// Control codes of ControlTheService below 128; from 128 on the code goes to the service.
inline constexpr uint32_t kServiceRequestStart = 0;
inline constexpr uint32_t kServiceRequestStop = 1;

// The rights asked for: the control application asks for what the code needs, the setup
// program for full access to the manager and the service.
enum class ServiceAccess { AsNeeded, Full };

// 0 done; 1 no service control manager; 2 no service; 3 no status; 4 stop refused; 5 not
// stopped in time; 6 start refused; 7 not running in time.
int ControlTheService(ServiceManager& services, Clock& clock, const std::wstring& serviceName,
                      uint32_t code, ServiceAccess access = ServiceAccess::AsNeeded);

}  // namespace tavrin
