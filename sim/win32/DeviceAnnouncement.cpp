#include "sim/win32/DeviceAnnouncement.h"

#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstddef>
#include <cwctype>
#include <vector>

namespace tavrin::sim {
namespace {

constexpr GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

struct Announcement {
    WPARAM event;
    const DEV_BROADCAST_DEVICEINTERFACE_W* broadcast;
};

BOOL CALLBACK SendToOwnWindow(HWND window, LPARAM context) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    const auto* announcement = reinterpret_cast<const Announcement*>(context);
    // Sent, not posted: the broadcast lives on this thread's stack until it is handled.
    SendMessageW(window, WM_DEVICECHANGE, announcement->event,
                 reinterpret_cast<LPARAM>(announcement->broadcast));
    return TRUE;
}

}  // namespace

// Windows names the interface in upper case in these broadcasts.
void AnnounceDeviceChange(bool arrival, const std::wstring& interfacePath) {
    std::wstring name = interfacePath;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    std::vector<std::byte> bytes(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) +
                                 (name.size() + 1) * sizeof(wchar_t));
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(bytes.data());
    broadcast->dbcc_size = static_cast<DWORD>(bytes.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast->dbcc_classguid = kHidInterfaceClass;
    std::copy(name.begin(), name.end(), broadcast->dbcc_name);
    broadcast->dbcc_name[name.size()] = L'\0';
    const Announcement announcement{
        static_cast<WPARAM>(arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE), broadcast};
    EnumWindows(&SendToOwnWindow, reinterpret_cast<LPARAM>(&announcement));
}

}  // namespace tavrin::sim
