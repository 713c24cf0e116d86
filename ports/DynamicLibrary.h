#pragma once
#include <cstdint>
#include <string>

namespace tavrin {

// A library bound at run time (LoadLibraryW / GetProcAddress). The object keeps the library
// loaded for as long as it lives.
class DynamicLibrary {
public:
    virtual ~DynamicLibrary() = default;
    // False when the library cannot be loaded or initialised; LastError() then tells why.
    virtual bool Load(const std::wstring& fileName) = 0;
    // Null when nothing is loaded or the library does not export the name.
    virtual void* Symbol(const char* name) = 0;
    // The error code of the last failed call, as GetLastError reports it.
    virtual uint32_t LastError() = 0;
    // The system's text for an error code; empty when the system has none.
    virtual std::wstring ErrorText(uint32_t code) = 0;
};

}  // namespace tavrin
