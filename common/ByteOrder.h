#pragma once
// Byte layouts of reports, regions and file headers are read and written byte by byte, never by
// casting structures, so they mean the same on every compiler and machine.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin {

inline uint16_t ReadLittleEndian16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline uint32_t ReadLittleEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

inline int32_t ReadSignedLittleEndian32(const uint8_t* bytes) {
    return static_cast<int32_t>(ReadLittleEndian32(bytes));
}

inline uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 |
           uint32_t{bytes[3]};
}

inline void WriteLittleEndian16(uint8_t* bytes, uint16_t value) {
    bytes[0] = static_cast<uint8_t>(value & 0xFF);
    bytes[1] = static_cast<uint8_t>(value >> 8);
}

inline void WriteLittleEndian32(uint8_t* bytes, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
}

}  // namespace tavrin
