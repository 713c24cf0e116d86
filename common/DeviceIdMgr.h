#pragma once
// A device-ID group: the hardware-ID patterns of the devices the product serves, loaded from a
// section of the configuration file, published in the registry and matched against the
// hardware IDs of present devices.
#include <set>
#include <string>
#include <vector>

#include "common/Inifilemanager.h"
#include "ports/FileSystem.h"
#include "ports/Registry.h"

namespace tavrin::DEVICEID_MGR {

class CDeviceIdMgr {
public:
    // Results of LoadGroupFromFile.
    static constexpr int kLoaded = 0;
    static constexpr int kFileNotLoaded = 1;
    static constexpr int kNoSection = 2;
    static constexpr int kNoKeys = 3;
    static constexpr int kEmptyEntry = 4;

    CDeviceIdMgr(FileSystem& files, Registry& registry);

    int LoadGroupFromFile(const std::wstring& filePath, const std::wstring& sectionName);
    int StoreGroupInRegistry(const std::wstring& groupName);
    bool MatchDeviceId(const std::wstring& hardwareId) const;
    void ClearGroup();

private:
    int ParseDeviceIdEntries();

    Registry& m_registry;
    CIniMgr m_iniMgr;
    // The entry texts in the order read.
    std::vector<std::wstring> m_vecDeviceIdEntries;
    // The trimmed entries in ascending ordinal order; case-sensitive, so entries that differ
    // only in case are two members.
    std::set<std::wstring> m_setDeviceIds;
};

}  // namespace tavrin::DEVICEID_MGR
