#pragma once
// What the setup program needs of Windows beyond the shared ports: its own version, messages to
// every window, starting programs, the shutdown, the speaker.
#include <array>
#include <cstdint>
#include <string>

namespace tavrin::setup {

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
    virtual void Beep(uint32_t frequency, uint32_t milliseconds) = 0;
    // Enables the shutdown privilege and asks Windows to restart; false when it refuses.
    virtual bool Reboot() = 0;
};

}  // namespace tavrin::setup
