#pragma once
// The 286-byte request of "DLLZR_AudioCommand": command code, sub-command, then a value or a
// payload; the reply comes back in the same buffer.
#include <array>
#include <cstdint>

#include "app/device/VendorSdk.h"

namespace tavrin {

inline constexpr uint32_t kAudioCommandSize = 286;
inline constexpr size_t kAudioPayloadCapacity = kAudioCommandSize - 2;
inline constexpr size_t kAudioReplySecondOffset = 134;

using AudioCommandBuffer = std::array<uint8_t, kAudioCommandSize>;

int32_t SendAudioValue(VendorSdk& sdk, uint8_t code, uint8_t sub, uint32_t value);
// At most 284 bytes are sent; longer payloads are cut.
int32_t SendAudioPayload(VendorSdk& sdk, uint8_t code, uint8_t sub, const uint8_t* bytes,
                         size_t count);
// On result 0 copies firstCount bytes from offset 2 and secondCount bytes from offset 134;
// counts that would reach past the buffer are cut to what it holds.
int32_t GetAudioReply(VendorSdk& sdk, uint8_t code, uint8_t sub, uint8_t* first, size_t firstCount,
                      uint8_t* second, size_t secondCount);

}  // namespace tavrin
