#include "ports/win32/Win32Environment.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace tavrin {
namespace {

// Functions that older systems lack are found by name at run time.
template <typename Function>
Function LookUp(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    if (handle == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

int CsidlOf(KnownFolder folder) {
    switch (folder) {
        case KnownFolder::ProgramFiles: return CSIDL_PROGRAM_FILES;
        case KnownFolder::System: return CSIDL_SYSTEM;
        case KnownFolder::SystemX86: return CSIDL_SYSTEMX86;
        case KnownFolder::CommonPrograms: return CSIDL_COMMON_PROGRAMS;
        case KnownFolder::AppData: return CSIDL_APPDATA;
        case KnownFolder::Windows: return CSIDL_WINDOWS;
        case KnownFolder::Desktop: return CSIDL_DESKTOPDIRECTORY;
    }
    return CSIDL_WINDOWS;
}

struct VersionRecord {  // RTL_OSVERSIONINFOEXW, 284 bytes
    ULONG size;
    ULONG major;
    ULONG minor;
    ULONG build;
    ULONG platform;
    WCHAR servicePackText[128];
    USHORT servicePackMajor;
    USHORT servicePackMinor;
    USHORT suiteMask;
    UCHAR productType;
    UCHAR reserved;
};
static_assert(sizeof(VersionRecord) == 284);

}  // namespace

std::optional<std::wstring> Win32Environment::GetVariable(const std::wstring& name) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length =
            GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::wstring();
        }
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length);
    }
}

std::wstring Win32Environment::GetKnownFolder(KnownFolder folder) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CsidlOf(folder) | CSIDL_FLAG_CREATE, nullptr, 0, path))) {
        return L"";
    }
    return path;
}

std::wstring Win32Environment::SystemDirectory() {
    wchar_t path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : L"";
}

std::wstring Win32Environment::ProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool Win32Environment::IsWow64Process() {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = LookUp<IsWow64ProcessFunction>(L"kernel32", "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

bool Win32Environment::DisableRedirection(void*& cookie) {
    using DisableFunction = BOOL(WINAPI*)(PVOID*);
    auto disable = LookUp<DisableFunction>(L"kernel32", "Wow64DisableWow64FsRedirection");
    return disable != nullptr && disable(&cookie);
}

bool Win32Environment::RevertRedirection(void* cookie) {
    using RevertFunction = BOOL(WINAPI*)(PVOID);
    auto revert = LookUp<RevertFunction>(L"kernel32", "Wow64RevertWow64FsRedirection");
    return revert != nullptr && revert(cookie);
}

uint16_t Win32Environment::GetNativeProcessorArchitecture() {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture;
}

OsVersionResult Win32Environment::GetOsVersion(OsVersion& version) {
    using RtlGetVersionFunction = LONG(WINAPI*)(VersionRecord*);
    auto rtlGetVersion = LookUp<RtlGetVersionFunction>(L"ntdll.dll", "RtlGetVersion");
    if (rtlGetVersion == nullptr) return OsVersionResult::NotExported;
    VersionRecord record{};
    record.size = sizeof(record);
    if (rtlGetVersion(&record) < 0) return OsVersionResult::CallFailed;
    version.major = record.major;
    version.minor = record.minor;
    version.build = record.build;
    version.servicePackMajor = record.servicePackMajor;
    return OsVersionResult::Ok;
}

}  // namespace tavrin
