// The Windows device ports as far as Wine goes: it enumerates devices but has no served headset,
// no HID interface of ours and no filter driver.
#include <gtest/gtest.h>

#include "app/device/DeviceIo.h"
#include "app/device/win32/Win32DeviceBus.h"

namespace tavrin {
namespace {

TEST(Win32DeviceBus, EnumerationRunsAndFindsNoServedDevice) {
    Win32DeviceEnumeration enumeration;
    std::vector<std::wstring> ids;
    ASSERT_TRUE(enumeration.PresentHardwareIds(ids));
    for (const auto& id : ids) EXPECT_EQ(id.find(L"VID_2B7A"), std::wstring::npos);

    Win32HidBus hid;
    std::vector<std::wstring> paths;
    EXPECT_TRUE(hid.InterfacePaths(paths));
    Win32DriverBus driver;
    DeviceIo io(hid, driver);
    EXPECT_EQ(io.OpenHidDevice(0x2B7A, 0x5801), kNoDeviceHandle);
    EXPECT_EQ(io.SendLedSwitch(0x2B7A, 0x5801, true), 1);
}

TEST(Win32DeviceBus, TheDriverPathDoesNotOpen) {
    Win32HidBus hid;
    Win32DriverBus driver;
    DeviceIo io(hid, driver);
    EXPECT_EQ(io.QueryDriverState(), 1) << "before any probe";
    EXPECT_EQ(io.ProbeAudioExtension(0x2B7A, 0x5801), 1);
    EXPECT_EQ(io.DriverPath(), L"\\\\.\\Class#UsbAudioExtension&2B7A&5801");
    EXPECT_EQ(io.QueryDriverValue(0, 0), 1);
    EXPECT_EQ(io.SendDriverEnable(1), 1);
}

}  // namespace
}  // namespace tavrin
