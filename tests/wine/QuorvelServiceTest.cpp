// The background service stand-in under Wine's real service control manager: registered the way
// the setup program runs it, then driven by the control application's own ControlTheService.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/shell/ProcessEntry.h"
#include "ports/portable/SystemClock.h"
#include "ports/win32/Win32ServiceManager.h"

namespace tavrin {
namespace {

constexpr wchar_t kLaunchKey[] = L"SOFTWARE\\ZRN 58xx Software";
constexpr wchar_t kUserValue[] = L"UserPrivilegeExecution_C0";
constexpr wchar_t kBootValue[] = L"SystemPrivilegeExecutionOnBoot_C3";
constexpr uint32_t kStart = 0;
constexpr uint32_t kStop = 1;

std::wstring TestFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// One launch value in one registry view, put back as it was when the test ends.
class LaunchValue {
public:
    LaunchValue(const wchar_t* name, REGSAM view) : name_(name), view_(view) { saved_ = Read(); }
    ~LaunchValue() {
        if (saved_) {
            Write(*saved_);
        } else {
            Remove();
        }
    }
    LaunchValue(const LaunchValue&) = delete;
    LaunchValue& operator=(const LaunchValue&) = delete;

    std::optional<std::wstring> Read() const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLaunchKey, 0, KEY_QUERY_VALUE | view_, &key) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        wchar_t data[2048];
        DWORD size = sizeof(data);
        const LSTATUS result =
            RegGetValueW(key, nullptr, name_, RRF_RT_REG_SZ, nullptr, data, &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS) return std::nullopt;
        return std::wstring(data);
    }
    bool Write(const std::wstring& text) const {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLaunchKey, 0, nullptr, 0, KEY_SET_VALUE | view_,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const auto size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        const bool ok =
            RegSetValueExW(key, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }
    void Remove() const {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLaunchKey, 0, KEY_SET_VALUE | view_, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(key, name_);
            RegCloseKey(key);
        }
    }

private:
    const wchar_t* name_;
    REGSAM view_;
    std::optional<std::wstring> saved_;
};

struct ServiceConfig {
    DWORD serviceType = 0;
    DWORD startType = 0;
    std::wstring binaryPath;
};

class QuorvelServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveService();
        DeleteFileW(marker_.c_str());
    }
    void TearDown() override {
        RemoveService();
        DeleteFileW(marker_.c_str());
    }

    // As the setup program runs it: the path unquoted, then " /Service".
    DWORD RunSetupRegistration() {
        std::wstring commandLine = serviceExe_ + L" /Service";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                            HIGH_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
            return GetLastError();
        }
        DWORD exitCode = WAIT_TIMEOUT;
        if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &exitCode);
        } else {
            TerminateProcess(process.hProcess, 1);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return exitCode;
    }

    std::optional<ServiceConfig> QueryConfig() {
        SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
        if (manager == nullptr) return std::nullopt;
        std::optional<ServiceConfig> result;
        if (SC_HANDLE service = OpenServiceW(manager, L"QuorvelService", SERVICE_QUERY_CONFIG)) {
            std::vector<BYTE> buffer(8192);
            DWORD needed = 0;
            auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
            if (QueryServiceConfigW(service, config, static_cast<DWORD>(buffer.size()), &needed)) {
                result = ServiceConfig{config->dwServiceType, config->dwStartType,
                                       config->lpBinaryPathName};
            }
            CloseServiceHandle(service);
        }
        CloseServiceHandle(manager);
        return result;
    }

    // Stopped and deleted, whatever an earlier run left behind.
    void RemoveService() {
        ControlTheService(services_, clock_, L"QuorvelService", kStop);
        uint32_t error = 0;
        const auto manager = services_.Connect(kScManagerConnect, error);
        if (!manager) return;
        if (const auto service = manager->Open(L"QuorvelService", kServiceDelete, error)) {
            service->Delete();
        }
    }

    // What the launched program wrote, once it is there.
    std::optional<std::wstring> WaitForMarker(DWORD milliseconds) {
        for (DWORD waited = 0;; waited += 100) {
            HANDLE file = CreateFileW(marker_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                wchar_t text[1024];
                DWORD read = 0;
                ReadFile(file, text, sizeof(text), &read, nullptr);
                CloseHandle(file);
                return std::wstring(text, read / sizeof(wchar_t));
            }
            if (waited >= milliseconds) return std::nullopt;
            Sleep(100);
        }
    }

    uint32_t CurrentState() {
        uint32_t error = 0;
        auto manager = services_.Connect(kScManagerConnect, error);
        if (!manager) return 0;
        auto service = manager->Open(L"QuorvelService", kServiceQueryStatus, error);
        ServiceStatus status;
        if (!service || service->QueryStatus(status) != 0) return 0;
        return status.currentState;
    }

    const std::wstring serviceExe_ = TestFolder() + L"QuorvelService.exe";
    const std::wstring markerExe_ = TestFolder() + L"tavrin_marker_program.exe";
    const std::wstring marker_ = markerExe_ + L".marker";
    Win32ServiceManager services_;
    SystemClock clock_;
};

TEST_F(QuorvelServiceTest, SetupRunRegistersOrRepairsTheService) {
    const std::wstring quoted = L"\"" + serviceExe_ + L"\"";
    // A fresh machine, and one whose registration points at an older install.
    for (const bool stale : {false, true}) {
        SCOPED_TRACE(stale ? "stale registration" : "fresh");
        RemoveService();
        if (stale) {
            SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
            ASSERT_NE(manager, nullptr);
            SC_HANDLE service =
                CreateServiceW(manager, L"QuorvelService", L"QuorvelService", SERVICE_ALL_ACCESS,
                               SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                               SERVICE_ERROR_NORMAL, L"C:\\Old Install\\QuorvelService.exe",
                               nullptr, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(service, nullptr) << GetLastError();
            CloseServiceHandle(service);
            CloseServiceHandle(manager);
        }
        EXPECT_EQ(RunSetupRegistration(), 0u);
        const auto config = QueryConfig();
        ASSERT_TRUE(config.has_value());
        EXPECT_EQ(config->binaryPath, quoted) << Narrow(config->binaryPath);
        EXPECT_EQ(config->serviceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
        EXPECT_EQ(config->startType, static_cast<DWORD>(SERVICE_AUTO_START));
        EXPECT_EQ(CurrentState(), kServiceStopped) << "registering does not start it";
    }
    RemoveService();
    EXPECT_FALSE(QueryConfig().has_value()) << "deleted through the service port";
}

TEST_F(QuorvelServiceTest, ControlCodesLaunchTheStoredCommandLines) {
    LaunchValue user(kUserValue, KEY_WOW64_32KEY);
    LaunchValue boot(kBootValue, KEY_WOW64_32KEY);
    LaunchValue userNative(kUserValue, KEY_WOW64_64KEY);
    const std::wstring quotedMarker = L"\"" + markerExe_ + L"\"";
    // The 32-bit setup writes into the 32-bit view only; what the 64-bit view holds is not ours.
    ASSERT_TRUE(userNative.Write(quotedMarker + L" -native-view"));
    ASSERT_TRUE(user.Write(quotedMarker + L" -servicestart"));
    ASSERT_TRUE(boot.Write(quotedMarker + L" -serviceboot"));
    ASSERT_EQ(userNative.Read(), quotedMarker + L" -native-view") << "the two views are apart";

    ASSERT_EQ(RunSetupRegistration(), 0u);
    ASSERT_EQ(ControlTheService(services_, clock_, L"QuorvelService", kStart), 0);
    ASSERT_EQ(CurrentState(), kServiceRunning);

    const struct {
        uint32_t code;
        const wchar_t* arguments;
    } cases[] = {{kServiceCodeStartWindow, L"-servicestart"}, {kServiceCodeBoot, L"-serviceboot"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        DeleteFileW(marker_.c_str());
        EXPECT_EQ(ControlTheService(services_, clock_, L"QuorvelService", c.code), 0);
        const auto written = WaitForMarker(10000);
        ASSERT_TRUE(written.has_value()) << "the launch value's program did not run";
        EXPECT_EQ(*written, c.arguments) << Narrow(*written);
    }

    EXPECT_EQ(ControlTheService(services_, clock_, L"QuorvelService", kStop), 0);
    EXPECT_EQ(CurrentState(), kServiceStopped);
}

TEST_F(QuorvelServiceTest, CodesWithNothingToLaunchLeaveTheServiceRunning) {
    LaunchValue user(kUserValue, KEY_WOW64_32KEY);
    LaunchValue boot(kBootValue, KEY_WOW64_32KEY);
    user.Remove();
    // A command line that cannot start is logged, not fatal.
    ASSERT_TRUE(boot.Write(L"\"C:\\Nowhere\\Tavrin.exe\" -serviceboot"));

    ASSERT_EQ(RunSetupRegistration(), 0u);
    ASSERT_EQ(ControlTheService(services_, clock_, L"QuorvelService", kStart), 0);
    for (const uint32_t code : {128u, kServiceCodeStartWindow, kServiceCodeBoot, 200u}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(ControlTheService(services_, clock_, L"QuorvelService", code), 0);
        EXPECT_EQ(CurrentState(), kServiceRunning);
    }
    EXPECT_FALSE(WaitForMarker(500).has_value());
    EXPECT_EQ(ControlTheService(services_, clock_, L"QuorvelService", kStop), 0);
    EXPECT_EQ(CurrentState(), kServiceStopped);
}

}  // namespace
}  // namespace tavrin
