#pragma once
// The record of everything that crossed the virtual headset's boundary: one numbered line per SDK
// call, report, driver request or control. Not locked: the simulator's lock covers it.
#include <cstdint>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

namespace tavrin::sim {

class Trace {
public:
    // Lines kept in memory; older ones drop out (the file sink keeps everything).
    static constexpr std::size_t kMemoryLines = 100000;

    // Adds "#0012 " + text and, with a sink, appends the line to its file at once.
    void Add(const std::string& text);
    void Clear();
    std::vector<std::string> Lines() const;
    // The lines in memory, one per line, to a fresh file.
    bool WriteTo(const std::wstring& path) const;
    // Appends every later line to this file; an empty path ends the sink.
    bool SetSink(const std::wstring& path);

private:
    uint32_t next_ = 1;
    std::deque<std::string> lines_;
    std::ofstream sink_;
};

}  // namespace tavrin::sim
