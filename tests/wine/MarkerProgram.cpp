// Started by the service under test: leaves "<own path>.marker" holding its arguments, so the
// test sees that it ran and with which command line. With "-wait N" first it takes N ms.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return 1;
    if (__argc > 2 && std::wstring(__wargv[1]) == L"-wait") Sleep(_wtoi(__wargv[2]));
    std::wstring arguments;
    for (int i = 1; i < __argc; ++i) {
        if (i > 1) arguments += L' ';
        arguments += __wargv[i];
    }
    // Written aside and renamed, so that the waiting test never reads half a file.
    const std::wstring marker = std::wstring(path) + L".marker";
    const std::wstring partial = marker + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(arguments.size() * sizeof(wchar_t));
    const bool ok = WriteFile(file, arguments.data(), size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (!ok) return 3;
    return MoveFileExW(partial.c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
