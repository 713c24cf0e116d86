#pragma once
// Ports a test needs to fill a slot but never looks at.
#include <string>

#include "app/device/VendorSdk.h"
#include "ports/ProfileStore.h"

namespace tavrin::test {

// Every key reads as missing; writes fail.
class EmptyProfileStore final : public ProfileStore {
public:
    uint32_t GetString(const wchar_t*, const wchar_t*, const wchar_t*, wchar_t* buffer,
                       uint32_t capacity, const std::wstring&) override {
        if (capacity > 0) buffer[0] = L'\0';
        return 0;
    }
    bool WriteString(const wchar_t*, const wchar_t*, const wchar_t*, const std::wstring&) override {
        return false;
    }
};

class SilentErrorBox final : public ErrorBox {
public:
    void Show(const std::wstring&, const std::wstring&) override {}
};

}  // namespace tavrin::test
