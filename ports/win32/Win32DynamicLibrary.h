#pragma once
#include "ports/DynamicLibrary.h"

namespace tavrin {

class Win32DynamicLibrary final : public DynamicLibrary {
public:
    Win32DynamicLibrary() = default;
    ~Win32DynamicLibrary() override;
    Win32DynamicLibrary(const Win32DynamicLibrary&) = delete;
    Win32DynamicLibrary& operator=(const Win32DynamicLibrary&) = delete;

    bool Load(const std::wstring& fileName) override;
    void* Symbol(const char* name) override;
    uint32_t LastError() override;
    std::wstring ErrorText(uint32_t code) override;

private:
    void* module_ = nullptr;
};

}  // namespace tavrin
