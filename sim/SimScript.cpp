// The scenario language of the virtual headset: one command per line, words separated by blanks,
// '#' starts a comment. The commands are listed in sim/README.md.
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <thread>

#include "sim/HeadsetSimulator.h"

namespace tavrin::sim {
namespace {

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
        if (at >= line.size() || line[at] == '#') break;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') ++at;
        words.emplace_back(line.substr(start, at - start));
    }
    return words;
}

// A number argument within [low, high], or the error text in `error`.
std::optional<uint32_t> Number(const std::vector<std::string>& words, std::size_t index,
                               const char* what, uint32_t low, uint32_t high, std::string& error) {
    if (index >= words.size()) {
        error = std::string("missing ") + what;
        return std::nullopt;
    }
    const std::optional<uint32_t> value = ParseNumber(words[index]);
    if (!value || *value < low || *value > high) {
        error = std::string(what) + " \"" + words[index] + "\" is not a number from " +
                std::to_string(low) + " to " + std::to_string(high);
        return std::nullopt;
    }
    return value;
}

bool Expect(const std::vector<std::string>& words, std::size_t low, std::size_t high,
            const char* usage, std::string& error) {
    if (words.size() - 1 >= low && words.size() - 1 <= high) return true;
    error = std::string("usage: ") + usage;
    return false;
}

// "wait <ms>": up to a minute.
std::string WaitTime(const std::vector<std::string>& words, std::optional<uint32_t>& wait) {
    std::string error;
    if (!Expect(words, 1, 1, "wait <milliseconds>", error)) return error;
    wait = Number(words, 1, "milliseconds", 0, 60000, error);
    return error;
}

}  // namespace

ScriptResult HeadsetSimulator::RunScript(std::string_view text, std::string_view source,
                                         uint32_t firstLine, const ScriptPause& pause) {
    uint32_t number = firstLine - 1;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        ++number;
        start = end + 1;
        const std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        std::string shown(line);
        while (!shown.empty() && (shown.back() == '\r' || shown.back() == ' ')) shown.pop_back();
        // Each line under the lock on its own, so that a wait lets the product run meanwhile.
        std::string error;
        std::optional<uint32_t> wait;
        {
            Guard guard(*this);
            AddTrace(std::string(source) + " " + std::to_string(number) + ": " + shown);
            error = words[0] == "wait" ? WaitTime(words, wait) : RunScriptLine(words);
            if (!error.empty()) {
                AddTrace(std::string(source) + " error, line " + std::to_string(number) + ": " +
                         error);
            }
        }
        if (!error.empty()) return {number, error};
        if (!wait) continue;
        if (!pause) {
            std::this_thread::sleep_for(std::chrono::milliseconds(*wait));
        } else if (!pause(*wait)) {
            return {};
        }
    }
    return {};
}

ScriptResult HeadsetSimulator::RunScriptFile(const std::wstring& path) {
    std::ifstream file = OpenInput(path);
    if (!file) {
        Guard guard(*this);
        const std::string message = "cannot open \"" + ToUtf8(path) + "\"";
        AddTrace("script: " + message);
        return {0, message};
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return RunScript(text);
}

std::string HeadsetSimulator::RunScriptLine(const std::vector<std::string>& words) {
    const std::string& command = words[0];
    std::string error;
    ChipState& chip = chip_.State();

    if (command == "plug" || command == "unplug" || command == "reset" || command == "vanish-hid" ||
        command == "clear-trace") {
        if (!Expect(words, 0, 0, command.c_str(), error)) return error;
        if (command == "plug") PlugLocked();
        if (command == "unplug") UnplugLocked();
        if (command == "reset") ResetLocked();
        if (command == "clear-trace") trace_.Clear();
        if (command == "vanish-hid") {
            bus_.vanishNextOpen = true;
            AddTrace("ctl vanish-hid");
        }
        return {};
    }
    if (command == "gpio") {
        if (!Expect(words, 2, 2, "gpio <line 0..9> <level 0|1>", error)) return error;
        const auto line = Number(words, 1, "line", 0, kGpioLineCount - 1, error);
        const auto level = line ? Number(words, 2, "level", 0, 1, error) : std::nullopt;
        if (!level) return error;
        SetGpioLineLocked(*line, *level);
        return {};
    }
    if (command == "fail") {
        if (!Expect(words, 2, 3, "fail <EntryPoint> <count> [result]", error)) return error;
        const std::optional<std::string> name = KnownEntryPoint(words[1]);
        if (!name) return "no entry point \"" + words[1] + "\"";
        const auto count = Number(words, 2, "count", 0, 1000000, error);
        if (!count) return error;
        std::optional<int32_t> result;
        if (words.size() == 4) {
            const auto value = Number(words, 3, "result", 1, 0x7FFFFFFF, error);
            if (!value) return error;
            result = static_cast<int32_t>(*value);
        }
        FailNextLocked(*name, *count, result);
        return {};
    }
    if (command == "readback") {
        if (!Expect(words, 2, 3, "readback eq|3d <value> [count]", error)) return error;
        if (words[1] != "eq" && words[1] != "3d") return "readback of \"" + words[1] + "\"";
        const auto value = Number(words, 2, "value", 0, 0x7FFFFFFF, error);
        const auto count = words.size() == 4 && value ? Number(words, 3, "count", 0, 1000000, error)
                                                      : std::optional<uint32_t>(1);
        if (!value || !count) return error;
        SetReadbackLocked(words[1] == "eq" ? Switch::Eq : Switch::ThreeD,
                          static_cast<int32_t>(*value), *count);
        return {};
    }
    if (command == "driver") {
        if (!Expect(words, 1, 1, "driver absent|present", error)) return error;
        if (words[1] != "absent" && words[1] != "present") return "driver \"" + words[1] + "\"";
        bus_.driverInstalled = words[1] == "present";
        AddTrace("ctl driver " + words[1]);
        return {};
    }
    if (command == "driver-state") {
        if (!Expect(words, 1, 1, "driver-state <value>", error)) return error;
        const auto value = Number(words, 1, "value", 0, 0xFFFFFFFF, error);
        if (!value) return error;
        bus_.driverState = *value;
        return {};
    }
    if (command == "reportlength") {
        if (!Expect(words, 2, 2, "reportlength out|in <length>", error)) return error;
        if (words[1] != "out" && words[1] != "in") return "report kind \"" + words[1] + "\"";
        const auto length = Number(words, 2, "length", 0, 0xFFFF, error);
        if (!length) return error;
        (words[1] == "out" ? bus_.outputReportLength : bus_.inputReportLength) =
            static_cast<uint16_t>(*length);
        AddTrace("ctl reportlength " + words[1] + " " + std::to_string(*length));
        return {};
    }
    if (command == "register") {
        if (!Expect(words, 2, 2, "register <address> <value>", error)) return error;
        const auto address = Number(words, 1, "address", 0, 0xFFFF, error);
        const auto value = address ? Number(words, 2, "value", 0, 0xFF, error) : std::nullopt;
        if (!value) return error;
        chip.registers[*address] = static_cast<uint8_t>(*value);
        return {};
    }
    if (command == "eeprom") {
        if (words.size() < 4) return "usage: eeprom <chip 0x50|0x51> <offset> <byte>...";
        const auto chipAddress =
            Number(words, 1, "chip", kEepromChipFirst, kEepromChipSecond, error);
        const auto offset =
            chipAddress ? Number(words, 2, "offset", 0, kEepromSize - 1, error) : std::nullopt;
        if (!offset) return error;
        const std::size_t count = words.size() - 3;
        if (*offset + count > kEepromSize) return "bytes past the end of the EEPROM";
        std::vector<uint8_t> bytes;
        for (std::size_t i = 0; i < count; ++i) {
            const auto byte = Number(words, 3 + i, "byte", 0, 0xFF, error);
            if (!byte) return error;
            bytes.push_back(static_cast<uint8_t>(*byte));
        }
        auto& eeprom = chip.eeprom[*chipAddress - kEepromChipFirst];
        std::copy(bytes.begin(), bytes.end(), eeprom.begin() + *offset);
        return {};
    }
    if (command == "peak") {
        if (!Expect(words, 1, 1, "peak <0.0..1.0>", error)) return error;
        char* end = nullptr;
        const double value = std::strtod(words[1].c_str(), &end);
        if (end == words[1].c_str() || *end != '\0' || !(value >= 0.0 && value <= 1.0)) {
            return "peak \"" + words[1] + "\" is not a number from 0.0 to 1.0";
        }
        bus_.peak = static_cast<float>(value);
        return {};
    }
    if (command == "volume-steps") {
        if (!Expect(words, 1, 1, "volume-steps <count>", error)) return error;
        const auto count = Number(words, 1, "count", 2, 10000, error);
        if (!count) return error;
        bus_.volumeSteps = *count;
        bus_.volumeStep = std::min(bus_.volumeStep, *count - 1);
        return {};
    }
    if (command == "product") {
        if (!Expect(words, 1, 1, "product <pid>", error)) return error;
        const auto pid = Number(words, 1, "pid", 0, 0xFFFF, error);
        if (!pid) return error;
        chip.productId = static_cast<uint16_t>(*pid);
        return {};
    }
    if (command == "hwid" || command == "device") {
        if (!Expect(words, 1, 1, "hwid|device <hardware ID>", error)) return error;
        std::wstring id = FromUtf8(words[1]);
        if (command == "device") {
            bus_.otherDevices.push_back(id);
        } else {
            bus_.audioHardwareId = id == L"default" ? L"" : id;
        }
        return {};
    }
    if (command == "trace") {
        if (!Expect(words, 1, 1, "trace <file>|off", error)) return error;
        const std::wstring path = words[1] == "off" ? L"" : FromUtf8(words[1]);
        if (!trace_.SetSink(path)) return "cannot open \"" + words[1] + "\"";
        return {};
    }
    return "unknown command \"" + command + "\"";
}

}  // namespace tavrin::sim
