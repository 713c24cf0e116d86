// Arbitrary bytes as a skin's SkinSetting.ini, read as a profile file and applied to the
// window's design: no crash, overrun or hang, and every picture a control is given lies in the
// skin's folder and reads as a picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/form/PictureFile.h"
#include "app/shell/Skin.h"
#include "fuzz/FuzzPlatform.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/RecordingUiHost.h"

namespace {

using namespace tavrin;

const std::wstring kTopLevel = L"C:\\Tavrin\\Skin\\";
const std::wstring kSkinFolder = kTopLevel + L"1366x768\\Fuzz\\";

// A 2 x 1 BMP and a 1 x 1 PNG, for values that name them.
const std::vector<uint8_t> kBitmap = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0,  0, 40, 0,
                                      0,   0,   2,  0, 0, 0, 1, 0, 0, 0, 1,  0, 24, 0, 0,  0,
                                      8,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0,  0, 0,  0,
                                      0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0,  0};
const std::vector<uint8_t> kPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                   'I',  'H', 'D', 'R', 0,    0,    0,    1,    0, 0, 0, 1};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzPlatform ports;
    ports.files.AddFile(kSkinFolder + kSkinSettingFileName,
                        std::vector<uint8_t>(data, data + size));
    ports.files.AddFile(kSkinFolder + L"a.bmp", kBitmap);
    ports.files.AddFile(kSkinFolder + L"b.png", kPng);
    ports.files.AddFile(kSkinFolder + kRegionFileName, {});

    RecordingUiHost ui;
    FormModel form = fuzz::MainFormDesign();
    SkinManager skins(ports.platform, ui, form);
    skins.SetSkinRoot(kTopLevel, L"1366x768\\");
    skins.SetSkinName(L"Fuzz");
    skins.BuildSkinMenu();
    skins.ChooseUsableSkin();
    skins.LoadSkinSettings(L"Fuzz");
    SkinLook look;
    look.currentPage = static_cast<int32_t>(size % 9);
    look.currentEffect = static_cast<int32_t>(size % 7);
    look.isDown = [](const Component& control) { return control.tag % 2 == 0; };
    skins.ApplySkin(look, static_cast<int32_t>(size & 1));

    for (const Component& control : form.Components()) {
        if (control.kind != ComponentKind::Image || control.picture.empty()) continue;
        const bool fromDesign = [&] {
            const Component* designed = fuzz::MainFormDesign().Find(control.name);
            return designed != nullptr && designed->picture == control.picture;
        }();
        if (fromDesign) continue;
        fuzz::Check(control.picture.rfind(kSkinFolder, 0) == 0);
        fuzz::Check(ReadPictureSize(ports.files, control.picture).has_value());
    }
    return 0;
}
