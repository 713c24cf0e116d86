#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell/win32/TrayMenu.h"

namespace tavrin {
namespace {

MenuItem Item(uint32_t command, const std::wstring& caption, bool checked = false,
              bool radio = false) {
    MenuItem item;
    item.command = command;
    item.caption = caption;
    item.checked = checked;
    item.radio = radio;
    return item;
}

MenuItem SubMenu(const std::wstring& caption, std::vector<MenuItem> items, bool visible = true) {
    MenuItem item = Item(0, caption);
    item.items = std::move(items);
    item.visible = visible;
    return item;
}

// What the user sees of one menu entry.
struct Entry {
    std::wstring caption;
    UINT command = 0;
    bool radio = false;
    bool checked = false;
    bool grayed = false;
    HMENU subMenu = nullptr;
};

Entry EntryAt(HMENU menu, int position) {
    wchar_t caption[64] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    info.dwTypeData = caption;
    info.cch = 64;
    EXPECT_TRUE(GetMenuItemInfoW(menu, position, TRUE, &info)) << position;
    return {caption,
            info.wID,
            (info.fType & MFT_RADIOCHECK) != 0,
            (info.fState & MFS_CHECKED) != 0,
            (info.fState & MFS_GRAYED) != 0,
            info.hSubMenu};
}

class TrayMenuTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (menu_ != nullptr) DestroyMenu(menu_);
    }
    HMENU Build(const std::vector<MenuItem>& items) { return menu_ = BuildTrayMenu(items); }

private:
    HMENU menu_ = nullptr;
};

// The shape of the tray menu: sub-menus for the choices, hidden entries left out.
TEST_F(TrayMenuTest, VisibleItemsInOrderWithTheirSubMenus) {
    HMENU menu =
        Build({SubMenu(L"Language", {Item(kLanguageCommandBase, L"English", true, true),
                                     Item(kLanguageCommandBase + 1, L"Deutsch", false, true)}),
               SubMenu(L"Skin", {}),
               SubMenu(L"Plugin", {Item(kPluginCommandBase, L"Effect", false, true)}, false),
               Item(kCloseCommand, L"Close")});

    ASSERT_EQ(GetMenuItemCount(menu), 3);
    const Entry language = EntryAt(menu, 0);
    EXPECT_EQ(language.caption, L"Language");
    ASSERT_NE(language.subMenu, nullptr);
    EXPECT_FALSE(language.grayed);
    const Entry skin = EntryAt(menu, 1);
    EXPECT_EQ(skin.caption, L"Skin");
    ASSERT_NE(skin.subMenu, nullptr);
    EXPECT_TRUE(skin.grayed) << "an empty choice cannot be opened";
    const Entry close = EntryAt(menu, 2);
    EXPECT_EQ(close.caption, L"Close");
    EXPECT_EQ(close.command, static_cast<UINT>(kCloseCommand));
    EXPECT_EQ(close.subMenu, nullptr);
    EXPECT_FALSE(close.grayed);

    ASSERT_EQ(GetMenuItemCount(language.subMenu), 2);
    const Entry english = EntryAt(language.subMenu, 0);
    const Entry deutsch = EntryAt(language.subMenu, 1);
    EXPECT_EQ(english.caption, L"English");
    EXPECT_EQ(english.command, static_cast<UINT>(kLanguageCommandBase));
    EXPECT_TRUE(english.radio);
    EXPECT_TRUE(english.checked);
    EXPECT_EQ(deutsch.command, static_cast<UINT>(kLanguageCommandBase + 1));
    EXPECT_TRUE(deutsch.radio);
    EXPECT_FALSE(deutsch.checked);
}

// A checked plug-in keeps its mark, and hidden entries inside a sub-menu are left out too.
TEST_F(TrayMenuTest, CheckedPluginAndHiddenSubItems) {
    MenuItem hidden = Item(kPluginCommandBase + 1, L"Old", false, true);
    hidden.visible = false;
    HMENU menu =
        Build({SubMenu(L"Plugin", {Item(kPluginCommandBase, L"E&ffect", true, true), hidden})});

    ASSERT_EQ(GetMenuItemCount(menu), 1);
    const Entry plugin = EntryAt(menu, 0);
    ASSERT_NE(plugin.subMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(plugin.subMenu), 1);
    const Entry effect = EntryAt(plugin.subMenu, 0);
    EXPECT_EQ(effect.caption, L"E&ffect");
    EXPECT_EQ(effect.command, static_cast<UINT>(kPluginCommandBase));
    EXPECT_TRUE(effect.radio);
    EXPECT_TRUE(effect.checked);
}

}  // namespace
}  // namespace tavrin
