#include "app/device/win32/Win32ErrorBox.h"

#include <windows.h>

namespace tavrin {

void Win32ErrorBox::Show(const std::wstring& text, const std::wstring& caption) {
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace tavrin
