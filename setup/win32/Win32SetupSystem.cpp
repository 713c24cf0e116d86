#include "setup/win32/Win32SetupSystem.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <objbase.h>
#include <setupapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace tavrin::setup {
namespace {

std::wstring ProgramFile() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// Keeps the calling thread's window messages flowing until the time is up.
void PumpMessagesFor(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

// KSCATEGORY_AUDIO; with DIGCF_ALLCLASSES the list holds the devices of every class.
const GUID kAudioCategory = {
    0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

std::vector<std::wstring> SplitMultiString(const std::vector<wchar_t>& data) {
    std::vector<std::wstring> strings;
    std::wstring current;
    for (const wchar_t c : data) {
        if (c != L'\0') {
            current += c;
        } else if (!current.empty()) {
            strings.push_back(current);
            current.clear();
        } else {
            break;
        }
    }
    if (!current.empty()) strings.push_back(current);
    return strings;
}

// Every device of every class, present or not, for as long as the object lives.
class Win32DeviceList final : public DeviceList {
public:
    explicit Win32DeviceList(HDEVINFO set) : set_(set) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        for (DWORD index = 0; SetupDiEnumDeviceInfo(set_, index, &device); ++index) {
            InstalledDevice entry;
            std::vector<std::wstring> ids;
            if (ReadMultiString(device, SPDRP_HARDWAREID, ids) && !ids.empty()) {
                entry.hardwareId = ids.front();
            }
            ULONG status = 0;
            ULONG problem = 0;
            entry.present =
                CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == CR_SUCCESS;
            handles_.push_back(device);
            devices_.push_back(entry);
        }
    }
    ~Win32DeviceList() override { SetupDiDestroyDeviceInfoList(set_); }
    Win32DeviceList(const Win32DeviceList&) = delete;
    Win32DeviceList& operator=(const Win32DeviceList&) = delete;

    const std::vector<InstalledDevice>& Devices() const override { return devices_; }

    bool LowerFilters(size_t index, std::vector<std::wstring>& filters) override {
        return ReadMultiString(handles_.at(index), SPDRP_LOWERFILTERS, filters);
    }

    bool SetLowerFilters(size_t index, const std::vector<std::wstring>& filters) override {
        if (filters.empty()) {
            return SetupDiSetDeviceRegistryPropertyW(set_, &handles_.at(index), SPDRP_LOWERFILTERS,
                                                     nullptr, 0) != FALSE;
        }
        std::vector<wchar_t> data;
        for (const std::wstring& filter : filters) {
            data.insert(data.end(), filter.begin(), filter.end());
            data.push_back(L'\0');
        }
        data.push_back(L'\0');
        return SetupDiSetDeviceRegistryPropertyW(
                   set_, &handles_.at(index), SPDRP_LOWERFILTERS,
                   reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * sizeof(wchar_t))) != FALSE;
    }

    bool ChangeState(size_t index, DeviceStateChange change) override {
        SP_PROPCHANGE_PARAMS parameters{};
        parameters.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        parameters.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        parameters.StateChange = change == DeviceStateChange::Disable ? DICS_DISABLE : DICS_ENABLE;
        parameters.Scope = change == DeviceStateChange::EnableGlobally ? DICS_FLAG_GLOBAL
                                                                       : DICS_FLAG_CONFIGSPECIFIC;
        parameters.HwProfile = 0;
        SP_DEVINFO_DATA& device = handles_.at(index);
        return SetupDiSetClassInstallParamsW(set_, &device, &parameters.ClassInstallHeader,
                                             sizeof(parameters)) &&
               SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set_, &device);
    }

    bool NeedsReboot(size_t index) override {
        SP_DEVINSTALL_PARAMS_W parameters{};
        parameters.cbSize = sizeof(parameters);
        return SetupDiGetDeviceInstallParamsW(set_, &handles_.at(index), &parameters) &&
               (parameters.Flags & DI_NEEDREBOOT) != 0;
    }

private:
    bool ReadMultiString(SP_DEVINFO_DATA& device, DWORD property,
                         std::vector<std::wstring>& strings) {
        DWORD type = 0;
        DWORD size = 0;
        SetupDiGetDeviceRegistryPropertyW(set_, &device, property, &type, nullptr, 0, &size);
        if (size == 0) return false;
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
        if (!SetupDiGetDeviceRegistryPropertyW(set_, &device, property, &type,
                                               reinterpret_cast<BYTE*>(data.data()), size,
                                               nullptr)) {
            return false;
        }
        strings = SplitMultiString(data);
        return true;
    }

    HDEVINFO set_;
    std::vector<SP_DEVINFO_DATA> handles_;
    std::vector<InstalledDevice> devices_;
};

}  // namespace

ProcessRun Win32SetupSystem::RunProcess(const std::wstring& commandLine,
                                        uint32_t timeoutMilliseconds) {
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, HIGH_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process)) {
        return ProcessRun::NotStarted;
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, timeoutMilliseconds);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == WAIT_OBJECT_0 ? ProcessRun::Ended : ProcessRun::TimedOut;
}

bool Win32SetupSystem::CreateShortcut(const std::wstring& linkFile, const std::wstring& target) {
    const bool initialised = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    const bool saved =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(file->Save(linkFile.c_str(), TRUE));
    if (file != nullptr) file->Release();
    if (link != nullptr) link->Release();
    if (initialised) CoUninitialize();
    return saved;
}

bool Win32SetupSystem::DeviceOpens(const std::wstring& path) {
    HANDLE device =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) return false;
    CloseHandle(device);
    return true;
}

std::unique_ptr<DeviceList> Win32SetupSystem::OpenDeviceList() {
    HDEVINFO set = SetupDiGetClassDevsW(&kAudioCategory, nullptr, nullptr, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32DeviceList>(set);
}

bool Win32SetupSystem::ProgramVersion(std::array<uint16_t, 4>& version) {
    const std::wstring file = ProgramFile();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    version = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
               HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    return true;
}

void Win32SetupSystem::Broadcast(const std::wstring& messageName, uint32_t timeoutMilliseconds) {
    const UINT message = RegisterWindowMessageW(messageName.c_str());
    if (message == 0) return;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_NORMAL, timeoutMilliseconds, nullptr);
}

bool Win32SetupSystem::ShellStart(const std::wstring& file, const std::wstring& parameters,
                                  int32_t waitMilliseconds) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) return false;
    if (waitMilliseconds < 0 && info.hProcess != nullptr) {
        WaitForSingleObject(info.hProcess, INFINITE);
    }
    if (info.hProcess != nullptr) CloseHandle(info.hProcess);
    if (waitMilliseconds > 0) PumpMessagesFor(static_cast<DWORD>(waitMilliseconds));
    return true;
}

void Win32SetupSystem::Beep(uint32_t frequency, uint32_t milliseconds) {
    ::Beep(frequency, milliseconds);
}

bool Win32SetupSystem::Reboot() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        }
        CloseHandle(token);
    }
    return ExitWindowsEx(EWX_REBOOT, 0) != 0;
}

}  // namespace tavrin::setup
