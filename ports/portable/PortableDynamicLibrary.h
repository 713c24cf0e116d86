#pragma once
#include <string>

#include "ports/DynamicLibrary.h"

namespace tavrin {

// File names keep their Windows form: "Name.dll" stands for the shared object "Name.so" (same
// base name, no "lib" prefix), and a bare name is looked for in the program's folder, where
// Windows looks first. Other names are host paths after the usual backslash mapping.
class PortableDynamicLibrary final : public DynamicLibrary {
public:
    // The Windows codes for "module not found", "procedure not found" and "not a valid
    // application", so that callers see the numbers they would see on Windows.
    static constexpr uint32_t kModuleNotFound = 126;
    static constexpr uint32_t kProcedureNotFound = 127;
    static constexpr uint32_t kBadFormat = 193;

    PortableDynamicLibrary() = default;
    ~PortableDynamicLibrary() override;
    PortableDynamicLibrary(const PortableDynamicLibrary&) = delete;
    PortableDynamicLibrary& operator=(const PortableDynamicLibrary&) = delete;

    bool Load(const std::wstring& fileName) override;
    void* Symbol(const char* name) override;
    // dlopen keeps no error number: this is the last failure of this object, not of the thread.
    uint32_t LastError() override;
    std::wstring ErrorText(uint32_t code) override;

    // The host file that Load opens for a Windows-form file name.
    static std::string HostFileName(const std::wstring& fileName);

private:
    void Fail(uint32_t code);

    void* handle_ = nullptr;
    uint32_t lastError_ = 0;
    std::wstring lastErrorText_;
};

}  // namespace tavrin
