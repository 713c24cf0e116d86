#include "ports/portable/StderrDebugLog.h"

#include <cstdio>

#include "ports/portable/HostPath.h"

namespace tavrin {

void StderrDebugLog::Write(const std::wstring& line) {
    const std::string text = ToUtf8(line);
    std::lock_guard<std::mutex> lock(mutex_);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace tavrin
