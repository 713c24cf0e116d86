#pragma once
#include <string>

namespace tavrin {

// The system debug output (OutputDebugStringW): the product's only diagnostic channel.
class DebugLog {
public:
    virtual ~DebugLog() = default;
    virtual void Write(const std::wstring& line) = 0;
};

}  // namespace tavrin
