#include "app/device/audio/win32/Win32MediaPlayer.h"

#include <windows.h>

#include <mmsystem.h>

#include <cwchar>
#include <string>

namespace tavrin {
namespace {

constexpr wchar_t kAlias[] = L"TavrinMedia";
constexpr size_t kStatusCapacity = 64;

MCIERROR Send(const std::wstring& command) {
    return mciSendStringW(command.c_str(), nullptr, 0, nullptr);
}

}  // namespace

bool Win32MediaPlayer::Open(const std::wstring& path) {
    Close();
    // Times in milliseconds, so that length and position compare as the player reports them.
    open_ = Send(L"open \"" + path + L"\" type waveaudio alias " + kAlias) == 0;
    if (open_) Send(std::wstring(L"set ") + kAlias + L" time format milliseconds");
    return open_;
}

void Win32MediaPlayer::Play() {
    if (open_) Send(std::wstring(L"play ") + kAlias + L" from 0");
}

void Win32MediaPlayer::Close() {
    if (!open_) return;
    Send(std::wstring(L"close ") + kAlias);
    open_ = false;
}

uint32_t Win32MediaPlayer::Length() {
    return Status(L"length");
}

uint32_t Win32MediaPlayer::Position() {
    return Status(L"position");
}

uint32_t Win32MediaPlayer::Status(const wchar_t* item) {
    if (!open_) return 0;
    wchar_t answer[kStatusCapacity] = {};
    const std::wstring command = std::wstring(L"status ") + kAlias + L" " + item;
    if (mciSendStringW(command.c_str(), answer, kStatusCapacity, nullptr) != 0) return 0;
    return static_cast<uint32_t>(std::wcstoul(answer, nullptr, 10));
}

}  // namespace tavrin
