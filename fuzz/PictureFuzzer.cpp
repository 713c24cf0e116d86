// Arbitrary bytes as a picture file's header: a size is given only for a PNG or BMP of a
// plausible size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/form/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto picture = tavrin::PictureSizeOf(std::vector<uint8_t>(data, data + size));
    if (picture && (picture->width <= 0 || picture->height <= 0)) std::abort();
    return 0;
}
