#pragma once
// The Plugin menu of the tray: one radio item per enabled plug-in folder, and the hand-over to
// the plug-in application when one is clicked.
#include <string>
#include <vector>

#include "app/shell/MainWindowHost.h"
#include "common/AudioConfig.h"
#include "common/ProcessMessages.h"
#include "ports/Clock.h"
#include "ports/DebugLog.h"
#include "ports/FileSystem.h"

namespace tavrin {

// The captions of the plug-in items: subfolders of program folder + PluginFolderName whose key
// in section Application is non-zero, in listing order.
std::vector<std::wstring> PopulatePluginMenu(FileSystem& files, const ConfigFile& config,
                                             const std::wstring& programFolder,
                                             const std::wstring& pluginFolderName);

// program folder + PluginFolderName + "\" + N + "\" + N + ".exe", N the caption without "&".
std::wstring PluginExecutablePath(const std::wstring& programFolder,
                                  const std::wstring& pluginFolderName,
                                  const std::wstring& caption);

struct RegisteredMessages {
    uint32_t exit = 0;
    uint32_t effectExit = 0;
    uint32_t exitResume = 0;
};

// The first half of a click on a plug-in item: running effect applications are told to exit and
// the plug-in items unchecked everywhere.
void TellEffectApplicationsToExit(MainWindowHost& host, Clock& clock, DebugLog& log,
                                  const RegisteredMessages& messages);
// The second half: the plug-in starts with its own path as parameter.
void LaunchPlugin(MainWindowHost& host, DebugLog& log, const std::wstring& executablePath);

}  // namespace tavrin
