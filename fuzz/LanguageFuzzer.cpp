// Arbitrary bytes as a language's Language.ini, read as a profile file and applied to
// the window's design: no crash, overrun or hang, and no caption longer than a record holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/shell/Language.h"
#include "fuzz/FuzzPlatform.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/RecordingUiHost.h"

namespace {

using namespace tavrin;

const std::wstring kTopLevel = L"C:\\Tavrin\\Language\\";
const std::wstring kConfigPath = L"C:\\Tavrin\\AudioConfig.cfg";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzPlatform ports;
    ports.files.AddFile(kTopLevel + L"Fuzz\\" + kLanguageFileName,
                        std::vector<uint8_t>(data, data + size));
    ports.files.AddTextFile(kConfigPath, "[MultiLanguageFolderMap]\nFuzz=Fuzz\n");

    RecordingUiHost ui;
    ui.pixelsPerInch = 96 + static_cast<int32_t>(size % 3) * 24;
    FormModel form = fuzz::MainFormDesign();
    LanguageManager language(ports.platform, ui, form);
    language.SetLanguageRoot(kTopLevel, L"960x540\\");
    language.SetOldVersion((size & 1) != 0);
    language.SetLanguageName(L"Fuzz");
    language.BuildLanguageMenu(ConfigFile(ports.profiles, kConfigPath));
    language.ChooseUsableLanguage();
    language.LoadLanguage(L"Fuzz");
    LabelLook look;
    look.eqPreset = static_cast<int32_t>(size % 6);
    look.isSelected = [](const Component& control) { return control.tag % 2 == 1; };
    language.ApplyLanguageLabels(look);

    for (const Component& control : form.Components()) {
        if (control.kind == ComponentKind::Label)
            fuzz::Check(control.caption.size() < kLabelTextCapacity);
    }
    return 0;
}
