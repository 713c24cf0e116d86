#include "app/form/PictureFile.h"

#include <algorithm>
#include <cstdlib>

#include "common/ByteOrder.h"

namespace tavrin {
namespace {

constexpr int32_t kLargestSide = 16384;
// Both headers fit: PNG's size ends at byte 24, BMP's at byte 26.
constexpr size_t kPictureHeaderBytes = 32;

uint32_t BigEndian32(const std::vector<uint8_t>& b, size_t at) {
    return ReadBigEndian32(b.data() + at);
}

uint32_t LittleEndian32(const std::vector<uint8_t>& b, size_t at) {
    return ReadLittleEndian32(b.data() + at);
}

std::optional<PictureSize> Plausible(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) {
        return std::nullopt;
    }
    return PictureSize{static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

}  // namespace

std::optional<PictureSize> PictureSizeOf(const std::vector<uint8_t>& bytes) {
    static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // PNG: signature, then the IHDR chunk (length 13) with width and height.
    if (bytes.size() >= 24 && std::equal(kPngSignature, kPngSignature + 8, bytes.begin()) &&
        BigEndian32(bytes, 8) == 13 && bytes[12] == 'I' && bytes[13] == 'H' && bytes[14] == 'D' &&
        bytes[15] == 'R') {
        return Plausible(BigEndian32(bytes, 16), BigEndian32(bytes, 20));
    }
    // BMP: file header, then an info header of at least 40 bytes; a negative height is a
    // top-down picture.
    if (bytes.size() >= 26 && bytes[0] == 'B' && bytes[1] == 'M' &&
        LittleEndian32(bytes, 14) >= 40) {
        const auto width = static_cast<int32_t>(LittleEndian32(bytes, 18));
        const auto height = static_cast<int32_t>(LittleEndian32(bytes, 22));
        return Plausible(width, std::llabs(static_cast<int64_t>(height)));
    }
    return std::nullopt;
}

std::optional<PictureSize> ReadPictureSize(FileSystem& files, const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (files.ReadFileStart(path, kPictureHeaderBytes, bytes) != FileReadResult::Ok) {
        return std::nullopt;
    }
    return PictureSizeOf(bytes);
}

}  // namespace tavrin
