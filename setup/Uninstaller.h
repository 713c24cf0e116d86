#pragma once
// The uninstaller: removes what the setup program put on the machine, and only that. It runs
// from the install folder; its own file and that folder go after it has ended.
#include <string>
#include <vector>

#include "common/AudioConfig.h"
#include "setup/SetupPlatform.h"
#include "setup/SetupTexts.h"

namespace tavrin::setup {

class Uninstaller {
public:
    // `programPath` is the running uninstaller in the install folder; the installed
    // configuration beside it names everything else.
    Uninstaller(SetupPlatform& platform, const std::wstring& programPath);

    const CAudioConfig& Config() const { return config_; }
    // The uninstaller's messages in the language the user chose, built-in English where the
    // language file has none.
    std::wstring Text(SetupText text) const;

    // Removes everything but the running uninstaller and the install folder; the user's
    // profiles only when asked. Returns what could not be removed.
    std::vector<std::wstring> Run(bool removeProfiles);

private:
    void AskProgramsToClose();
    void RemoveService();
    void RemoveDriver(std::vector<std::wstring>& left);
    void RemoveRegistry();
    void RemoveInstalledFiles(std::vector<std::wstring>& left);
    void RemoveTree(const std::wstring& folder, std::vector<std::wstring>& left);

    SetupPlatform& platform_;
    std::wstring programPath_;
    CAudioConfig config_;
    std::wstring perUserFolder_;
    SetupTexts texts_;
};

}  // namespace tavrin::setup
