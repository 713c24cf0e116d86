#pragma once
// Device-interface arrivals and removals for the main window (WM_DEVICECHANGE).
#include <cstdint>
#include <string>

namespace tavrin {

struct DeviceChange {
    uint32_t event = 0;       // DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, ...
    uint32_t deviceType = 0;  // 5 for a device interface
    std::wstring classGuid;   // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case
    std::wstring interfaceName;
};

// Every interface class is delivered to `window` (an HWND); null when the system refuses.
void* RegisterForDeviceChanges(void* window);
void UnregisterForDeviceChanges(void* registration);
// The message's wParam and lParam as the discovery logic reads them.
DeviceChange DecodeDeviceChange(uintptr_t wParam, intptr_t lParam);

}  // namespace tavrin
