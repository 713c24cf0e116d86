#pragma once
// Binding of the vendor SDK: the library is loaded once, every entry point is looked up in one
// fixed order, and the table of entry points is the only way the program reaches the SDK.
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

#include "ports/DebugLog.h"
#include "ports/DynamicLibrary.h"
#include "sim/VendorSdkApi.h"
#include "sim/VendorSdkNames.h"

namespace tavrin {

inline constexpr wchar_t kVendorSdkFileName[] = L"DLLZR_UsbAudio58xx_x32.dll";
inline constexpr int kVendorSdkLoadFailed = 1;
// Number reported for the first name of the binding order; each later name adds one.
inline constexpr int kVendorSdkFirstEntryNumber = 2;
// Result of VendorSdk::Invoke on an empty slot. Binding fails before that could happen, so the
// product never sees it.
inline constexpr int32_t kVendorSdkNotBound = -1;

// One slot per entry point, in binding order; entry points with known arguments have typed
// slots, the others keep the bare address.
struct VendorSdkTable {
#define TAVRIN_SDK_GENERIC_SLOT(name) void* name = nullptr;
#define TAVRIN_SDK_TYPED_SLOT(name) name##_Fn name = nullptr;
    TAVRIN_VENDOR_SDK_ENTRY_POINTS(TAVRIN_SDK_GENERIC_SLOT, TAVRIN_SDK_TYPED_SLOT)
#undef TAVRIN_SDK_GENERIC_SLOT
#undef TAVRIN_SDK_TYPED_SLOT
};

// Shows the system error box of a failed load (owner none, caption "Error", one OK button).
class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    virtual void Show(const std::wstring& text, const std::wstring& caption) = 0;
};

class VendorSdk {
public:
    VendorSdk(DynamicLibrary& library, DebugLog& debugLog);

    // 0 when every entry point was found; 1 when the library did not load (after the error box);
    // otherwise the number of the first missing entry point.
    int BindVendorSdk(const std::wstring& fileName, ErrorBox& errorBox);
    // The last system error as "error %d: %s" in the error box.
    void ShowLoadError(ErrorBox& errorBox);

    // Runs call(table) under the lock that serialises every call into the SDK.
    template <class Call>
    decltype(auto) WithTable(Call&& call) {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::forward<Call>(call)(std::as_const(table_));
    }

    // One typed entry point under the lock: sdk.Invoke<&VendorSdkTable::DLLZR_...>(arguments).
    template <auto Slot, class... Args>
    int32_t Invoke(Args... args) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto entry = table_.*Slot;
        if (entry == nullptr) return kVendorSdkNotBound;
        return entry(args...);
    }

private:
    DynamicLibrary& library_;
    DebugLog& debugLog_;
    std::mutex mutex_;
    VendorSdkTable table_;
};

// "error %d: %s" with the code as the signed decimal that %d prints.
std::wstring FormatLoadError(uint32_t code, const std::wstring& systemText);
// The caller's report of a non-zero binding result.
std::wstring FormatOpenFailure(int result);

}  // namespace tavrin
