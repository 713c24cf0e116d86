#include "app/shell/win32/TrayMenu.h"

#include <string>

namespace tavrin {

HMENU BuildTrayMenu(const std::vector<MenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    UINT position = 0;
    for (const MenuItem& item : items) {
        if (!item.visible) continue;
        std::wstring caption = item.caption;
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        info.fType = item.radio ? MFT_RADIOCHECK : MFT_STRING;
        info.fState = item.checked ? MFS_CHECKED : MFS_UNCHECKED;
        info.wID = item.command;
        info.dwTypeData = caption.data();
        if (item.command == 0) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = BuildTrayMenu(item.items);
            if (GetMenuItemCount(info.hSubMenu) == 0) info.fState |= MFS_GRAYED;
        }
        InsertMenuItemW(menu, position++, TRUE, &info);
    }
    return menu;
}

}  // namespace tavrin
