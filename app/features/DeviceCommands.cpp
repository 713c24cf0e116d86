#include "app/features/DeviceCommands.h"

#include <algorithm>

namespace tavrin {

void ConfigurationImage::Reset() {
    bytes.fill(0xFF);
    std::copy(kDescriptorTemplate.begin(), kDescriptorTemplate.end(), bytes.begin());
}

void VerifiedSwitch(VendorSdk& sdk, SwitchedFeature feature, int32_t wanted, bool eqFlat) {
    const bool eq = feature == SwitchedFeature::Equalizer;
    auto onOff = [&](int32_t state) {
        return eq ? sdk.Invoke<&VendorSdkTable::DLLZR_SetEQ_OnOff_ById>(state, kActiveDeviceIndex)
                  : sdk.Invoke<&VendorSdkTable::DLLZR_Set3D_OnOff_ById>(state, kActiveDeviceIndex);
    };
    if (eq) {
        sdk.Invoke<&VendorSdkTable::DLLZR_ConfigEQ_ById>(kActiveDeviceIndex);
    } else {
        sdk.Invoke<&VendorSdkTable::DLLZR_Config3D_ById>(kActiveDeviceIndex);
    }
    if (eq && eqFlat) {
        onOff(0);
        return;
    }
    onOff(wanted);
    int32_t actual = 0;
    if (eq) {
        sdk.Invoke<&VendorSdkTable::DLLZR_IsEQ_Enable_ById>(&actual, kActiveDeviceIndex);
    } else {
        sdk.Invoke<&VendorSdkTable::DLLZR_Is3D_Enable_ById>(&actual, kActiveDeviceIndex);
    }
    if (actual != wanted) onOff(wanted);
}

}  // namespace tavrin
