#pragma once
// What the window host reports to the main window: its life, its timers, registered and device
// messages, the tray and the pointer. The Win32 host knows the window only through this.
#include <cstdint>
#include <string>

#include "ports/UiHost.h"

namespace tavrin {

class FormModel;

class WindowEvents {
public:
    virtual ~WindowEvents() = default;

    // The form the host paints.
    virtual const FormModel& Form() const = 0;

    virtual void FormActivate() = 0;
    virtual void FormDestroy() = 0;
    virtual void OnTimer(TimerId timer) = 0;
    // True when the message was one of the registered ones.
    virtual bool OnRegisteredMessage(uint32_t message) = 0;
    virtual void OnDeviceChange(uint32_t event, uint32_t deviceType, const std::wstring& classGuid,
                                const std::wstring& interfaceName) = 0;
    virtual void OnMenuCommand(uint32_t command) = 0;
    virtual void OnTrayDoubleClick() = 0;
    // The left button and the pointer, in client coordinates, before any control sees them.
    virtual void OnMouseDown(int32_t x, int32_t y) = 0;
    virtual void OnMouseMove(int32_t x, int32_t y) = 0;
    virtual void OnMouseUp(int32_t x, int32_t y) = 0;
};

}  // namespace tavrin
