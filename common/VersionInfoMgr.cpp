#include "common/VersionInfoMgr.h"

#include <cwchar>

namespace tavrin {

namespace VERSIONINFO_MGR {

WindowsVersion MapWindowsVersion(uint32_t major, uint32_t minor) {
    WindowsVersion version;
    switch (major) {
        case 4: version.family = kFamilyNT4; break;
        case 5: version.family = kFamilyXP; break;
        case 6:
            if (minor == 0) version.family = kFamilyVista;
            if (minor == 1) version.family = kFamilyWin7;
            if (minor == 2 || minor == 3) version.family = kFamilyWin8;
            break;
        case 10: version.family = kFamilyWin10; break;
        default: break;
    }
    const bool known = (major == 4 && minor == 0) || (major == 5 && minor <= 2) ||
                       (major == 6 && minor <= 3) || (major == 10 && minor == 0);
    if (known) version.versionCode = static_cast<int>(major * 256 + minor);
    return version;
}

namespace {

int QueryAndMap(Environment& environment, OsVersion& raw, int* family, int* versionCode,
                int* servicePack) {
    const OsVersionResult result = environment.GetOsVersion(raw);
    if (result == OsVersionResult::NotExported) return 1;
    if (result == OsVersionResult::CallFailed) return 2;
    const WindowsVersion version = MapWindowsVersion(raw.major, raw.minor);
    if (family != nullptr) *family = version.family;
    if (versionCode != nullptr) *versionCode = version.versionCode;
    if (servicePack != nullptr) *servicePack = raw.servicePackMajor;
    return 0;
}

const wchar_t* OsNameByCode(int versionCode) {
    switch (versionCode) {
        case 0x400: return L"NT4";
        case 0x500: return L"WIN2000";
        case 0x501: return L"WINXP";
        case 0x502: return L"Windows Server 2003";
        case 0x600: return L"VISTA";
        case 0x601: return L"WIN7";
        case 0x602: return L"WIN8";
        case 0x603: return L"WIN8.1";
        case 0xA00: return L"WIN10";
        default: return L"Unknown";
    }
}

const wchar_t* OsNameByFamily(int family) {
    switch (family) {
        case kFamilyNT4: return L"NT4";
        case kFamilyXP: return L"WINXP";
        case kFamilyVista: return L"VISTA";
        case kFamilyWin7: return L"WIN7";
        case kFamilyWin8: return L"WIN8";
        case kFamilyWin10: return L"WIN10";
        default: return L"Unknown";
    }
}

}  // namespace

int QueryWindowsVersion(Environment& environment, int* family, int* versionCode, int* servicePack) {
    OsVersion raw;
    return QueryAndMap(environment, raw, family, versionCode, servicePack);
}

CVersionInfoMgr::CVersionInfoMgr(Environment& environment, DebugLog& log)
    : environment_(environment), log_(log) {}

int CVersionInfoMgr::GetWindowsVersion(int* family, int* versionCode, int* servicePack) {
    OsVersion raw;
    int found = 0, code = 0, pack = 0;
    const int result = QueryAndMap(environment_, raw, &found, &code, &pack);
    if (result != 0) return result;
    wchar_t line[128];
    std::swprintf(line, 128, L"GetWindowsVersion: Major = 0x%.8X, Minor = 0x%.8X\n",
                  static_cast<unsigned>(raw.major), static_cast<unsigned>(raw.minor));
    log_.Write(line);
    if (family != nullptr) *family = found;
    if (versionCode != nullptr) *versionCode = code;
    if (servicePack != nullptr) *servicePack = pack;
    return 0;
}

void CVersionInfoMgr::LogWindowsVersion(int family, std::optional<int> versionCode,
                                        std::optional<int> servicePack) {
    const wchar_t* name = versionCode ? OsNameByCode(*versionCode) : OsNameByFamily(family);
    log_.Write(std::wstring(L"##### The OS is ") + name + L" #####\n");
    if (servicePack) {
        log_.Write(L"##### The service pack version = " + std::to_wstring(*servicePack) +
                   L" #####\n");
    }
}

int CVersionInfoMgr::GetMachineBitness(int& bitness) {
    switch (environment_.GetNativeProcessorArchitecture()) {
        case static_cast<uint16_t>(ProcessorArchitecture::X86): bitness = 0; return 0;
        case static_cast<uint16_t>(ProcessorArchitecture::X64): bitness = 1; return 0;
        default: return 1;
    }
}

int CVersionInfoMgr::DisableRedirection(void*& cookie) {
    environment_.DisableRedirection(cookie);
    return 0;
}

int CVersionInfoMgr::RevertRedirection(void* cookie) {
    environment_.RevertRedirection(cookie);
    return 0;
}

}  // namespace VERSIONINFO_MGR

namespace INSTALL_MGR {

CInstallMgr::CInstallMgr(Environment& environment, DebugLog& log)
    : m_VersionInfo(environment, log) {
    // 1. Program Files.
    m_ProgramFilesFolder = environment.GetKnownFolder(KnownFolder::ProgramFiles) + L"\\";
    // 2. Bitness.
    m_VersionInfo.GetMachineBitness(m_iMachineBitness);
    m_iBitness = m_iMachineBitness;
    const bool machine64 = m_iMachineBitness == 1;
    // 3. The folder 32-bit programs see as their system folder.
    m_SystemFolder32 =
        environment.GetKnownFolder(machine64 ? KnownFolder::SystemX86 : KnownFolder::System) +
        L"\\";
    // 4. The native system folder, seen without redirection.
    void* cookie = nullptr;
    if (machine64) m_VersionInfo.DisableRedirection(cookie);
    m_SystemFolderNative = environment.SystemDirectory() + L"\\";
    if (machine64) m_VersionInfo.RevertRedirection(cookie);
    // 5. Version.
    if (m_VersionInfo.GetWindowsVersion(&m_iFamily, &m_iVersionCode, &m_iServicePack) != 0) {
        log.Write(L"CInstallMgr::CInstallMgr ***** GetWindowsVersion FAIL! *****\n");
    }
    m_VersionInfo.LogWindowsVersion(m_iFamily, m_iVersionCode, m_iServicePack);
}

}  // namespace INSTALL_MGR

}  // namespace tavrin
