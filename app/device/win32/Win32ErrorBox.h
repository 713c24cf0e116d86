#pragma once
#include "app/device/VendorSdk.h"

namespace tavrin {

// MessageBoxW without owner and with one OK button.
class Win32ErrorBox final : public ErrorBox {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override;
};

}  // namespace tavrin
