#pragma once
// A running program cannot delete its own file. The uninstaller hands that to a copy of itself
// in the temporary folder, which waits for it to end, removes its file and the emptied install
// folder, and vanishes when it ends itself.
#include <string>
#include <vector>

namespace tavrin::setup {

// The switch the copy is started with, followed by the process ID and the file to remove.
inline constexpr wchar_t kRemoveAfterSwitch[] = L"/REMOVE-AFTER";

// Starts the copy; when that is impossible, Windows removes the file and the folder at its next
// start. False when neither works.
bool RemoveAfterExit(const std::wstring& programPath);

// The copy's work, for arguments kRemoveAfterSwitch, process ID, file: true when it was one.
bool RunRemovalCopy(const std::vector<std::wstring>& arguments);

}  // namespace tavrin::setup
