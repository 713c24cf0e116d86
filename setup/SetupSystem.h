#pragma once
// What the setup program needs of Windows beyond the shared ports: its own version, messages to
// every window, starting programs, the shutdown, the speaker.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrin::setup {

enum class ProcessRun { NotStarted, Ended, TimedOut };

// One device of the system's device list, present or not.
struct InstalledDevice {
    std::wstring hardwareId;  // the first string of the hardware-ID property
    bool present = false;
};

enum class DeviceStateChange { Disable, EnableGlobally, EnableInProfile };

// The system's list of every device of every class (SetupDi), open while the object lives.
class DeviceList {
public:
    virtual ~DeviceList() = default;
    virtual const std::vector<InstalledDevice>& Devices() const = 0;
    // The lower-filters property; false when the device has none.
    virtual bool LowerFilters(size_t index, std::vector<std::wstring>& filters) = 0;
    // An empty list deletes the property.
    virtual bool SetLowerFilters(size_t index, const std::vector<std::wstring>& filters) = 0;
    virtual bool ChangeState(size_t index, DeviceStateChange change) = 0;
    // The install parameters ask for a restart of Windows.
    virtual bool NeedsReboot(size_t index) = 0;
};

class SetupSystem {
public:
    virtual ~SetupSystem() = default;

    // Major, minor, release and build of the running program's version resource.
    virtual bool ProgramVersion(std::array<uint16_t, 4>& version) = 0;
    // Registers the message by name and sends it to every top-level window (wParam 0, lParam 0),
    // waiting at most `timeoutMilliseconds` for each.
    virtual void Broadcast(const std::wstring& messageName, uint32_t timeoutMilliseconds) = 0;
    // ShellExecuteExW with the file's default verb, hidden and without error boxes. A negative
    // wait waits for the started program to end; a positive one keeps the calling thread's
    // messages flowing for that long. False when the shell could not start it.
    virtual bool ShellStart(const std::wstring& file, const std::wstring& parameters,
                            int32_t waitMilliseconds) = 0;
    // CreateProcessW of the command line (handles inherited, high priority), then a wait for
    // its end of at most `timeoutMilliseconds`.
    virtual ProcessRun RunProcess(const std::wstring& commandLine,
                                  uint32_t timeoutMilliseconds) = 0;
    // A shell link at `linkFile` to `target`, with nothing else set; false when any step fails.
    virtual bool CreateShortcut(const std::wstring& linkFile, const std::wstring& target) = 0;
    // The device opens for reading and writing (CreateFileW, shared, open existing).
    virtual bool DeviceOpens(const std::wstring& path) = 0;
    // Null when the system cannot list its devices.
    virtual std::unique_ptr<DeviceList> OpenDeviceList() = 0;
    virtual void Beep(uint32_t frequency, uint32_t milliseconds) = 0;
    // Enables the shutdown privilege and asks Windows to restart; false when it refuses.
    virtual bool Reboot() = 0;
};

}  // namespace tavrin::setup
