#pragma once
// The virtual headset's trace as a test reads it: SDK calls ("sdk ..."), HID reports
// ("hid ...") and driver requests ("drv ..."), without their sequence numbers.
#include <fstream>
#include <string>
#include <vector>

#include "app/device/sim/BusFace.h"
#include "tests/support/TempFolder.h"

namespace tavrin::test {

inline std::vector<std::string> ReadDeviceTraffic(BusFace& face, const TempFolder& folder) {
    const std::wstring path = folder.Path() + L"trace.txt";
    face.Functions().writeTrace(path.c_str());
    std::ifstream file(folder.HostPath() / "trace.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        const std::string text = line.substr(line.find(' ') + 1);
        if (text.rfind("sdk ", 0) == 0 || text.rfind("hid ", 0) == 0 ||
            text.rfind("drv ", 0) == 0) {
            lines.push_back(text);
        }
    }
    return lines;
}

inline void ClearDeviceTraffic(BusFace& face) {
    face.Functions().clearTrace();
}

}  // namespace tavrin::test
