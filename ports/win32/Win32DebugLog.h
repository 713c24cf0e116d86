#pragma once
#include "ports/DebugLog.h"

namespace tavrin {

class Win32DebugLog final : public DebugLog {
public:
    void Write(const std::wstring& line) override;
};

}  // namespace tavrin
