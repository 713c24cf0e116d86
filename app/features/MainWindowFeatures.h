#pragma once
// The main window's features as the window sees them: the units behind its controls, and the
// sequences whose order is fixed (construction, restore on arrival, removal, close), run at the
// window's fixed points. The window knows no feature by name.
#include <cstdint>
#include <span>

#include "app/device/DeviceDiscovery.h"
#include "app/features/FeatureUnit.h"
#include "app/form/ControlTable.h"

namespace tavrin {

struct FeatureContext;

class MainWindowFeatures : public DeviceRestore {
public:
    // The window hands over what the units work with, before its construction steps.
    virtual void Attach(FeatureContext& context) = 0;
    // ...and takes it back when it goes: nothing may run on it afterwards (workers end).
    virtual void Detach() = 0;

    // Construction, in the window's order.
    // The pages' initial state and their timers.
    virtual void SetInitialState() = 0;
    // After the device step: the EQ layout and the default profile, the effect pages, the
    // device's pages, the speakers, the LED record.
    virtual void ConstructPages() = 0;
    // After the device notifications are registered: the endpoint let go, the Bee test off.
    virtual void AfterNotificationsRegistered() = 0;
    // With the first page shown: the last profile, the hardware switches, what the device
    // holds, the LED colours and the GPIO worker.
    virtual void RestoreAtStart() = 0;
    // Destruction: the last profile saved and every feature off on the device.
    virtual void Close() = 0;

    // The unit behind a control of the table; null for the window's own controls and for units
    // not built.
    virtual FeatureUnit* Unit(FeatureUnitId id) = 0;
    // Every unit, in a fixed order.
    virtual std::span<FeatureUnit* const> Units() = 0;

    // Hardware switches own some buttons while no GPIO press is in progress.
    virtual bool PressLocked(int32_t tag) = 0;
    // GPIO level mode, and the state of the hardware switch of virtual 7.1 in it.
    virtual bool GpioLevelMode() = 0;
    virtual int32_t VirtualSwitchState() = 0;
    // A dialog of a feature is showing: the main window leaves the pointer alone.
    virtual bool ModalDialogShowing() = 0;
    // A page the features do not use (the LED page, by the LED page mode) is never shown: its
    // tab switches to no page and its controls stay hidden.
    virtual bool PageInUse(int32_t page) = 0;
};

}  // namespace tavrin
