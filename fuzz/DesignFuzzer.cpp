// Arbitrary bytes as the window's design text: every line is taken or reported, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/form/FormModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::wstring> problems;
    tavrin::ParseFormDesign(std::string_view(reinterpret_cast<const char*>(data), size), problems);
    return 0;
}
