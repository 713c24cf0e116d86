#pragma once
// The running Windows: family, version code, service pack, bitness and WOW64 redirection.
#include <optional>
#include <string>

#include "ports/Platform.h"

namespace tavrin {

namespace VERSIONINFO_MGR {

// Family numbers and version codes of the known Windows versions.
inline constexpr int kFamilyNT4 = 0;
inline constexpr int kFamilyXP = 2;
inline constexpr int kFamilyVista = 3;
inline constexpr int kFamilyWin7 = 4;
inline constexpr int kFamilyWin8 = 5;
inline constexpr int kFamilyWin10 = 6;
inline constexpr int kUnknown = -1;

struct WindowsVersion {
    int family = kUnknown;
    int versionCode = kUnknown;
};
WindowsVersion MapWindowsVersion(uint32_t major, uint32_t minor);

// 0; 1 RtlGetVersion is not exported; 2 it failed. Absent outputs are skipped. This form
// writes no line; CVersionInfoMgr's adds the version line.
int QueryWindowsVersion(Environment& environment, int* family, int* versionCode, int* servicePack);

class CVersionInfoMgr {
public:
    CVersionInfoMgr(Environment& environment, DebugLog& log);

    int GetWindowsVersion(int* family, int* versionCode, int* servicePack);
    void LogWindowsVersion(int family, std::optional<int> versionCode,
                           std::optional<int> servicePack);
    // 0 and `bitness` set (0 32-bit, 1 64-bit); 1 for another processor, `bitness` untouched.
    int GetMachineBitness(int& bitness);
    // Nothing happens and 0 comes back when the system lacks the functions.
    int DisableRedirection(void*& cookie);
    int RevertRedirection(void* cookie);

private:
    Environment& environment_;
    DebugLog& log_;
};

}  // namespace VERSIONINFO_MGR

namespace INSTALL_MGR {

// What the setup program knows of the machine, gathered once.
class CInstallMgr {
public:
    CInstallMgr(Environment& environment, DebugLog& log);

    int m_iMachineBitness = 0;
    int m_iBitness = 0;
    int m_iFamily = VERSIONINFO_MGR::kUnknown;
    int m_iVersionCode = VERSIONINFO_MGR::kUnknown;
    int m_iServicePack = 0;
    std::wstring m_SystemFolder32;
    std::wstring m_SystemFolderNative;
    std::wstring m_ProgramFilesFolder;
    VERSIONINFO_MGR::CVersionInfoMgr m_VersionInfo;
};

}  // namespace INSTALL_MGR

}  // namespace tavrin
