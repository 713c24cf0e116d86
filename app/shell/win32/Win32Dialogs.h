#pragma once
// The standard dialogs and the program's small forms on Win32: the open and save dialogs, a form
// model shown as a modal dialog, and the shell opening an address.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/form/FormModel.h"
#include "ports/FileSystem.h"
#include "ports/UiHost.h"

namespace tavrin {

// GetOpenFileNameW / GetSaveFileNameW; the save dialog asks before it replaces a file.
std::optional<std::wstring> RunFileDialog(HWND owner, const FileDialogOptions& options);

// ShellExecuteW with "open" and SW_SHOW; the text passes through the ANSI code page first (at
// most 255 characters), as the address has always been handed over.
void OpenWithShellExecute(const std::wstring& target);

// A fixed dialog with a caption whose client area is the form, centred on `owner`, which is
// disabled until the dialog closes (Escape, the close box). Pictures are read through `files`.
void RunModalForm(HINSTANCE instance, HWND owner, FileSystem& files, const FormModel& form,
                  const std::wstring& caption,
                  const std::function<void(const Component&)>& clicked);

}  // namespace tavrin
