#include "app/shell/PluginMenu.h"

#include "common/Text.h"

namespace tavrin {
namespace {

constexpr uint32_t kShortBroadcast = 100;
constexpr uint32_t kLongBroadcast = 1000;
constexpr uint32_t kAfterBroadcastWait = 300;

}  // namespace

std::vector<std::wstring> PopulatePluginMenu(FileSystem& files, const ConfigFile& config,
                                             const std::wstring& programFolder,
                                             const std::wstring& pluginFolderName) {
    std::vector<std::wstring> captions;
    std::vector<DirectoryEntry> entries;
    if (!files.ListDirectory(programFolder + pluginFolderName + L"\\", entries)) return captions;
    for (const DirectoryEntry& entry : entries) {
        if (!entry.isDirectory) continue;
        if (config.PluginEnabled(entry.name) != 0) captions.push_back(entry.name);
    }
    return captions;
}

std::wstring PluginExecutablePath(const std::wstring& programFolder,
                                  const std::wstring& pluginFolderName,
                                  const std::wstring& caption) {
    const std::wstring name = WithoutAmpersands(caption);
    return programFolder + pluginFolderName + L"\\" + name + L"\\" + name + L".exe";
}

void TellEffectApplicationsToExit(MainWindowHost& host, Clock& clock, DebugLog& log,
                                  const RegisteredMessages& messages) {
    host.Broadcast(messages.effectExit, kShortBroadcast);
    log.Write(L"WM_APP_EXIT_RESUME");
    host.Broadcast(messages.exitResume, kLongBroadcast);
    clock.Sleep(kAfterBroadcastWait);
    for (int round = 0; round < 2; ++round) {
        log.Write(L"WM_APP_EXIT_EFFECT");
        host.Broadcast(messages.effectExit, kLongBroadcast);
        clock.Sleep(kAfterBroadcastWait);
    }
}

void LaunchPlugin(MainWindowHost& host, DebugLog& log, const std::wstring& executablePath) {
    log.Write(executablePath);
    host.LaunchProgram(executablePath, executablePath);
}

}  // namespace tavrin
