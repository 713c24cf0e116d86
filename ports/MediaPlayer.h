#pragma once
// The system's media playback of one sound file at a time, as the window's media player control
// offers it: open, play, close, and the track's length and position to play it in a loop.
#include <cstdint>
#include <string>

namespace tavrin {

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    // False when the file cannot be played (missing, unreadable, no sound device); the player is
    // then closed.
    virtual bool Open(const std::wstring& path) = 0;
    // From the beginning of the open file; nothing when none is open.
    virtual void Play() = 0;
    virtual void Close() = 0;
    // In milliseconds; 0 when no file is open.
    virtual uint32_t Length() = 0;
    virtual uint32_t Position() = 0;
};

}  // namespace tavrin
