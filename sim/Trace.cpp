#include "sim/Trace.h"

#include "sim/SimText.h"

namespace tavrin::sim {

void Trace::Add(const std::string& text) {
    std::string number = std::to_string(next_++);
    if (number.size() < 4) number.insert(0, 4 - number.size(), '0');
    lines_.push_back("#" + number + " " + text);
    if (lines_.size() > kMemoryLines) lines_.pop_front();
    if (sink_.is_open()) {
        // Flushed per line so that a crash of the program under test leaves the trace complete.
        sink_ << lines_.back() << std::endl;
    }
}

void Trace::Clear() {
    lines_.clear();
    next_ = 1;
}

std::vector<std::string> Trace::Lines() const {
    return {lines_.begin(), lines_.end()};
}

bool Trace::WriteTo(const std::wstring& path) const {
    std::ofstream file = OpenOutput(path, false);
    if (!file) return false;
    for (const std::string& line : lines_) file << line << '\n';
    return static_cast<bool>(file.flush());
}

bool Trace::SetSink(const std::wstring& path) {
    if (sink_.is_open()) sink_.close();
    if (path.empty()) return true;
    sink_ = OpenOutput(path, true);
    return sink_.is_open();
}

}  // namespace tavrin::sim
