#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "ports/DebugLog.h"

namespace tavrin::test {

class RecordingDebugLog final : public DebugLog {
public:
    void Write(const std::wstring& line) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lines.push_back(line);
    }
    bool Contains(const std::wstring& line) const {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& written : lines) {
            if (written == line) return true;
        }
        return false;
    }
    size_t Count(const std::wstring& line) const {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t count = 0;
        for (const auto& written : lines) count += written == line ? 1 : 0;
        return count;
    }

    std::vector<std::wstring> lines;

private:
    mutable std::mutex mutex_;
};

}  // namespace tavrin::test
