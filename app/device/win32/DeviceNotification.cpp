#include "app/device/win32/DeviceNotification.h"

#include <windows.h>

#include <dbt.h>

#include <cwchar>

namespace tavrin {
namespace {

// With DEVICE_NOTIFY_ALL_INTERFACE_CLASSES the class only fills the filter.
constexpr GUID kMediaClassGuid = {
    0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40];
    std::swprintf(text, 40, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

}  // namespace

void* RegisterForDeviceChanges(void* window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kMediaClassGuid;
    return RegisterDeviceNotificationW(
        static_cast<HWND>(window), &filter,
        DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES);
}

void UnregisterForDeviceChanges(void* registration) {
    if (registration != nullptr) UnregisterDeviceNotification(registration);
}

DeviceChange DecodeDeviceChange(uintptr_t wParam, intptr_t lParam) {
    DeviceChange change;
    change.event = static_cast<uint32_t>(wParam);
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (header == nullptr) return change;
    change.deviceType = header->dbch_devicetype;
    if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE &&
        header->dbch_size >= sizeof(DEV_BROADCAST_DEVICEINTERFACE_W)) {
        const auto* item = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
        change.classGuid = GuidText(item->dbcc_classguid);
        // The name runs to its terminator within the size the sender gave.
        const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
        const size_t maxChars = (header->dbch_size - nameOffset) / sizeof(wchar_t);
        change.interfaceName.assign(item->dbcc_name, wcsnlen(item->dbcc_name, maxChars));
    }
    return change;
}

}  // namespace tavrin
