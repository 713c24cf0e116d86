#include <windows.h>

#include <dbt.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "app/device/win32/DeviceNotification.h"

namespace tavrin {
namespace {

TEST(DeviceNotification, RegistersAWindowForEveryInterfaceClass) {
    // A message-only window: registration needs no display.
    HWND window = CreateWindowExW(0, L"STATIC", L"tavrin-test", 0, 0, 0, 1, 1, HWND_MESSAGE,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    void* registration = RegisterForDeviceChanges(window);
    EXPECT_NE(registration, nullptr);
    UnregisterForDeviceChanges(registration);
    DestroyWindow(window);
}

TEST(DeviceNotification, DecodesAnInterfaceBroadcast) {
    const wchar_t name[] = L"\\\\?\\HID#VID_2B7A&PID_5801&MI_03#7&1&0&0000#{x}";
    std::vector<uint8_t> message(
        offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + sizeof(name), 0);
    auto* item = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(message.data());
    item->dbcc_size = static_cast<DWORD>(message.size());
    item->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    item->dbcc_classguid = {
        0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    std::copy(std::begin(name), std::end(name), item->dbcc_name);

    const DeviceChange change =
        DecodeDeviceChange(DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<intptr_t>(item));
    EXPECT_EQ(change.event, 0x8004u);
    EXPECT_EQ(change.deviceType, 5u);
    EXPECT_EQ(change.classGuid, L"{4D1E55B2-F16F-11CF-88CB-001111000030}");
    EXPECT_EQ(change.interfaceName, name);

    EXPECT_EQ(DecodeDeviceChange(DBT_DEVNODES_CHANGED, 0).deviceType, 0u);
}

}  // namespace
}  // namespace tavrin
