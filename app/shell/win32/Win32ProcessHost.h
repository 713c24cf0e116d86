#pragma once
// The process entry's windowing side on Win32: the single-instance mutex, the hand-over to a
// running instance, and the application's life from window creation to the end of its loop.
#include <windows.h>

#include <memory>
#include <string>

#include "app/device/VendorSdk.h"
#include "app/features/DeviceCommands.h"
#include "app/features/MainWindowFeatures.h"
#include "app/shell/ProcessEntry.h"
#include "app/shell/win32/Win32UiHost.h"
#include "ports/DeviceBus.h"
#include "ports/DynamicLibrary.h"
#include "ports/Platform.h"

namespace tavrin {

// Everything the main window works with except the window host, which lives here.
struct ApplicationPorts {
    Platform& platform;
    DynamicLibrary& sdkLibrary;
    ErrorBox& errorBox;
    DeviceEnumeration& devices;
    HidBus& hid;
    DriverBus& driver;
    MainWindowFeatures& features;
    AudioPorts audio;
};

class Win32ProcessHost final : public ProcessHost {
public:
    Win32ProcessHost(HINSTANCE instance, ApplicationPorts ports);
    ~Win32ProcessHost() override;
    Win32ProcessHost(const Win32ProcessHost&) = delete;
    Win32ProcessHost& operator=(const Win32ProcessHost&) = delete;

    bool InstanceMutexExists() override;
    void CreateInstanceMutex() override;
    void RaiseRunningInstance() override;
    void RunApplication() override;
    void ShowException(const std::wstring& message) override;

private:
    // The executable's file name without extension: the title before the configuration is read.
    std::wstring ProgramTitle() const;

    HINSTANCE instance_;
    ApplicationPorts ports_;
    HANDLE instanceMutex_ = nullptr;
    // Outlives RunApplication, so that an exception box still has the application's title.
    std::unique_ptr<Win32UiHost> ui_;
};

}  // namespace tavrin
