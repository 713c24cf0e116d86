#pragma once
// The tray's pop-up menu as a Win32 menu.
#include <windows.h>

#include <vector>

#include "app/shell/MainWindowHost.h"

namespace tavrin {

// A pop-up menu with the visible items in order: command 0 opens a sub-menu (greyed when it
// has nothing to offer), radio items show a bullet, checked items a mark. The caller destroys
// it with DestroyMenu, which takes the sub-menus along.
HMENU BuildTrayMenu(const std::vector<MenuItem>& items);

}  // namespace tavrin
