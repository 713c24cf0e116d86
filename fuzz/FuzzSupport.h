#pragma once
// What the fuzz targets share besides their ports.
#include <cstdlib>
#include <string>
#include <vector>

#include "app/form/FormModel.h"

namespace tavrin::fuzz {

// A promise of the code under test that the input broke: libFuzzer keeps the input.
inline void Check(bool condition) {
    if (!condition) std::abort();
}

// The window's design, parsed once per process.
inline const FormModel& MainFormDesign() {
    static const FormModel design = [] {
        std::vector<std::wstring> problems;
        return ParseFormDesign(MainFormDesignText(), problems);
    }();
    return design;
}

}  // namespace tavrin::fuzz
