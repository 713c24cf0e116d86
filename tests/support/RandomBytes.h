#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavrin::test {

// What a damaged file holds: bytes of every value, line breaks and brackets among them; the
// same bytes for the same seed.
inline std::string RandomBytes(size_t count, uint32_t seed) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(seed >> 16));
    }
    return bytes;
}

}  // namespace tavrin::test
