// The readers of what skin and language designers hand us: region files, picture headers,
// SkinSetting.ini and Language.ini values and the window design. The first byte picks the
// reader; none may crash, overrun or hang on any input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/form/FormModel.h"
#include "app/form/PictureFile.h"
#include "app/shell/Language.h"
#include "app/shell/Skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavrin;
    if (size == 0) return 0;
    const uint8_t reader = data[0] % 5;
    const std::vector<uint8_t> bytes(data + 1, data + size);
    const std::wstring text(bytes.begin(), bytes.end());
    std::wstring problem;
    switch (reader) {
        case 0: {
            if (const auto region = CheckRegionData(bytes, problem)) {
                // What the system would read: the header's count of rectangles after it.
                if (region->data.size() < 32) __builtin_trap();
            }
            break;
        }
        case 1: PictureSizeOf(bytes); break;
        case 2: ParseSkinImageValue(text, 3, (size & 1) != 0, &problem); break;
        case 3: {
            const LabelRecord record = ParseLabelValue(text, 3, (size & 1) != 0, &problem);
            if (record.text.size() >= kLabelTextCapacity) __builtin_trap();
            break;
        }
        case 4: {
            std::vector<std::wstring> problems;
            ParseFormDesign(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                problems);
            break;
        }
    }
    return 0;
}
