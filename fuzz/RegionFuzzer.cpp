// Arbitrary bytes as a skin's MainForm_Frame.rgn: what the check lets through is what the
// system's region call may be given, its own sizes within the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell/Skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring problem;
    const auto region = tavrin::CheckRegionData(std::vector<uint8_t>(data, data + size), problem);
    if (!region) return 0;
    const std::vector<uint8_t>& bytes = region->data;
    auto at = [&](size_t offset) {
        return static_cast<uint32_t>(bytes[offset] | bytes[offset + 1] << 8 |
                                     bytes[offset + 2] << 16 | bytes[offset + 3] << 24);
    };
    if (bytes.size() < 32 || 32 + uint64_t{16} * at(8) != bytes.size()) std::abort();
    if (region->width <= 0 || region->height <= 0) std::abort();
    return 0;
}
