#pragma once
// Process environment, known folders, WOW64 and the Windows version as the system reports them.
#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

enum class KnownFolder {
    ProgramFiles,    // CSIDL_PROGRAM_FILES
    System,          // CSIDL_SYSTEM
    SystemX86,       // CSIDL_SYSTEMX86
    CommonPrograms,  // CSIDL_COMMON_PROGRAMS
    AppData,         // CSIDL_APPDATA
    Windows,         // CSIDL_WINDOWS
    Desktop,         // CSIDL_DESKTOPDIRECTORY: the user's desktop folder
};

enum class ProcessorArchitecture : uint16_t { X86 = 0, Arm = 5, Ia64 = 6, X64 = 9, Arm64 = 12 };

struct OsVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint16_t servicePackMajor = 0;
};

enum class OsVersionResult { Ok, NotExported, CallFailed };

class Environment {
public:
    virtual ~Environment() = default;

    // Absent when the variable is not set.
    virtual std::optional<std::wstring> GetVariable(const std::wstring& name) = 0;
    // The folder without a trailing backslash; empty when the system cannot tell.
    virtual std::wstring GetKnownFolder(KnownFolder folder) = 0;
    // GetSystemDirectoryW: seen through WOW64 redirection unless it is switched off.
    virtual std::wstring SystemDirectory() = 0;
    // Full path of the running program.
    virtual std::wstring ProgramPath() = 0;

    // IsWow64Process looked up by name; an absent function counts as not WOW64.
    virtual bool IsWow64Process() = 0;
    // Wow64DisableWow64FsRedirection / Wow64RevertWow64FsRedirection looked up by name. When
    // the function is absent nothing happens and false comes back. Per thread.
    virtual bool DisableRedirection(void*& cookie) = 0;
    virtual bool RevertRedirection(void* cookie) = 0;

    // GetNativeSystemInfo's processor architecture.
    virtual uint16_t GetNativeProcessorArchitecture() = 0;
    // RtlGetVersion of ntdll, looked up by name.
    virtual OsVersionResult GetOsVersion(OsVersion& version) = 0;
};

}  // namespace tavrin
