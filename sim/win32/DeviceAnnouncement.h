#pragma once
#include <string>

namespace tavrin::sim {

// What Windows tells the program when the headset comes or goes: WM_DEVICECHANGE with an
// interface broadcast of the HID class, sent to the top-level windows of this process.
void AnnounceDeviceChange(bool arrival, const std::wstring& interfacePath);

}  // namespace tavrin::sim
