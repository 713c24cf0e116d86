#include "app/device/AudioCommand.h"

#include <algorithm>

namespace tavrin {
namespace {

int32_t Send(VendorSdk& sdk, AudioCommandBuffer& request) {
    uint32_t size = kAudioCommandSize;
    return sdk.Invoke<&VendorSdkTable::DLLZR_AudioCommand>(request.data(), &size);
}

AudioCommandBuffer Request(uint8_t code, uint8_t sub) {
    AudioCommandBuffer request{};
    request[0] = code;
    request[1] = sub;
    return request;
}

}  // namespace

int32_t SendAudioValue(VendorSdk& sdk, uint8_t code, uint8_t sub, uint32_t value) {
    AudioCommandBuffer request = Request(code, sub);
    for (size_t i = 0; i < 4; ++i) request[2 + i] = static_cast<uint8_t>(value >> (8 * i));
    return Send(sdk, request);
}

int32_t SendAudioPayload(VendorSdk& sdk, uint8_t code, uint8_t sub, const uint8_t* bytes,
                         size_t count) {
    AudioCommandBuffer request = Request(code, sub);
    std::copy_n(bytes, std::min(count, kAudioPayloadCapacity), request.begin() + 2);
    return Send(sdk, request);
}

int32_t GetAudioReply(VendorSdk& sdk, uint8_t code, uint8_t sub, uint8_t* first, size_t firstCount,
                      uint8_t* second, size_t secondCount) {
    AudioCommandBuffer request = Request(code, sub);
    const int32_t result = Send(sdk, request);
    if (result != 0) return result;
    std::copy_n(request.begin() + 2, std::min(firstCount, kAudioPayloadCapacity), first);
    std::copy_n(request.begin() + kAudioReplySecondOffset,
                std::min(secondCount, kAudioCommandSize - kAudioReplySecondOffset), second);
    return result;
}

}  // namespace tavrin
