#include "app/device/VendorSdk.h"

#include <array>
#include <type_traits>

namespace tavrin {
namespace {

using SlotStore = void (*)(VendorSdkTable&, void*);

template <class Slot>
void Store(Slot& slot, void* address) {
    if constexpr (std::is_same_v<Slot, void*>) {
        slot = address;
    } else {
        slot = reinterpret_cast<Slot>(address);
    }
}

#define TAVRIN_SDK_SLOT_STORE(name) \
    [](VendorSdkTable& table, void* address) { Store(table.name, address); },
constexpr std::array<SlotStore, kVendorSdkEntryPointCount> kSlotStores = {
    TAVRIN_VENDOR_SDK_ENTRY_POINTS(TAVRIN_SDK_SLOT_STORE, TAVRIN_SDK_SLOT_STORE)};
#undef TAVRIN_SDK_SLOT_STORE

std::wstring Widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

VendorSdk::VendorSdk(DynamicLibrary& library, DebugLog& debugLog)
    : library_(library), debugLog_(debugLog) {}

int VendorSdk::BindVendorSdk(const std::wstring& fileName, ErrorBox& errorBox) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!library_.Load(fileName)) {
        ShowLoadError(errorBox);
        return kVendorSdkLoadFailed;
    }
    for (size_t index = 0; index < kVendorSdkEntryPointCount; ++index) {
        const std::string_view name = kVendorSdkEntryPointNames[index];
        void* address = library_.Symbol(name.data());
        kSlotStores[index](table_, address);
        if (address == nullptr) {
            // The first two names are reported by their number alone.
            if (index >= 2) debugLog_.Write(L"***** " + Widen(name) + L" *****\n");
            return kVendorSdkFirstEntryNumber + static_cast<int>(index);
        }
    }
    return 0;
}

void VendorSdk::ShowLoadError(ErrorBox& errorBox) {
    const uint32_t code = library_.LastError();
    errorBox.Show(FormatLoadError(code, library_.ErrorText(code)), L"Error");
}

std::wstring FormatLoadError(uint32_t code, const std::wstring& systemText) {
    return L"error " + std::to_wstring(static_cast<int32_t>(code)) + L": " + systemText;
}

std::wstring FormatOpenFailure(int result) {
    return L"***** Open_DLLZR_UsbAudio58xx, ret = " + std::to_wstring(result) + L" *****";
}

}  // namespace tavrin
