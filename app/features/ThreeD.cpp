#include "app/features/ThreeD.h"

#include <string>
#include <string_view>
#include <utility>

namespace tavrin {
namespace {

constexpr size_t kSwitchByte = 0xA1;
constexpr size_t kLeftByte = 0xE7;
constexpr size_t kRightByte = 0xE8;
constexpr uint8_t kImageOnBit = 0x80;
constexpr uint8_t kImageFbmBit = 0x40;

constexpr uint16_t kParameterSwitchRegister = 0x18A;
constexpr uint16_t kLeftRegister = 0x18B;
constexpr uint16_t kRightRegister = 0x18C;
constexpr uint16_t kSwitchRegister = 0x100;
constexpr uint16_t kAdjustedRegisters[] = {0x1CD, 0x1CE};
constexpr uint8_t kFbmBit = 0x01;
constexpr uint8_t kParameterOnBit = 0x40;
constexpr uint8_t kSwitchOnBit = 0x80;
constexpr uint8_t kFirstWideValue = 16;

using namespace control_tag;

ThreeDRecord RecordFromBytes(uint8_t switches, uint8_t left, uint8_t right) {
    ThreeDRecord record;
    record.on = (switches & kImageOnBit) != 0 ? 1 : 0;
    record.fbm = (switches & kImageFbmBit) != 0 ? 1 : 0;
    record.leftAlpha = static_cast<uint8_t>(left >> 4);
    record.leftBeta = static_cast<uint8_t>(left & 0x0F);
    record.rightAlpha = static_cast<uint8_t>(right >> 4);
    record.rightBeta = static_cast<uint8_t>(right & 0x0F);
    return record;
}

ThreeDRecord TemplateRecord() {
    return RecordFromBytes(kDescriptorTemplate[kSwitchByte], kDescriptorTemplate[kLeftByte],
                           kDescriptorTemplate[kRightByte]);
}

// The image holds 4-bit fields; a wrapped slider value must not spill into its neighbour.
uint8_t PackPair(uint8_t alpha, uint8_t beta) {
    return static_cast<uint8_t>(((alpha & 0x0F) << 4) | (beta & 0x0F));
}

bool SetBit(HidOperation& hid, uint16_t address, uint8_t bit, bool set) {
    uint8_t value = 0;
    if (!hid.Read(address, value)) return false;
    return hid.Write(address, static_cast<uint8_t>(set ? (value | bit) : (value & ~bit)));
}

// The chip takes 4-bit values only; anything wider is refused before it is sent.
bool WritePair(HidOperation& hid, uint16_t address, uint8_t alpha, uint8_t beta) {
    if (alpha >= kFirstWideValue || beta >= kFirstWideValue) return false;
    return hid.Write(address, static_cast<uint8_t>(alpha * 16 + beta));
}

uint8_t WidenTenNibbles(uint8_t value) {
    if ((value & 0x0F) == 0x0A) value = static_cast<uint8_t>((value & 0xF0) | 0x0F);
    if ((value & 0xF0) == 0xA0) value = static_cast<uint8_t>((value & 0x0F) | 0xF0);
    return value;
}

Component* PartnerOf(FormModel& form, const Component& slider) {
    const std::wstring_view name = slider.name;
    if (name == L"D3LAlphaSliderImage") return form.Find(L"D3RAlphaSliderImage");
    if (name == L"D3RAlphaSliderImage") return form.Find(L"D3LAlphaSliderImage");
    if (name == L"D3LBetaSliderImage") return form.Find(L"D3RBetaSliderImage");
    if (name == L"D3RBetaSliderImage") return form.Find(L"D3LBetaSliderImage");
    return nullptr;
}

bool IsAlphaSlider(const Component& slider) {
    return slider.name == L"D3LAlphaSliderImage" || slider.name == L"D3RAlphaSliderImage";
}

}  // namespace

ThreeDRecord ThreeDRecordFromImage(const ConfigurationImage& image) {
    return RecordFromBytes(image.bytes[kSwitchByte], image.bytes[kLeftByte],
                           image.bytes[kRightByte]);
}

void StoreThreeDRecord(const ThreeDRecord& record, ConfigurationImage& image) {
    uint8_t switches = image.bytes[kSwitchByte];
    switches =
        static_cast<uint8_t>(record.on != 0 ? (switches | kImageOnBit) : (switches & ~kImageOnBit));
    switches = static_cast<uint8_t>(record.fbm != 0 ? (switches | kImageFbmBit)
                                                    : (switches & ~kImageFbmBit));
    image.bytes[kSwitchByte] = switches;
    image.bytes[kLeftByte] = PackPair(record.leftAlpha, record.leftBeta);
    image.bytes[kRightByte] = PackPair(record.rightAlpha, record.rightBeta);
}

int32_t ThreeDValueFromTop(int32_t top, int32_t eqRange) {
    // A skin without travel would divide by zero; such a slider only knows top and bottom.
    if (eqRange <= 0) return top <= kD3SliderTop ? 15 : 0;
    return 15 - (top - kD3SliderTop) * 15 / eqRange;
}

ThreeD::ThreeD(FeatureContext& context, std::function<void()> switchVirtual7ch1Off)
    : context_(context), switchVirtual7ch1Off_(std::move(switchVirtual7ch1Off)) {}

bool ThreeD::WriteRecordRegisters(HidOperation& hid) {
    return SetBit(hid, kParameterSwitchRegister, kFbmBit, record_.fbm != 0) &&
           WritePair(hid, kLeftRegister, record_.leftAlpha, record_.leftBeta) &&
           WritePair(hid, kRightRegister, record_.rightAlpha, record_.rightBeta);
}

void ThreeD::Construct() {
    record_ = TemplateRecord();
    StoreThreeDRecord(record_, context_.image);
    context_.settings.m_bFBM = 1;
    context_.settings.m_iAlphaLink = -1;
    context_.settings.m_iBetaLink = -1;
}

void ThreeD::Set3DEnable(int32_t state) {
    VerifiedSwitch(context_.sdk, SwitchedFeature::ThreeD, state, false);
}

void ThreeD::Write3DEnableRegister(int32_t state) {
    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen() || !SetBit(hid, kSwitchRegister, kSwitchOnBit, state == 1)) return;
    if (state == 1) {
        for (const uint16_t address : kAdjustedRegisters) {
            uint8_t value = 0;
            if (!hid.Read(address, value)) return;
            if (!hid.Write(address, WidenTenNibbles(value))) return;
        }
    }
    hid.Commit();
}

void ThreeD::Write3DRegisters(int32_t state) {
    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen() || !SetBit(hid, kParameterSwitchRegister, kParameterOnBit, state == 1)) {
        return;
    }
    if (state == 1 && !WriteRecordRegisters(hid)) return;
    hid.Commit();
}

void ThreeD::SetFBM(int32_t state) {
    record_.fbm = state;
    StoreThreeDRecord(record_, context_.image);
    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen() || !SetBit(hid, kParameterSwitchRegister, kFbmBit, state != 0)) return;
    hid.Commit();
}

void ThreeD::Send3DLeft(int32_t write) {
    FormModel& form = context_.window.Form();
    const int32_t range = context_.window.EqSliderTravel().range;
    if (const Component* beta = form.Find(L"D3LBetaSliderImage")) {
        record_.leftBeta = static_cast<uint8_t>(ThreeDValueFromTop(beta->top, range));
    }
    if (const Component* alpha = form.Find(L"D3LAlphaSliderImage")) {
        record_.leftAlpha = static_cast<uint8_t>(ThreeDValueFromTop(alpha->top, range));
    }
    SendRecord(write);
}

void ThreeD::Send3DRight(int32_t write) {
    FormModel& form = context_.window.Form();
    const int32_t range = context_.window.EqSliderTravel().range;
    if (const Component* beta = form.Find(L"D3RBetaSliderImage")) {
        record_.rightBeta = static_cast<uint8_t>(ThreeDValueFromTop(beta->top, range));
    }
    if (const Component* alpha = form.Find(L"D3RAlphaSliderImage")) {
        record_.rightAlpha = static_cast<uint8_t>(ThreeDValueFromTop(alpha->top, range));
    }
    SendRecord(write);
}

void ThreeD::SendRecord(int32_t write) {
    HidOperation hid = context_.OpenDevice();
    if (!hid.IsOpen()) return;
    if (write == 1 && !WriteRecordRegisters(hid)) return;
    StoreThreeDRecord(record_, context_.image);
    hid.Commit();
}

void ThreeD::Reset3D() {
    record_ = TemplateRecord();
    context_.settings.m_bFBM = 1;
    HidOperation hid = context_.OpenDevice();
    // No commit of its own: the next group's commit (at close, the switch-off) carries it.
    if (hid.IsOpen() && context_.Sync()) WriteRecordRegisters(hid);
}

void ThreeD::Read3DFromDevice(int32_t eepromHint) {
    SettingsModel& settings = context_.settings;
    int32_t enabled = 0;
    WithSingleRetry([&] {
        return context_.sdk.Invoke<&VendorSdkTable::DLLZR_Is3D_Enable_ById>(&enabled,
                                                                            kActiveDeviceIndex);
    });
    if (enabled == 1 || eepromHint != 0) settings.m_b3DEnable = 1;
    settings.m_bFBM = 1;
    Write3DRegisters(settings.m_b3DEnable);
    Set3DEnable(settings.m_b3DEnable);
    Show3DState(settings.m_bFBM, settings.m_b3DEnable);
    Set3DEnable(settings.m_b3DEnable);
}

void ThreeD::Show3DState(int32_t fbm, int32_t on) {
    if (!context_.DeviceActive()) return;
    context_.window.ShowButton(kFbm, fbm == 1);
    context_.window.ShowButton(k3DEnable, on == 1);
    if (const ControlRow* page3D = FindControlRow(L"D33DENImage")) {
        context_.window.ShowLook(*page3D, on == 1);
    }
}

void ThreeD::Press3DEnable() {
    SettingsModel& settings = context_.settings;
    settings.m_b3DEnable = settings.m_b3DEnable == 0 ? 1 : 0;
    context_.window.ShowButton(k3DEnable, settings.m_b3DEnable == 1);
    if (settings.m_b3DV7ch1Exclusive == 1 && settings.m_b3DEnable == 1 && switchVirtual7ch1Off_) {
        switchVirtual7ch1Off_();
    }
    Set3DEnable(settings.m_b3DEnable);
    Write3DEnableRegister(settings.m_b3DEnable);
}

void ThreeD::PressFbm() {
    int32_t& fbm = context_.settings.m_bFBM;
    fbm = fbm == 0 ? 1 : 0;
    context_.window.ShowButton(kFbm, fbm == 1);
    SetFBM(fbm);
}

void ThreeD::PressLink(int32_t tag) {
    if (tag != kAlphaLink && tag != kBetaLink) return;
    int32_t& mode =
        tag == kAlphaLink ? context_.settings.m_iAlphaLink : context_.settings.m_iBetaLink;
    mode = mode >= 2 ? 0 : mode + 1;
    ShowLinkPicture(tag, mode);
}

void ThreeD::ShowLinkPicture(int32_t tag, int32_t mode) {
    static constexpr const wchar_t* kAlphaKeys[] = {L"D3AlphaIndepImage", L"D3AlphaDepImage",
                                                    L"D3AlphaInvImage"};
    static constexpr const wchar_t* kBetaKeys[] = {L"D3BetaIndepImage", L"D3BetaDepImage",
                                                   L"D3BetaInvImage"};
    const bool alpha = tag == kAlphaLink;
    Component* button = context_.window.Form().Find(alpha ? L"D3AlphaImage" : L"D3BetaImage");
    if (button == nullptr) return;
    const wchar_t* key = (alpha ? kAlphaKeys : kBetaKeys)[mode < 0 ? 0 : mode];

    context_.window.ShowLinkPicture(key, *button);
}

void ThreeD::SliderMoved(Component& slider) {
    SettingsModel& settings = context_.settings;
    if (slider.top < kD3SliderTop) slider.top = kD3SliderTop;
    if (slider.top > kD3SliderBottom) slider.top = kD3SliderBottom;
    const int32_t mode = IsAlphaSlider(slider) ? settings.m_iAlphaLink : settings.m_iBetaLink;
    if (Component* partner = PartnerOf(context_.window.Form(), slider)) {
        if (mode == 1) partner->top = slider.top;
        if (mode == 2) partner->top = kD3SliderBottom - (slider.top - kD3SliderTop);
    }
    const int32_t write = context_.Sync() ? 1 : 0;
    Send3DLeft(write);
    Send3DRight(write);
}

void ThreeD::SwitchOffForVirtual7ch1() {
    context_.settings.m_b3DEnable = 0;
    Set3DEnable(0);
    Write3DEnableRegister(0);
    context_.window.ShowButton(k3DEnable, false);
    if (Component* button = context_.window.Form().Find(L"EQ3DENImage")) button->visible = false;
}

void ThreeD::Close() {
    Reset3D();
    SetFBM(1);
    Set3DEnable(0);
}

}  // namespace tavrin

namespace tavrin {

void ThreeD::Press(const ControlRow& row, Component&) {
    switch (row.tag) {
        case k3DEnable: Press3DEnable(); break;
        case kFbm: PressFbm(); break;
        case kAlphaLink:
        case kBetaLink: PressLink(row.tag); break;
        default: return;
    }
    context_.window.Repaint();
}

void ThreeD::Click(const ControlRow& row, Component&) {
    if (row.tag != k3DReset) return;
    Reset3D();
    context_.window.Repaint();
}

bool ThreeD::IsDown(const ControlRow& row) const {
    const SettingsModel& settings = context_.settings;
    if (row.tag == kFbm) return settings.m_bFBM != 0;
    // EQ-3DEN on the EQ page and the 3D page's own switch picture.
    if (row.tag == k3DEnable || std::wstring_view(row.image) == L"D33DENImage") {
        return settings.m_b3DEnable != 0;
    }
    return false;
}

void ThreeD::Dragged(const ControlRow&, Component& slider, int32_t, int32_t top) {
    slider.top = top;
    SliderMoved(slider);
}

void ThreeD::Redraw() {
    Show3DState(context_.settings.m_bFBM, context_.settings.m_b3DEnable);
}

void ThreeD::ResetAfterRemoval() {
    context_.settings.m_b3DEnable = 0;
    context_.window.ShowButton(k3DEnable, false);
}

}  // namespace tavrin
