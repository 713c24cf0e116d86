#pragma once
#include "ports/MediaPlayer.h"

namespace tavrin {

// The media control interface's player of one file at a time, under an alias of its own.
class Win32MediaPlayer final : public MediaPlayer {
public:
    ~Win32MediaPlayer() override { Close(); }

    bool Open(const std::wstring& path) override;
    void Play() override;
    void Close() override;
    uint32_t Length() override;
    uint32_t Position() override;

private:
    uint32_t Status(const wchar_t* item);

    bool open_ = false;
};

}  // namespace tavrin
