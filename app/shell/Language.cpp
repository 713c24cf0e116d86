#include "app/shell/Language.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "app/form/ControlTable.h"
#include "common/Inifilemanager.h"
#include "common/Text.h"
#include "ports/TextCase.h"

namespace tavrin {
namespace {

constexpr wchar_t kNullText[] = L"(null)";
constexpr wchar_t kGlobalFontSection[] = L"GlobalFont";
constexpr wchar_t kDeviceActiveLabel[] = L"DeviceActiveLabel";
constexpr size_t kLabelTextMaxLength = kLabelTextCapacity - 1;
constexpr size_t kLabelFontNameMaxLength = kLabelFontNameCapacity - 1;
constexpr size_t kLabelValueMaxLength = kLabelValueCapacity - 1;
// Older skins drew the pages further in; the captions follow the pictures half-way.
constexpr int32_t kOldVersionLeftOffset = 196;
constexpr int32_t kOldVersionTopOffset = 52;
constexpr int32_t kTabGap = 5;
constexpr int32_t kEncTabGap = 10;

const wchar_t* const kItemNames[kLabelItemCount] = {
    L"text", L"up colour", L"down colour", L"font name", L"font size",
    L"left", L"top",       L"width",       L"height",    L"page"};

// Captions whose colour follows a state of the window (a two-state button, a page tab, an
// indicator); every other caption is drawn "up".
bool HasState(std::wstring_view control) {
    const ControlRow* row = FindControlRow(control);
    return row != nullptr && row->label != nullptr && control == row->label && ShowsState(*row);
}

const wchar_t* DeviceLabelKey(DeviceLabel label) {
    switch (label) {
        case DeviceLabel::Active: return L"LabelActive";
        case DeviceLabel::UnDriver: return L"LabelUnDriver";
        case DeviceLabel::Unactive: break;
    }
    return L"LabelUnactive";
}

// Colours are 0x00BBGGRR; designers think of them in hexadecimal, so "0x" is accepted beside
// plain decimal.
std::optional<Colour> ParseColour(std::wstring_view text) {
    const auto value = ParseInteger(text, true);
    if (!value || *value < 0) return std::nullopt;
    return static_cast<Colour>(*value);
}

std::wstring NotANumber(size_t index, std::wstring_view item) {
    return L"item " + std::to_wstring(index + 1) + L" (" + kItemNames[index] + L") '" +
           std::wstring(item) + L"' is not a number";
}

LabelRecord EmptyRecord(int32_t page) {
    LabelRecord record;
    record.page = page;
    return record;
}

constexpr wchar_t kBuiltInSource[] = L"built-in English captions";
const wchar_t* const kPageTabKeys[] = {L"LabelPageEQ", L"LabelPageEffect", L"LabelPageMic",
                                       L"LabelPageVirtual7ch1"};

// Rounds half-way values to the even neighbour without depending on the floating-point mode.
int64_t RoundHalfToEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double rounded = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0)) rounded = lower + 1;
    return static_cast<int64_t>(rounded);
}

}  // namespace

bool LabelRecord::HasText() const {
    return !text.empty() && text != kNullText;
}

const std::vector<LabelKey>& LabelKeys() {
    // clang-format off
    static const std::vector<LabelKey> keys = {
        {L"Main", L"LabelMenu1", L"Menu1Label", 0},
        {L"Main", L"LabelMenu2", L"Menu2Label", 0},
        {L"Main", L"LabelMenu3", L"Menu3Label", 0},
        {L"Main", L"LabelPageEQ", L"PageEQLabel", 0},
        {L"Main", L"LabelPage3D", L"Page3DLabel", 0},
        {L"Main", L"LabelPageEffect", L"PageEffectLabel", 0},
        {L"Main", L"LabelPageMic", L"PageMicLabel", 0},
        {L"Main", L"LabelPageVirtual7ch1", L"PageVirtual7p1Label", 0},
        {L"Main", L"LabelActive", kDeviceActiveLabel, 0},
        {L"Main", L"LabelUnDriver", kDeviceActiveLabel, 0},
        {L"Main", L"LabelUnactive", kDeviceActiveLabel, 0},
        {L"Main", L"LabelSync", L"SyncLabel", 0},
        {L"Main", L"LabelSetting", L"SettingLabel", 0},
        {L"Main", L"LabelSX", L"SXLabel", 0},
        {L"Main", L"LabelFeatures", L"FeaturesLabel", 0},
        {L"Main", L"LabelCompanyName", L"CompanyNameLabel", 0},
        {L"Main", L"DeviceInLabel", L"DeviceInLabel", 0},
        {L"Main", L"DeviceOutLabel", L"DeviceOutLabel", 0},
        {L"Main", L"LabelPageLED", L"PageLEDLabel", 0},
        {L"Main", L"LabelPageENC", L"PageENCLabel", 0},
        {L"Main", L"LabelPageVMEffect", L"PageVMEffectLabel", 0},
        {L"Main", L"LabelLanguage", L"", 0},
        {L"Main", L"LabelSkin", L"", 0},
        {L"Main", L"LabelClose", L"", 0},
        {L"Main", L"LabelPlugin", L"", 0},
        {L"Main", L"LabelWarning", L"", 0},
        {L"Main", L"LabelWarning1", L"", 0},
        {L"EQ", L"LabelEQEnable", L"EQEQENLabel", 1},
        {L"EQ", L"LableEQ3DEnable", L"EQ3DENLabel", 1},
        {L"EQ", L"LabelEQReset", L"EQResetLabel", 1},
        {L"EQ", L"LabelEQS1", L"EQS1Label", 1},
        {L"EQ", L"LabelEQS2", L"EQS2Label", 1},
        {L"EQ", L"LabelEQS3", L"EQS3Label", 1},
        {L"EQ", L"LabelEQS4", L"EQS4Label", 1},
        {L"EQ", L"LabelEQ60Hz", L"EQ60HzLabel", 1},
        {L"EQ", L"LabelEQ300Hz", L"EQ300HzLabel", 1},
        {L"EQ", L"LabelEQ1200Hz", L"EQ1200HzLabel", 1},
        {L"EQ", L"LabelEQ3600Hz", L"EQ3600HzLabel", 1},
        {L"EQ", L"LabelEQ12000Hz", L"EQ12000HzLabel", 1},
        {L"3D", L"Label3DEnable", L"D33DENLabel", 5},
        {L"3D", L"Label3DFBM", L"D3FBMLabel", 5},
        {L"3D", L"Label3DReset", L"D3ResetLabel", 5},
        {L"3D", L"Label3DLeftChannel", L"D3LChannelLabel", 5},
        {L"3D", L"Label3DRightChannel", L"D3RChannelLabel", 5},
        {L"3D", L"Label3DConnection", L"D3ConnectLabel", 5},
        {L"Effect", L"LabelEffectNothing", L"EffectNonLabel", 2},
        {L"Effect", L"LabelEffectTheater", L"EffectTheaterLabel", 2},
        {L"Effect", L"LabelEffectBathroom", L"EffectBathroomLabel", 2},
        {L"Effect", L"LabelEffectLivingroom", L"EffectLivingroomLabel", 2},
        {L"Effect", L"LabelEffectStoneGallery", L"EffectStoneGalleryLabel", 2},
        {L"Mic", L"LabelMicBoost", L"MicBoostLabel", 3},
        {L"Mic", L"LabelMicMute", L"MicMuteLabel", 3},
        {L"Mic", L"LabelMicMonitor", L"MicMonitorLabel", 3},
        {L"Mic", L"LabelMicGain", L"MicGainLabel", 3},
        {L"Mic", L"LabelMicValue", L"MicValueLabel", 3},
        {L"Virtual7ch1", L"Label7ch1Enable", L"VirtualENLabel", 4},
        {L"Virtual7ch1", L"LabelVirtualClockwise", L"VirtualClockwiseLabel", 4},
        {L"Virtual7ch1", L"LabelVirtualCounterclockwise", L"VirtualCounterclockwiseLabel", 4},
        {L"Virtual7ch1", L"LabelVirtualEnlarge", L"VirtualEnlargeLabel", 4},
        {L"Virtual7ch1", L"LabelVirtualNarrow", L"VirtualNarrowLabel", 4},
        {L"Virtual7ch1", L"Label7ch1Reset", L"VirtualResetLabel", 4},
        {L"LED", L"ColorBreatheLabel", L"ColorBreatheLabel", 6},
        {L"LED", L"ColorRainbowLabel", L"ColorRainbowLabel", 6},
        {L"LED", L"ColorPulsatingLabel", L"ColorPulsatingLabel", 6},
        {L"LED", L"ColorSelectLabel", L"ColorSelectLabel", 6},
        {L"LED", L"ColorEffectLabel", L"ColorEffectLabel", 6},
        {L"LED", L"ColorLEDOffLabel", L"ColorLEDOffLabel", 6},
        {L"LED", L"ColorSingleLabel", L"ColorSingleLabel", 6},
        {L"LED", L"ColorSlowLabel", L"ColorSlowLabel", 6},
        {L"LED", L"ColorFastLabel", L"ColorFastLabel", 6},
        {L"ENC", L"ENCFunctionLabel", L"ENCFunctionLabel", 7},
        {L"ENC", L"LabelENCValue", L"ENCValueLabel", 7},
        {L"VoiceMagic", L"VMEffectNoneLabel", L"VMEffectNoneLabel", 8},
        {L"VoiceMagic", L"VMEffect1Label", L"VMEffect1Label", 8},
        {L"VoiceMagic", L"VMEffect2Label", L"VMEffect2Label", 8},
        {L"VoiceMagic", L"VMEffect3Label", L"VMEffect3Label", 8},
        {L"VoiceMagic", L"VMEffect4Label", L"VMEffect4Label", 8},
        {L"VoiceMagic", L"VMFunctionLabel", L"VMFunctionLabel", 8},
        {L"About", L"LabelAbout", L"", 0},
        {L"About", L"LabelWeb", L"", 0},
    };
    // clang-format on
    return keys;
}

LabelRecord ParseLabelValue(std::wstring_view value, int32_t defaultPage, bool oldVersion,
                            std::wstring* problem) {
    std::wstring problems;
    if (value.size() > kLabelValueMaxLength) {
        AddProblem(problems, L"value longer than " + std::to_wstring(kLabelValueMaxLength) +
                                 L" characters, the rest ignored");
        value = value.substr(0, kLabelValueMaxLength);
    }
    std::vector<std::wstring> items = SplitAtCommas(std::wstring(value));
    if (items.size() > kLabelItemCount) {
        AddProblem(problems,
                   L"more than " + std::to_wstring(kLabelItemCount) + L" items, the rest ignored");
        items.resize(kLabelItemCount);
    }

    LabelRecord record = EmptyRecord(defaultPage);
    if (!items.empty()) {
        std::wstring_view text = items[0];
        if (text.size() > kLabelTextMaxLength) {
            AddProblem(problems, L"text longer than " + std::to_wstring(kLabelTextMaxLength) +
                                     L" characters, cut");
            text = text.substr(0, kLabelTextMaxLength);
        }
        record.text = text;
    }

    auto colour = [&](size_t index, Colour& field, bool& given) {
        if (index >= items.size()) return;
        const std::wstring_view item = TrimBlanks(items[index]);
        if (item.empty()) return;
        if (const auto parsed = ParseColour(item)) {
            field = *parsed;
            given = true;
        } else {
            AddProblem(problems, NotANumber(index, items[index]));
        }
    };
    auto integer = [&](size_t index, int32_t& field, bool& given) {
        if (index >= items.size()) return;
        const std::wstring_view item = TrimBlanks(items[index]);
        if (item.empty()) return;
        if (const auto parsed = ParseInteger(item)) {
            field = *parsed;
            given = true;
        } else {
            AddProblem(problems, NotANumber(index, items[index]));
        }
    };

    colour(1, record.upColour, record.hasUpColour);
    colour(2, record.downColour, record.hasDownColour);
    if (items.size() > 3) {
        std::wstring_view font = TrimBlanks(items[3]);
        if (font.size() > kLabelFontNameMaxLength) {
            AddProblem(problems, L"font name longer than " +
                                     std::to_wstring(kLabelFontNameMaxLength) +
                                     L" characters, cut");
            font = font.substr(0, kLabelFontNameMaxLength);
        }
        if (!font.empty()) {
            record.fontName = font;
            record.hasFontName = true;
        }
    }
    integer(4, record.fontSize, record.hasFontSize);
    integer(5, record.left, record.hasLeft);
    integer(6, record.top, record.hasTop);
    integer(7, record.width, record.hasWidth);
    integer(8, record.height, record.hasHeight);
    bool pageGiven = false;
    integer(9, record.page, pageGiven);

    if (oldVersion && defaultPage != 0) {
        if (record.hasLeft) record.left += kOldVersionLeftOffset;
        if (record.hasTop) record.top += kOldVersionTopOffset;
    }
    if (problem != nullptr) *problem = problems;
    return record;
}

double ScreenFactor(int32_t pixelsPerInch, bool beforeVista) {
    switch (pixelsPerInch) {
        case 96: return beforeVista ? 0.9 : 1.0;
        case 120: return beforeVista ? 0.72 : 0.8;
        case 144: return 0.6664;
        default: return 1.0;
    }
}

int32_t ScaledFontSize(int32_t points, double factor) {
    const int64_t rounded = RoundHalfToEven(static_cast<double>(points) * factor);
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

LanguageManager::LanguageManager(Platform& platform, MainWindowHost& ui, FormModel& form)
    : platform_(platform), ui_(ui), form_(form) {
    ClearRecords();
}

void LanguageManager::ClearRecords() {
    const std::vector<LabelKey>& keys = LabelKeys();
    records_.clear();
    records_.reserve(keys.size());
    for (const LabelKey& key : keys) records_.push_back(EmptyRecord(key.defaultPage));
}

std::wstring LanguageManager::ReadLanguageValue(const std::wstring& file, const wchar_t* section,
                                                const wchar_t* key) {
    wchar_t buffer[kLabelValueCapacity] = {};
    const uint32_t count =
        platform_.profiles.GetString(section, key, L"", buffer, kLabelValueCapacity, file);
    const size_t length = std::min<size_t>(count, kLabelValueMaxLength);
    // The store cuts silently; a full buffer is the only sign that the file held more.
    if (length == kLabelValueMaxLength) {
        NoteProblem(file, section, key,
                    L"value fills the " + std::to_wstring(kLabelValueCapacity) +
                        L"-character buffer and may have been cut");
    }
    return std::wstring(buffer, length);
}

void LanguageManager::NoteProblem(const std::wstring& source, const wchar_t* section,
                                  const wchar_t* key, const std::wstring& problem) {
    platform_.debugLog.Write(source + L" [" + section + L"] " + key + L": " + problem);
}

void LanguageManager::LoadGlobalFont(const std::wstring& source, const ValueReader& read) {
    const std::wstring up = read(kGlobalFontSection, L"ColorUp");
    const std::wstring down = read(kGlobalFontSection, L"ColorDown");
    const std::wstring size = read(kGlobalFontSection, L"FontSize");
    global_.font = read(kGlobalFontSection, L"Font");

    auto colour = [&](const std::wstring& value, const wchar_t* key, Colour& field) {
        if (value.empty()) return;
        if (const auto parsed = ParseColour(TrimBlanks(value))) {
            field = *parsed;
        } else {
            NoteProblem(source, kGlobalFontSection, key, L"'" + value + L"' is not a number");
        }
    };
    colour(up, L"ColorUp", global_.colorUp);
    colour(down, L"ColorDown", global_.colorDown);
    if (!size.empty()) {
        if (const auto parsed = ParseInteger(TrimBlanks(size))) {
            global_.fontSize = *parsed;
        } else {
            NoteProblem(source, kGlobalFontSection, L"FontSize",
                        L"'" + size + L"' is not a number");
        }
    }
}

std::wstring LanguageManager::LanguageFile(const std::wstring& languageFolderName) {
    return ScreenSizeFolderOf(platform_.files, languageRoot_, resolutionFolder_,
                              languageFolderName) +
           kLanguageFileName;
}

void LanguageManager::LoadLanguage(const std::wstring& languageFolderName) {
    ClearRecords();
    global_ = GlobalFont();
    languageName_ = languageFolderName;
    if (languageFolderName.empty()) {
        // The last resort, read like any language file.
        CIniMgr builtIn(platform_.files);
        const std::string_view text = BuiltInLanguageText();
        builtIn.LoadIniText({text.begin(), text.end()});
        LoadRecords(kBuiltInSource, [&](const wchar_t* section, const wchar_t* key) {
            return builtIn.GetKeyValue(section, key);
        });
        return;
    }
    const std::wstring file = LanguageFile(languageFolderName);
    LoadRecords(file, [&](const wchar_t* section, const wchar_t* key) {
        return ReadLanguageValue(file, section, key);
    });
}

void LanguageManager::LoadRecords(const std::wstring& source, const ValueReader& read) {
    LoadGlobalFont(source, read);
    const std::vector<LabelKey>& keys = LabelKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        std::wstring problem;
        records_[i] = ParseLabelValue(read(keys[i].section, keys[i].key), keys[i].defaultPage,
                                      oldVersion_, &problem);
        if (!problem.empty()) NoteProblem(source, keys[i].section, keys[i].key, problem);
    }
}

bool LanguageManager::LanguageUsable(const std::wstring& languageFolderName, std::wstring& why) {
    if (languageFolderName.empty()) {
        why = L"no language folder is named";
        return false;
    }
    const std::wstring file = LanguageFile(languageFolderName);
    if (!platform_.files.FileExists(file)) {
        why = file + L" is missing";
        return false;
    }
    for (const wchar_t* key : kPageTabKeys) {
        const std::wstring value =
            ReadConfigValue(platform_.profiles, file, L"Main", key, kLabelValueCapacity);
        if (ParseLabelValue(value, 0, false, nullptr).HasText()) return true;
    }
    why = file + L" captions no page tab ([Main] LabelPageEQ and the others)";
    return false;
}

void LanguageManager::ChooseUsableLanguage() {
    std::wstring why;
    if (LanguageUsable(languageName_, why)) return;
    const std::wstring refused = L"Language: '" + languageName_ + L"' is not usable: " + why;
    for (size_t i = 0; i < menuFolders_.size(); ++i) {
        std::wstring otherWhy;
        if (LanguageUsable(menuFolders_[i], otherWhy)) {
            for (MenuItem& item : menu_) item.checked = false;
            menu_[i].checked = true;
            languageName_ = menuFolders_[i];
            platform_.debugLog.Write(refused + L"; taking '" + languageName_ + L"'");
            return;
        }
    }
    languageName_.clear();
    platform_.debugLog.Write(refused + L"; no language under " + languageRoot_ + resolutionFolder_ +
                             L" or " + languageRoot_ +
                             L" is usable: the built-in English captions stand in");
}

void LanguageManager::ApplyStateColour(const LabelRecord& record, Component& label,
                                       bool down) const {
    if (down) {
        if (record.hasDownColour)
            label.fontColour = record.downColour;
        else if (global_.colorDown != 0)
            label.fontColour = global_.colorDown;
    } else {
        if (record.hasUpColour)
            label.fontColour = record.upColour;
        else if (global_.colorUp != 0)
            label.fontColour = global_.colorUp;
    }
}

void LanguageManager::ApplyLabel(LabelRecord& record, Component& control, bool normal) {
    if (record.HasText()) {
        control.visible = true;
        control.caption = record.text;
    } else {
        control.visible = false;
    }

    if (global_.colorUp != 0 && !record.hasUpColour) {
        record.upColour = global_.colorUp;
        record.hasUpColour = true;
    }
    if (global_.colorDown != 0 && !record.hasDownColour) {
        record.downColour = global_.colorDown;
        record.hasDownColour = true;
    }
    ApplyStateColour(record, control, !normal);

    if (record.hasFontName) {
        control.fontName = record.fontName;
    } else if (!global_.font.empty()) {
        control.fontName = global_.font;
    }

    std::optional<int32_t> points;
    if (record.hasFontSize) {
        points = record.fontSize;
    } else if (global_.fontSize != -1) {
        points = global_.fontSize;
    }
    if (points) {
        const double factor = ScreenFactor(ui_.ScreenPixelsPerInch(), osClass_ < 6);
        control.fontSize = ScaledFontSize(*points, factor);
    }

    if (record.hasLeft) control.left = record.left;
    if (record.hasTop) control.top = record.top;
    if (record.hasWidth) control.width = record.width;
    if (record.hasHeight) control.height = record.height;
}

void LanguageManager::ApplyDeviceLabel(DeviceLabel label) {
    deviceLabelShown_ = label;
    Component* control = form_.Find(kDeviceActiveLabel);
    if (control == nullptr) return;
    const std::wstring key = DeviceLabelKey(label);
    const std::vector<LabelKey>& keys = LabelKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (key == keys[i].key) ApplyLabel(records_[i], *control, true);
    }
}

void LanguageManager::ApplyLanguageLabels(const LabelLook& look) {
    ApplyDeviceLabel(deviceLabelShown_);
    const std::vector<LabelKey>& keys = LabelKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::wstring_view controlName = keys[i].control;
        if (controlName.empty() || controlName == kDeviceActiveLabel) continue;
        Component* control = form_.Find(controlName);
        if (control == nullptr) continue;
        const bool selected = HasState(controlName) && look.isSelected && look.isSelected(*control);
        ApplyLabel(records_[i], *control, !selected);
    }

    if (Component* sx = form_.Find(L"SXLabel")) {
        if (look.eqPreset >= 1 && look.eqPreset <= 4) {
            sx->caption = Record(L"LabelEQS" + std::to_wstring(look.eqPreset)).text;
        }
    }
    if (Component* mic = form_.Find(L"MicValueLabel"))
        mic->caption = std::to_wstring(look.micValue);
    if (Component* enc = form_.Find(L"ENCValueLabel"))
        enc->caption = std::to_wstring(look.encValue);

    ChainPageTabs();
}

void LanguageManager::ChainPageTabs() {
    const Component* bevel2 = form_.Find(L"Bevel2");
    const Component* firstTab = form_.Find(L"PageEQLabel");
    if (bevel2 == nullptr || !bevel2->visible || firstTab == nullptr) return;

    // A tab sits `gap` pixels after the separator before it; a separator (gap -1) touches the
    // tab before it and takes the first tab's top.
    struct Link {
        const wchar_t* name;
        int32_t gap;
    };
    constexpr int32_t kSeparator = -1;
    std::vector<Link> chain = {{L"PageEQLabel", 0},
                               {L"Bevel2", kSeparator},
                               {L"PageEffectLabel", kTabGap},
                               {L"Bevel3", kSeparator},
                               {L"PageMicLabel", kTabGap},
                               {L"Bevel4", kSeparator},
                               {L"PageVirtual7p1Label", kTabGap},
                               {L"Bevel5", kSeparator}};
    const Component* bevel7 = form_.Find(L"Bevel7");
    if (bevel7 != nullptr && bevel7->visible) {
        chain.insert(chain.end(), {{L"PageENCLabel", kEncTabGap},
                                   {L"Bevel6", kSeparator},
                                   {L"PageVMEffectLabel", kTabGap},
                                   {L"Bevel7", kSeparator},
                                   {L"PageLEDLabel", kTabGap}});
    } else {
        chain.push_back({L"PageLEDLabel", kTabGap});
    }

    const int32_t tabTop = firstTab->top;
    const Component* previous = nullptr;
    for (const Link& link : chain) {
        Component* component = form_.Find(link.name);
        if (component == nullptr) continue;
        if (previous != nullptr) {
            const bool separator = link.gap == kSeparator;
            component->left = previous->left + previous->width + (separator ? 0 : link.gap);
            if (separator) component->top = tabTop;
        }
        previous = component;
    }
    // The later separators line up with the first one.
    for (const wchar_t* name : {L"Bevel6", L"Bevel7"}) {
        if (Component* bevel = form_.Find(name)) bevel->top = bevel2->top;
    }
}

const LabelRecord& LanguageManager::Record(std::wstring_view key) const {
    static const LabelRecord kEmpty;
    const std::vector<LabelKey>& keys = LabelKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (key == keys[i].key) return records_[i];
    }
    return kEmpty;
}

const LabelRecord* LanguageManager::RecordForControl(std::wstring_view control) const {
    if (control.empty()) return nullptr;
    if (control == kDeviceActiveLabel) return &Record(DeviceLabelKey(deviceLabelShown_));
    const std::vector<LabelKey>& keys = LabelKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (control == keys[i].control) return &records_[i];
    }
    return nullptr;
}

std::wstring LanguageManager::Text(std::wstring_view key, std::wstring_view fallback) const {
    const LabelRecord& record = Record(key);
    return record.HasText() ? record.text : std::wstring(fallback);
}

std::vector<MenuItem> LanguageManager::BuildLanguageMenu(const ConfigFile& config) {
    std::vector<std::wstring> folders =
        ChoosableFolders(platform_.files, languageRoot_, resolutionFolder_);
    SortFolderNames(folders);
    menuFolders_ = folders;
    menu_.clear();
    std::optional<size_t> current;
    for (size_t i = 0; i < folders.size(); ++i) {
        MenuItem item;
        item.command = kLanguageCommandBase + static_cast<uint32_t>(i);
        item.caption = config.LanguageDisplayName(folders[i]);
        item.radio = true;
        menu_.push_back(item);
        // Folder names on Windows are the same folder whatever their case.
        if (!current && EqualsIgnoringCase(folders[i], languageName_)) current = i;
    }
    if (!menu_.empty()) menu_[current.value_or(0)].checked = true;
    return menu_;
}

std::wstring LanguageManager::LanguageMenuClick(size_t index) {
    if (index >= menu_.size()) return languageName_;
    for (MenuItem& item : menu_) item.checked = false;
    menu_[index].checked = true;
    for (size_t i = 0; i < menu_.size(); ++i) {
        if (menu_[i].caption == menu_[index].caption) {
            languageName_ = menuFolders_[i];
            break;
        }
    }
    return languageName_;
}

}  // namespace tavrin
