#pragma once
// A portable Dialog shown as a modal Win32 dialog of standard controls: buttons, radio buttons,
// group boxes, static texts, track bars, and owner-drawn statics for the colour swatches.
#include <windows.h>

#include "ports/Dialog.h"

namespace tavrin {

// Returns once the dialog closed; `owner` stays disabled meanwhile.
void RunModalDialog(HINSTANCE instance, HWND owner, Dialog& dialog);

}  // namespace tavrin
