#include "ports/win32/Win32DebugLog.h"

#include <windows.h>

namespace tavrin {

void Win32DebugLog::Write(const std::wstring& line) {
    OutputDebugStringW(line.c_str());
}

}  // namespace tavrin
