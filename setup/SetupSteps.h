#pragma once
// The install steps that put the product on the machine: the filter driver and the service, the
// control application and the uninstaller, the shared files and folders, the manual, the
// plug-ins and effect applications, and the Windows update.
#include <string>

#include "common/DeviceIdMgr.h"
#include "common/VersionInfoMgr.h"
#include "setup/Deployment.h"
#include "setup/InstallRecord.h"
#include "setup/InstallSequence.h"
#include "setup/SetupPlatform.h"
#include "setup/SetupSession.h"

namespace tavrin::setup {

inline constexpr wchar_t kDriverName[] = L"Ovalt";
inline constexpr wchar_t kDriverKey[] = L"SYSTEM\\CurrentControlSet\\Services\\Ovalt";
inline constexpr wchar_t kFilterDevicePath[] = L"\\\\.\\Class#UsbAudioExtension&2B7A&00";
inline constexpr wchar_t kUpdatePackageName[] = L"Windows6.1-KB3033929-x64.msu";
inline constexpr wchar_t kVendorSdkFileName[] = L"DLLZR_UsbAudio58xx_x32.dll";
inline constexpr wchar_t kBeeFileName[] = L"bee.wav";
inline constexpr uint32_t kServiceRegistrationTimeout = 100000;

// Under WOW64, file-system redirection is off while the object lives, on this thread only, so
// that files land in the native system folder; it comes back on every way out.
class RedirectionOff {
public:
    RedirectionOff(Environment& environment, bool wow64) : environment_(environment) {
        active_ = wow64 && environment_.DisableRedirection(cookie_);
    }
    ~RedirectionOff() {
        if (active_) environment_.RevertRedirection(cookie_);
    }
    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;

private:
    Environment& environment_;
    void* cookie_ = nullptr;
    bool active_ = false;
};

// Where the setup puts the two system components and the effect applications.
std::wstring DriverFilePath(const CAudioConfig& config);
std::wstring ServiceFilePath(const CAudioConfig& config);
std::wstring UpdatePackagePath(const CAudioConfig& config);
std::wstring EffectApplicationPath(const CAudioConfig& config, const std::wstring& fileName);

// The fifteen launch values of the background service: name and data, C (control
// application), B and D (effect applications), 0 to 4 each.
std::vector<std::pair<std::wstring, std::wstring>> LaunchValues(const CAudioConfig& config);

// Takes Ovalt out of the lower filters of the devices of the group, then restarts those that are
// present; true when Windows asks for a restart to finish.
bool CleanOldFilters(DeviceList& devices, const DEVICEID_MGR::CDeviceIdMgr& group, Clock& clock,
                     DebugLog& log);

// One of the two installed marks of KB3033929 exists (64-bit registry view).
bool IsUpdateInstalled(Registry& registry);

class SetupSteps final : public InstallSteps {
public:
    SetupSteps(SetupPlatform& platform, const SetupSession& session, PayloadSource& payloads);

    void BroadcastAppExit() override;
    void RestService() override;
    void CleanOldFilters() override;
    bool FilterDriverActive() override;
    int Install_FilterDriver(InstallReporter& reporter) override;
    int InstallService(InstallReporter& reporter) override;
    int InstallApplication(InstallReporter& reporter) override;
    int InstallUninstaller(InstallReporter& reporter) override;
    int InstallSharedFiles(InstallReporter& reporter) override;
    int InstallUserManual(InstallReporter& reporter) override;
    int InstallPlugins(InstallReporter& reporter) override;
    int InstallEffectApplication(InstallReporter& reporter) override;
    int InstallSoundEffectApplication(InstallReporter& reporter) override;
    int Install_KB3033929(InstallReporter& reporter) override;

    int Copy_KB3033929();
    // 0 started; 1 the shell could not start it. A negative wait waits for its end.
    int RunPackage(const std::wstring& file, int32_t waitMilliseconds);

    const InstallRecord& Record() const { return record_; }

private:
    // Extracts a payload to a path: 0, or 1 missing, 2 not written. The install record keeps
    // the path unless it lies in the native system folder, which the uninstaller knows.
    int PutPayload(uint16_t identifier, const wchar_t* type, const std::wstring& path,
                   bool recorded = true);
    int PutPayloadUnredirected(uint16_t identifier, const wchar_t* type, const std::wstring& path);
    int InstallEffect(uint16_t identifier, const std::wstring& fileName, InstallReporter& reporter);
    void WriteLaunchValues();
    void CopySharedFile(const std::wstring& name);
    void SaveRecord();

    SetupPlatform& platform_;
    const SetupSession& session_;
    const CAudioConfig& config_;
    PayloadSource& payloads_;
    INSTALL_MGR::CInstallMgr installMgr_;
    InstallRecord record_;
};

}  // namespace tavrin::setup
