#include "common/DeviceIdMgr.h"

#include "ports/TextCase.h"

namespace tavrin::DEVICEID_MGR {
namespace {

constexpr wchar_t kWildcard = L'X';

std::wstring TrimSpaces(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    const size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

CDeviceIdMgr::CDeviceIdMgr(FileSystem& files, Registry& registry)
    : m_registry(registry), m_iniMgr(files) {}

// A file that cannot be loaded keeps the previous group; past that point the group is replaced,
// and a failure leaves whatever was read before it.
int CDeviceIdMgr::LoadGroupFromFile(const std::wstring& filePath, const std::wstring& sectionName) {
    if (m_iniMgr.LoadIniFile(filePath) != CIniMgr::kLoaded) return kFileNotLoaded;

    ClearGroup();

    if (!m_iniMgr.HasSection(sectionName)) return kNoSection;

    std::vector<std::wstring> keys;
    m_iniMgr.GetSectionKeys(sectionName, keys);
    if (keys.empty()) return kNoKeys;

    // A key listed twice gives the value of its first line twice; the set collapses them.
    for (const std::wstring& key : keys) {
        m_vecDeviceIdEntries.push_back(m_iniMgr.GetKeyValue(sectionName, key));
    }

    return ParseDeviceIdEntries();
}

// The registry group is only ever written: values "1", "2", ... follow the set's order, and
// values left by an earlier, longer group stay. Write errors are not reported.
int CDeviceIdMgr::StoreGroupInRegistry(const std::wstring& groupName) {
    const std::wstring keyPath = L"SOFTWARE\\" + groupName;
    m_registry.CreateKey(RegistryHive::LocalMachine, keyPath, RegistryView::Default);

    int valueNumber = 0;
    for (const std::wstring& deviceId : m_setDeviceIds) {
        ++valueNumber;
        m_registry.SetValue(RegistryHive::LocalMachine, keyPath, std::to_wstring(valueNumber),
                            MakeStringValue(deviceId), RegistryView::Default);
    }
    return 0;
}

// An "X" (either case) in a member stands for any one character of the hardware ID; otherwise
// the two compare whole and without regard to case.
bool CDeviceIdMgr::MatchDeviceId(const std::wstring& hardwareId) const {
    const std::wstring upperHardwareId = UpperCase(hardwareId);
    for (const std::wstring& deviceId : m_setDeviceIds) {
        if (deviceId.size() != upperHardwareId.size()) continue;
        const std::wstring upperDeviceId = UpperCase(deviceId);
        std::wstring maskedHardwareId = upperHardwareId;
        for (size_t at = 0; at < upperDeviceId.size(); ++at) {
            if (upperDeviceId[at] == kWildcard) maskedHardwareId[at] = kWildcard;
        }
        if (maskedHardwareId == upperDeviceId) return true;
    }
    return false;
}

void CDeviceIdMgr::ClearGroup() {
    m_vecDeviceIdEntries.clear();
    m_setDeviceIds.clear();
}

// Stops at the first entry that is blank; the members inserted before it stay.
int CDeviceIdMgr::ParseDeviceIdEntries() {
    for (const std::wstring& entry : m_vecDeviceIdEntries) {
        std::wstring deviceId = TrimSpaces(entry);
        if (deviceId.empty()) return kEmptyEntry;
        m_setDeviceIds.insert(std::move(deviceId));
    }
    return kLoaded;
}

}  // namespace tavrin::DEVICEID_MGR
