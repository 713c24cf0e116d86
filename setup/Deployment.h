#pragma once
// Putting files, folders, shortcuts and registrations in place: the payloads carried inside the
// setup program, the trees beside it, the Run entry and the uninstall registration.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/AudioConfig.h"
#include "ports/FileSystem.h"
#include "ports/Registry.h"
#include "setup/InstallRecord.h"
#include "setup/SetupSession.h"
#include "setup/SetupSystem.h"

namespace tavrin::setup {

// Payload types and identifiers of the setup program's own resources.
inline constexpr wchar_t kDriverPayload[] = L"DRIVER";
inline constexpr wchar_t kServicePayload[] = L"SERVICE";
inline constexpr wchar_t kAppPayload[] = L"APP";
inline constexpr wchar_t kUninstallPayload[] = L"UNINSTALL";
inline constexpr wchar_t kWindowPatchPayload[] = L"WindowPatch";
inline constexpr uint16_t kDriver32Id = 102;
inline constexpr uint16_t kDriver64Id = 103;
inline constexpr uint16_t kService32Id = 105;
inline constexpr uint16_t kService64Id = 106;
inline constexpr uint16_t kApplicationId = 107;
inline constexpr uint16_t kUninstallerId = 108;
inline constexpr uint16_t kWindowPatchId = 110;
inline constexpr uint16_t kEffectApplicationId = 111;
inline constexpr uint16_t kSoundEffectApplicationId = 112;

// Bytes owned by the setup program's module.
struct PayloadBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The resources of the running program (FindResourceW with a numeric identifier and a type
// text; type texts compare without regard to case).
class PayloadSource {
public:
    virtual ~PayloadSource() = default;
    virtual std::optional<PayloadBytes> Find(uint16_t identifier, const std::wstring& type) = 0;
};

// Nothing for a missing payload or one of size 0.
std::optional<PayloadBytes> FindPayload(PayloadSource& payloads, uint16_t identifier,
                                        const std::wstring& type);
// 0 written; 1 the file could not be opened; 2 fewer bytes written than given.
int WritePayload(FileSystem& files, const std::wstring& path, const PayloadBytes& payload);

// A folder's entries as a directory list shows them on NTFS: by name, ignoring case.
std::vector<DirectoryEntry> ListInOrder(FileSystem& files, const std::wstring& folder);
// The first entry of that list that is a file whose name does not begin with "."; empty when
// there is none.
std::wstring FirstFileName(FileSystem& files, const std::wstring& folder);

// Creates every folder along the path, one prefix ending at a backslash at a time; those that
// exist already, or cannot be made, are passed over. The folders it creates are recorded.
void CreateFolderChain(FileSystem& files, const std::wstring& path,
                       InstallRecord* record = nullptr);

// Copies folder X into Y as Y\X, or into Y itself when Y is also named X; 1 done, 0 when a
// path has no backslash. Paths that would not fit 255 characters are logged and left out.
int CopyFolderTree(FileSystem& files, DebugLog& log, const std::wstring& source,
                   const std::wstring& target, InstallRecord* record = nullptr);

enum class ShortcutKind { StartMenu, Manual, Desktop };
// The link file's full path; empty when it would not fit 259 characters.
std::wstring ShortcutPath(Environment& environment, const CAudioConfig& config, ShortcutKind kind,
                          const std::wstring& name);
// Creates the shortcut's folders and the link; failures are passed over.
void CreateShortcut(FileSystem& files, Environment& environment, SetupSystem& system,
                    const CAudioConfig& config, ShortcutKind kind, const std::wstring& name,
                    const std::wstring& target, InstallRecord* record = nullptr);

inline constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// 0 written; 1 the Run key could not be opened.
int AddRunEntry(Registry& registry, const std::wstring& name, const std::wstring& command);
// False when the key can be neither opened nor created.
bool RegisterUninstall(Registry& registry, const _REG_UNINSTALL_INFO& info);

}  // namespace tavrin::setup
