// Shows one of the LED dialogs on its own, with the Win32 controls the program builds, so that
// it can be looked at and photographed: "led" (the LED settings dialog) or "palette". Without a
// vendor SDK bound, its requests go nowhere.
#include <windows.h>

#include <string>

#include "app/features/ULEDColorForm.h"
#include "app/features/ULEDForm.h"
#include "app/shell/win32/Win32UiHost.h"
#include "ports/portable/SystemClock.h"
#include "ports/win32/Win32DebugLog.h"
#include "ports/win32/Win32DynamicLibrary.h"
#include "ports/win32/Win32FileSystem.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    using namespace tavrin;
    Win32FileSystem files;
    Win32DebugLog debugLog;
    SystemClock clock;
    Win32DynamicLibrary library;
    VendorSdk sdk(library, debugLog);
    Win32UiHost host(instance, L"Preview", files);
    if (std::wstring(commandLine) == L"palette") {
        TLEDColorForm palette;
        palette.ShowModal(host);
    } else {
        TLEDForm form(sdk, clock, debugLog, host);
        form.ShowModal();
    }
    return 0;
}
