#pragma once
// Skins and language texts come in a folder per screen size, or once at the top level for every
// screen size: the screen-size folder when it has the skin or language, else the top level. So a
// vendor's folders laid out per screen size keep working, and a design that fits every screen
// is installed once.
#include <cstdint>
#include <string>
#include <vector>

#include "common/ScreenSize.h"
#include "ports/FileSystem.h"

namespace tavrin {

// The folder of `name`, with the trailing backslash: topLevel + screenSize + name when that
// folder exists, else topLevel + name. Both folders carry their trailing backslash.
std::wstring ScreenSizeFolderOf(FileSystem& files, const std::wstring& topLevel,
                                const std::wstring& screenSize, const std::wstring& name);

// The names that can be chosen: the subfolders of the screen-size folder and of the top level,
// each name once (compared without regard to case), the screen-size folders themselves left out;
// in no particular order.
std::vector<std::wstring> ChoosableFolders(FileSystem& files, const std::wstring& topLevel,
                                           const std::wstring& screenSize);

}  // namespace tavrin
