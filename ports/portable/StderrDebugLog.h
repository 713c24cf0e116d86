#pragma once
#include <mutex>

#include "ports/DebugLog.h"

namespace tavrin {

// Linux has no debugger channel: diagnostic lines go to standard error, whole lines at a time.
class StderrDebugLog final : public DebugLog {
public:
    void Write(const std::wstring& line) override;

private:
    std::mutex mutex_;
};

}  // namespace tavrin
