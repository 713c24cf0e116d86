#include "app/features/Lighting.h"

namespace tavrin {

Lighting::Lighting(FeatureContext& context) : context_(context) {}

void Lighting::Press(const ControlRow& row, Component&) {
    if (row.tag == control_tag::kLedButton) SendLedSwitch(true);
}

void Lighting::Release(const ControlRow& row, Component&) {
    if (row.tag == control_tag::kLedButton) SendLedSwitch(false);
}

void Lighting::SendLedSwitch(bool on) {
    const DeviceDiscovery& discovery = context_.discovery;
    context_.io.SendLedSwitch(discovery.ActiveVendorId(), discovery.ActiveProductId(), on);
}

}  // namespace tavrin
