#pragma once
// The size of a picture file, read from its header: what a picture control needs to size itself
// and to know that the file is a picture it can show. PNG and BMP.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ports/FileSystem.h"

namespace tavrin {

struct PictureSize {
    int32_t width = 0;
    int32_t height = 0;
};

// nullopt for files that are not a PNG or BMP picture with a plausible size.
std::optional<PictureSize> PictureSizeOf(const std::vector<uint8_t>& bytes);
std::optional<PictureSize> ReadPictureSize(FileSystem& files, const std::wstring& path);

}  // namespace tavrin
