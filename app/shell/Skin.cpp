#include "app/shell/Skin.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "common/AudioConfig.h"
#include "common/ByteOrder.h"
#include "common/Text.h"
#include "ports/TextCase.h"

namespace tavrin {
namespace {

using namespace skin_section;

// Older skins place the pages' pictures relative to the page area, which sat at this offset.
constexpr int32_t kOldVersionLeft = 392;
constexpr int32_t kOldVersionTop = 104;

// The environment effects in their numbering 1..5; the button of effect n carries tag 15 + n.
constexpr int32_t kEffectButtonTagBase = control_tag::kFirstEffect - 1;

constexpr int32_t kEffectCount = 5;

constexpr size_t kMaxRegionRectangles = 1000000;
constexpr int32_t kLargestRegionSide = 16384;
constexpr size_t kRegionHeaderSize = 32;
constexpr size_t kRegionRectangleSize = 16;

std::vector<SkinImageKey> BuildImageKeys() {
    std::vector<SkinImageKey> keys;
    auto add = [&](const wchar_t* section, int32_t page,
                   std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names) keys.push_back({section, name, page});
    };
    add(kMain, 0,
        {L"MainFormImage",
         L"CloseImageUp",
         L"CloseImageDown",
         L"MinimizeImageUp",
         L"MinimizeImageDown",
         L"DeviceActiveImage",
         L"Menu1ImageUp",
         L"Menu1ImageDown",
         L"Menu2ImageUp",
         L"Menu2ImageDown",
         L"Menu3ImageUp",
         L"Menu3ImageDown",
         L"LogoImage",
         L"LedImageUp",
         L"LedImageDown",
         L"MainLeftImage1",
         L"MainLeftImage2",
         L"MainLeftImage3",
         L"MainLeftImage4",
         L"DeviceActiveUpImage",
         L"DeviceActiveDownImage",
         L"DeviceUnActiveUpImage",
         L"DeviceUnActiveDownImage",
         L"PageEQUpImage",
         L"PageEffectUpImage",
         L"PageMicUpImage",
         L"PageVirtual7p1UpImage",
         L"PageEQDownImage",
         L"PageEffectDownImage",
         L"PageMicDownImage",
         L"PageVirtual7p1DownImage",
         L"PageLEDUpImage",
         L"PageLEDDownImage",
         L"PageENCUpImage",
         L"PageENCDownImage",
         L"PageVMEffectUpImage",
         L"PageVMEffectDownImage"});
    add(kEq, 1, {L"Back_EQImage",        L"EQEQENImageUp",       L"EQEQENImageDown",
                 L"EQ3DENImageUp",       L"EQ3DENImageDown",     L"EQResetImageUp",
                 L"EQResetImageDown",    L"EQS1ImageUp",         L"EQS1ImageDown",
                 L"EQS2ImageUp",         L"EQS2ImageDown",       L"EQS3ImageUp",
                 L"EQS3ImageDown",       L"EQS4ImageUp",         L"EQS4ImageDown",
                 L"EQButtonLineImage1",  L"EQButtonLineImage2",  L"EQButtonLineImage3",
                 L"EQButtonLineImage4",  L"EQButtonLineImage5",  L"EQGraduationImage",
                 L"EQ60HzBarImage",      L"EQ300HzBarImage",     L"EQ1200HzBarImage",
                 L"EQ3600HzBarImage",    L"EQ12000HzBarImage",   L"EQ60HzSliderImage",
                 L"EQ300HzSliderImage",  L"EQ1200HzSliderImage", L"EQ3600HzSliderImage",
                 L"EQ12000HzSliderImage"});
    // The filled bars lie under the sliders of every page that shows them.
    add(kEq, 0,
        {L"EQ60HzBarDownImage", L"EQ300HzBarDownImage", L"EQ1200HzBarDownImage",
         L"EQ3600HzBarDownImage", L"EQ12000HzBarDownImage"});
    add(k3D, 5,
        {L"Back_3DImage",
         L"D33DENImageUp",
         L"D33DENImageDown",
         L"D3FBMImageUp",
         L"D3FBMImageDown",
         L"D3ResetImageUp",
         L"D3ResetImageDown",
         L"D3LChannelImage",
         L"D3RChannelImage",
         L"D3ConnectionImage",
         L"D3AlphaIndepImage",
         L"D3AlphaDepImage",
         L"D3AlphaInvImage",
         L"D3BetaIndepImage",
         L"D3BetaDepImage",
         L"D3BetaInvImage",
         L"D3ButtonLineImage1",
         L"D3ButtonLineImage2",
         L"D3LAlphaGraduationImage",
         L"D3LBetaGraduationImage",
         L"D3RAlphaGraduationImage",
         L"D3RBetaGraduationImage",
         L"D3LAlphaBarImage",
         L"D3LBetaBarImage",
         L"D3RAlphaBarImage",
         L"D3RBetaBarImage",
         L"D3LAlphaSliderImage",
         L"D3LBetaSliderImage",
         L"D3RAlphaSliderImage",
         L"D3RBetaSliderImage"});
    add(kEffect, 2,
        {L"Back_EffectImage",
         L"EffectButtonNonImageUp",
         L"EffectButtonNonImageDown",
         L"EffectButtonTheaterImageUp",
         L"EffectButtonTheaterImageDown",
         L"EffectButtonBathroomImageUp",
         L"EffectButtonBathroomImageDown",
         L"EffectButtonLivingroomImageUp",
         L"EffectButtonLivingroomImageDown",
         L"EffectButtonStoneGalleryImageUp",
         L"EffectButtonStoneGalleryImageDown",
         L"EffectButtonLineImage1",
         L"EffectButtonLineImage2",
         L"EffectButtonLineImage3",
         L"EffectButtonLineImage4",
         L"EffectPicNonImage",
         L"EffectPicTheaterImage",
         L"EffectPicBathroomImage",
         L"EffectPicLivingroomImage",
         L"EffectPicStoneGalleryImage",
         L"EffectNonUpImage",
         L"EffectNonDownImage",
         L"EffectTheaterUpImage",
         L"EffectTheaterDownImage",
         L"EffectStoneGalleryUpImage",
         L"EffectStoneGalleryDownImage",
         L"EffectLivingroomUpImage",
         L"EffectLivingroomDownImage",
         L"EffectBathroomUpImage",
         L"EffectBathroomDownImage"});
    add(kMic, 3,
        {L"Back_MicImage", L"MicBoostImageUp", L"MicBoostImageDown", L"MicMuteImageUp",
         L"MicMuteImageDown", L"MicMonitorImageUp", L"MicMonitorImageDown", L"MicButtonLineImage",
         L"MicPicImage", L"MicProgressImage", L"MicGainImage", L"MicGraduationImage",
         L"MicBarImage", L"MicSliderImage", L"MicValueImage"});
    add(kMic, 0, {L"MicBarDownImage"});
    add(kVirtual, 4,
        {L"Back_Virtual7p1Image",
         L"VirtualEnableImageUp",
         L"VirtualEnableImageDown",
         L"VirtualDisableImageUp",
         L"VirtualDisableImageDown",
         L"VirtualClockwiseUpImage",
         L"VirtualClockwiseDownImage",
         L"VirtualCounterclockwiseUpImage",
         L"VirtualCounterclockwiseDownImage",
         L"VirtualEnlargeUpImage",
         L"VirtualEnlargeDownImage",
         L"VirtualNarrowUpImage",
         L"VirtualNarrowDownImage",
         L"VirtualResetUpImage",
         L"VirtualResetDownImage",
         L"VirtualPicImage",
         L"VirtualCImage",
         L"VirtualLImage",
         L"VirtualLSImage",
         L"VirtualLBImage",
         L"VirtualRBImage",
         L"VirtualRSImage",
         L"VirtualRImage",
         L"VirtualSUBImage",
         L"VirtualButtonLineImage1",
         L"VirtualButtonLineImage2",
         L"VirtualButtonLineImage3"});
    add(kAbout, 0, {L"LogoImage"});
    add(kLed, 6,
        {L"ColorBreatheBarImage", L"ColorRainbowBarImage", L"ColorPulsatingBarImage",
         L"ColorBreatheSliderUpImage", L"ColorBreatheSliderDownImage", L"ColorRainbowSliderUpImage",
         L"ColorRainbowSliderDownImage", L"ColorPulsatingSliderUpImage",
         L"ColorPulsatingSliderDownImage", L"ColorBreatheCheckUpImage",
         L"ColorBreatheCheckDownImage", L"ColorRainbowCheckUpImage", L"ColorRainbowCheckDownImage",
         L"ColorPulsatingCheckUpImage", L"ColorPulsatingCheckDownImage", L"ColorLEDOffCheckUpImage",
         L"ColorLEDOffCheckDownImage", L"ColorSingleCheckUpImage", L"ColorSingleCheckDownImage"});
    add(kEnc, 7,
        {L"ENCFunctionUpImage", L"ENCFunctionDownImage", L"ENCBarImage", L"ENCSliderImage",
         L"ENCValueImage"});
    add(kVoiceMagic, 8,
        {L"VMEffectNoneUpImage", L"VMEffectNoneDownImage", L"VMEffect1UpImage", L"VMEffect2UpImage",
         L"VMEffect3UpImage", L"VMEffect4UpImage", L"VMEffect1DownImage", L"VMEffect2DownImage",
         L"VMEffect3DownImage", L"VMEffect4DownImage", L"VMFunctionUpImage",
         L"VMFunctionDownImage"});
    return keys;
}

// The image keys that feed controls of the main window, by lower-case name ([About] feeds the
// About form only).
const std::map<std::wstring, size_t>& MainWindowKeyIndex() {
    static const std::map<std::wstring, size_t> index = [] {
        std::map<std::wstring, size_t> byName;
        const auto& keys = SkinImageKeys();
        for (size_t i = 0; i < keys.size(); ++i) {
            if (std::wstring_view(keys[i].section) != kAbout) {
                byName.emplace(LowerCase(keys[i].key), i);
            }
        }
        return byName;
    }();
    return index;
}

const SkinImageRecord& EmptyRecord() {
    static const SkinImageRecord empty;
    return empty;
}

void AddProblem(std::wstring* problem, const std::wstring& text) {
    if (problem != nullptr) tavrin::AddProblem(*problem, text);
}

// One integer item of a value; blank items are not given. `position` counts from 1.
std::optional<int32_t> IntegerItem(const std::wstring& item, size_t position,
                                   std::wstring* problem) {
    if (TrimBlanks(item).empty()) return std::nullopt;
    if (item.size() > kSkinItemCapacity - 1) {
        AddProblem(problem, L"item " + std::to_wstring(position) + L" is longer than " +
                                std::to_wstring(kSkinItemCapacity - 1) + L" characters");
        return std::nullopt;
    }
    const auto number = ParseInteger(TrimBlanks(item));
    if (!number) {
        AddProblem(problem,
                   L"item " + std::to_wstring(position) + L" \"" + item + L"\" is not a number");
    }
    return number;
}

uint32_t LittleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return ReadLittleEndian32(bytes.data() + at);
}

int32_t SignedLittleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<int32_t>(LittleEndian32(bytes, at));
}

struct RegionRectangle {
    int32_t left, top, right, bottom;
};

RegionRectangle RectangleAt(const std::vector<uint8_t>& bytes, size_t at) {
    return {SignedLittleEndian32(bytes, at), SignedLittleEndian32(bytes, at + 4),
            SignedLittleEndian32(bytes, at + 8), SignedLittleEndian32(bytes, at + 12)};
}

bool EndsWith(std::wstring_view text, std::wstring_view ending) {
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

}  // namespace

bool SkinImageRecord::NamesFile() const {
    return !fileName.empty() && fileName != L"(null)";
}

const std::vector<SkinImageKey>& SkinImageKeys() {
    static const std::vector<SkinImageKey> keys = BuildImageKeys();
    return keys;
}

SkinImageRecord ParseSkinImageValue(std::wstring_view value, int32_t defaultPage, bool oldVersion,
                                    std::wstring* problem) {
    SkinImageRecord record;
    record.page = defaultPage;
    if (value.size() > kSkinValueCapacity - 1) {
        AddProblem(problem, L"the value is longer than " + std::to_wstring(kSkinValueCapacity - 1) +
                                L" characters");
        value = value.substr(0, kSkinValueCapacity - 1);
    }
    const std::vector<std::wstring> items = SplitAtCommas(std::wstring(value));
    if (items.size() > kSkinImageItemCount) {
        AddProblem(problem, L"more than " + std::to_wstring(kSkinImageItemCount) + L" items");
    }
    if (!items.empty()) {
        if (items[0].size() > kSkinFileNameCapacity - 1) {
            AddProblem(problem, L"the file name is longer than " +
                                    std::to_wstring(kSkinFileNameCapacity - 1) + L" characters");
        } else {
            record.fileName = items[0];
        }
    }
    struct Field {
        int32_t& value;
        uint8_t* given;
    };
    const Field fields[] = {{record.left, &record.hasLeft},
                            {record.top, &record.hasTop},
                            {record.width, &record.hasWidth},
                            {record.height, &record.hasHeight},
                            {record.page, nullptr}};
    const size_t count = std::min(items.size(), kSkinImageItemCount);
    for (size_t i = 1; i < count; ++i) {
        if (const auto number = IntegerItem(items[i], i + 1, problem)) {
            fields[i - 1].value = *number;
            if (fields[i - 1].given != nullptr) *fields[i - 1].given = 1;
        }
    }
    if (oldVersion && defaultPage != 0) {
        if (record.hasLeft) record.left += kOldVersionLeft;
        if (record.hasTop) record.top += kOldVersionTop;
    }
    return record;
}

const std::array<const wchar_t*, kSwatchCount>& SwatchNames() {
    static constexpr std::array<const wchar_t*, kSwatchCount> names = {
        L"Color01Shape", L"Color02Shape", L"Color03Shape",     L"Color04Shape",     L"Color05Shape",
        L"Color06Shape", L"Color07Shape", L"ColorSingleShape", L"ColorBreatheShape"};
    return names;
}

std::optional<WindowRegion> CheckRegionData(std::vector<uint8_t> bytes, std::wstring& problem) {
    if (bytes.size() < kRegionHeaderSize) {
        problem = L"shorter than the 32-byte header";
        return std::nullopt;
    }
    if (LittleEndian32(bytes, 0) != kRegionHeaderSize) {
        problem = L"header size is not 32";
        return std::nullopt;
    }
    if (LittleEndian32(bytes, 4) != 1) {
        problem = L"not a list of rectangles (type is not 1)";
        return std::nullopt;
    }
    const size_t count = LittleEndian32(bytes, 8);
    if (count > kMaxRegionRectangles) {
        problem = L"more than 1000000 rectangles";
        return std::nullopt;
    }
    const size_t expected = kRegionHeaderSize + count * kRegionRectangleSize;
    if (bytes.size() != expected) {
        problem = (bytes.size() < expected ? L"truncated: " : L"oversized: ") +
                  std::to_wstring(count) + L" rectangles need " + std::to_wstring(expected) +
                  L" bytes, the file has " + std::to_wstring(bytes.size());
        return std::nullopt;
    }
    const RegionRectangle bound = RectangleAt(bytes, 16);
    auto inRange = [](int32_t v) { return v >= 0 && v <= kLargestRegionSide; };
    if (!inRange(bound.left) || !inRange(bound.top) || !inRange(bound.right) ||
        !inRange(bound.bottom) || bound.right <= bound.left || bound.bottom <= bound.top) {
        problem = L"the bounding box is empty or outside 0..16384";
        return std::nullopt;
    }
    for (size_t i = 0; i < count; ++i) {
        const RegionRectangle r = RectangleAt(bytes, kRegionHeaderSize + i * kRegionRectangleSize);
        if (r.right <= r.left || r.bottom <= r.top) {
            problem = L"rectangle " + std::to_wstring(i + 1) + L" is empty";
            return std::nullopt;
        }
        if (r.left < bound.left || r.top < bound.top || r.right > bound.right ||
            r.bottom > bound.bottom) {
            problem = L"rectangle " + std::to_wstring(i + 1) + L" lies outside the bounding box";
            return std::nullopt;
        }
    }
    WindowRegion region;
    region.width = bound.right;
    region.height = bound.bottom;
    region.data = std::move(bytes);
    return region;
}

SkinManager::SkinManager(Platform& platform, MainWindowHost& ui, FormModel& form)
    : platform_(platform), ui_(ui), form_(form), records_(SkinImageKeys().size()) {}

void SkinManager::SetSkinRoot(const std::wstring& topLevel, const std::wstring& resolutionFolder) {
    skinRoot_ = topLevel;
    resolutionFolder_ = resolutionFolder;
    SetSkinName(skinName_);
}

void SkinManager::SetSkinName(const std::wstring& skinName) {
    skinName_ = skinName;
    skinDirectory_ = ScreenSizeFolderOf(platform_.files, skinRoot_, resolutionFolder_, skinName);
}

bool SkinManager::SkinUsable(const std::wstring& skinName, std::wstring& why) {
    const std::wstring folder =
        ScreenSizeFolderOf(platform_.files, skinRoot_, resolutionFolder_, skinName);
    const std::wstring settings = folder + kSkinSettingFileName;
    if (!platform_.files.FileExists(settings)) {
        why = settings + L" is missing";
        return false;
    }
    const SkinImageRecord main = ParseSkinImageValue(
        ReadConfigValue(platform_.profiles, settings, kMain, L"MainFormImage", kSkinValueCapacity),
        0, false, nullptr);
    if (!main.NamesFile()) {
        why = settings + L" names no [Main] MainFormImage";
        return false;
    }
    if (!ReadPictureSize(platform_.files, folder + main.fileName)) {
        why = folder + main.fileName + L" (MainFormImage) is missing or not a picture";
        return false;
    }
    return true;
}

void SkinManager::ChooseUsableSkin() {
    std::wstring why;
    if (SkinUsable(skinName_, why)) return;
    const std::wstring refused = L"Skin: '" + skinName_ + L"' is not usable: " + why;
    for (size_t i = 0; i < menu_.size(); ++i) {
        std::wstring otherWhy;
        if (SkinUsable(WithoutAmpersands(menu_[i].caption), otherWhy)) {
            platform_.debugLog.Write(refused + L"; taking '" + SkinMenuClick(i) + L"'");
            return;
        }
    }
    platform_.debugLog.Write(refused + L"; no skin under " + skinRoot_ + resolutionFolder_ +
                             L" or " + skinRoot_ + L" is usable");
}

std::wstring SkinManager::ReadValue(const wchar_t* section, const wchar_t* key) const {
    return ReadConfigValue(platform_.profiles, SkinDirectory() + kSkinSettingFileName, section, key,
                           kSkinValueCapacity);
}

void SkinManager::Note(const wchar_t* section, const wchar_t* key,
                       const std::wstring& problem) const {
    platform_.debugLog.Write(L"Skin: " + SkinDirectory() + kSkinSettingFileName + L" [" + section +
                             L"] " + key + L": " + problem);
}

SkinManager::NumberItems SkinManager::ReadNumbers(const wchar_t* section, const wchar_t* key,
                                                  size_t count) const {
    NumberItems numbers;
    const std::wstring value = ReadValue(section, key);
    numbers.given = !value.empty();
    const std::vector<std::wstring> items = SplitAtCommas(value);
    std::wstring problem;
    if (items.size() > count) {
        AddProblem(&problem, L"more than " + std::to_wstring(count) + L" items");
    }
    for (size_t i = 0; i < std::min(items.size(), count); ++i) {
        numbers.items[i] = IntegerItem(items[i], i + 1, &problem);
    }
    if (!problem.empty()) Note(section, key, problem);
    return numbers;
}

void SkinManager::LoadSkinSettings(const std::wstring& skinName) {
    SetSkinName(skinName);
    pictureSizes_.clear();
    const auto& keys = SkinImageKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        std::wstring problem;
        records_[i] = ParseSkinImageValue(ReadValue(keys[i].section, keys[i].key),
                                          keys[i].defaultPage, oldVersion_, &problem);
        if (!problem.empty()) Note(keys[i].section, keys[i].key, problem);
    }
    // The panel keys of older skins are still read; nothing uses their values.
    ReadValue(kEffect, L"EffectPanel");
    ReadValue(kMic, L"MicPanel");
    ReadValue(kVirtual, L"VirtualPanel");
    LoadNumbers();
    LoadSwatches();
}

void SkinManager::LoadNumbers() {
    const int32_t radiusBefore = numbers_.virtualRadius;
    numbers_ = SkinNumbers{};
    numbers_.previousVirtualRadius = radiusBefore;
    auto one = [&](const wchar_t* section, const wchar_t* key, int32_t& target) {
        if (const auto value = ReadNumbers(section, key, 1).items[0]) target = *value;
    };
    one(kMain, L"BevelLine", numbers_.bevelLine);
    one(kMain, L"BevelLine2", numbers_.bevelLine2);
    one(kMain, L"BevelLine3", numbers_.bevelLine3);
    one(kMic, L"MicProgressLength", numbers_.micProgressLength);
    one(kLed, L"LEDPageMode", numbers_.ledPageMode);
    one(kLed, L"LEDFastRightSide", numbers_.ledFastRightSide);

    const int32_t leftOffset = oldVersion_ ? kOldVersionLeft : 0;
    const int32_t topOffset = oldVersion_ ? kOldVersionTop : 0;
    const auto eq = ReadNumbers(kEq, L"EQSlider", 2).items;
    if (eq[0]) numbers_.eqTop = *eq[0] + topOffset;
    if (eq[1]) numbers_.eqRange = *eq[1];
    const auto mic = ReadNumbers(kMic, L"MicSlider", 2).items;
    if (mic[0]) numbers_.micTop = *mic[0] + topOffset;
    if (mic[1]) numbers_.micRange = *mic[1];
    const auto centre = ReadNumbers(kVirtual, L"VirtualCenter", 3).items;
    if (centre[0]) numbers_.virtualCenterX = *centre[0] + leftOffset;
    if (centre[1]) numbers_.virtualCenterY = *centre[1] + topOffset;
    if (centre[2]) numbers_.virtualRadius = *centre[2];
    const auto enc = ReadNumbers(kEnc, L"ENCSlider", 2).items;
    numbers_.encTop = enc[0];
    numbers_.encRange = enc[1];
}

// A swatch starts from the layout it has in the window, so that a skin without its key, or
// without some of its items, leaves that part of the layout as it is.
void SkinManager::LoadSwatches() {
    for (size_t i = 0; i < kSwatchCount; ++i) {
        SwatchLayout& swatch = swatches_[i];
        if (Component* control = form_.Find(SwatchNames()[i])) {
            swatch = {control->left, control->top, control->width, control->height, control->shape};
        }
        const NumberItems value = ReadNumbers(kLed, SwatchNames()[i], 5);
        swatchGiven_[i] = value.given;
        int32_t* const fields[] = {&swatch.left, &swatch.top, &swatch.width, &swatch.height};
        for (size_t f = 0; f < 4; ++f) {
            if (value.items[f]) *fields[f] = *value.items[f];
        }
        if (value.items[4]) swatch.shape = ShapeFromCode(*value.items[4]);
    }
}

std::optional<PictureSize> SkinManager::PictureSizeAt(const std::wstring& path) {
    auto found = pictureSizes_.find(path);
    if (found == pictureSizes_.end()) {
        found = pictureSizes_.emplace(path, ReadPictureSize(platform_.files, path)).first;
    }
    return found->second;
}

void SkinManager::ShowSkinImage(const SkinImageRecord& record, Component& image) {
    if (!record.NamesFile()) {
        image.visible = false;
        return;
    }
    const std::wstring path = SkinDirectory() + record.fileName;
    const std::optional<PictureSize> size = PictureSizeAt(path);
    if (!size) {
        // The painter could not show it either: hide the control, and drop the picture it had
        // so that nothing shows it again by mistake.
        image.visible = false;
        image.picture.clear();
        platform_.debugLog.Write(L"Skin: cannot show " + path + L" in " + image.name +
                                 L": missing or not a picture");
        return;
    }
    image.visible = true;
    image.picture = path;
    if (record.hasLeft) image.left = record.left;
    if (record.hasTop) image.top = record.top;
    image.autoSize = false;
    if (record.hasWidth) image.width = record.width;
    if (record.hasHeight) image.height = record.height;
    if (!record.hasWidth && !record.hasHeight) {
        image.autoSize = true;
        image.width = size->width;
        image.height = size->height;
    }
}

const SkinImageRecord& SkinManager::Record(std::wstring_view section, std::wstring_view key) const {
    const auto& keys = SkinImageKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (section == keys[i].section && key == keys[i].key) return records_[i];
    }
    return EmptyRecord();
}

const SkinImageRecord* SkinManager::RecordForControl(const Component& control,
                                                     const SkinLook& look) const {
    if (control.kind != ComponentKind::Image) return nullptr;
    auto byName = [&](std::wstring_view key) -> const SkinImageRecord* {
        const auto& index = MainWindowKeyIndex();
        const auto found = index.find(LowerCase(key));
        return found == index.end() ? nullptr : &records_[found->second];
    };
    auto pair = [&](const std::wstring& stem, bool down, const wchar_t* up,
                    const wchar_t* downEnding) { return byName(stem + (down ? downEnding : up)); };
    const bool down = look.isDown && look.isDown(control);

    // The effect buttons are paired with their pictures by tag, not by name.
    const int32_t effect = control.tag - kEffectButtonTagBase;
    if (effect >= 1 && effect <= kEffectCount) {
        return pair(std::wstring(L"EffectButton") + kEffectNames[effect - 1],
                    effect == look.currentEffect, L"ImageUp", L"ImageDown");
    }
    const std::wstring_view name = control.name;
    if (EqualsIgnoringCase(name, L"MainLeftImage")) {
        if (look.currentPage < 1 || look.currentPage > 4) return &EmptyRecord();
        return byName(L"MainLeftImage" + std::to_wstring(look.currentPage));
    }
    if (EqualsIgnoringCase(name, L"EffectPicImage")) {
        if (look.currentEffect < 1 || look.currentEffect > kEffectCount) return nullptr;
        return byName(std::wstring(L"EffectPic") + kEffectNames[look.currentEffect - 1] + L"Image");
    }
    auto linkRecord = [&](const wchar_t* stem, int32_t link) {
        const wchar_t* mode = link == 1 ? L"Dep" : link == 2 ? L"Inv" : L"Indep";
        return byName(std::wstring(stem) + mode + L"Image");
    };
    if (EqualsIgnoringCase(name, L"D3AlphaImage")) return linkRecord(L"D3Alpha", look.alphaLink);
    if (EqualsIgnoringCase(name, L"D3BetaImage")) return linkRecord(L"D3Beta", look.betaLink);
    if (EqualsIgnoringCase(name, L"DeviceInImage")) {
        return pair(L"DeviceActive", down, L"UpImage", L"DownImage");
    }
    if (EqualsIgnoringCase(name, L"DeviceOutImage")) {
        return pair(L"DeviceUnActive", down, L"UpImage", L"DownImage");
    }
    if (look.gpioLevelMode && EqualsIgnoringCase(name, L"VirtualEnableImage")) {
        return pair(L"VirtualDisable", look.virtualSwitchState == 1, L"ImageUp", L"ImageDown");
    }

    if (const SkinImageRecord* own = byName(name)) return own;
    if (const SkinImageRecord* twoState = pair(std::wstring(name), down, L"Up", L"Down")) {
        return twoState;
    }
    if (EndsWith(name, L"Image")) {
        return pair(std::wstring(name.substr(0, name.size() - 5)), down, L"UpImage", L"DownImage");
    }
    return nullptr;
}

void SkinManager::ApplySkin(const SkinLook& look, int32_t regionCut) {
    for (Component& control : form_.Components()) {
        if (const SkinImageRecord* record = RecordForControl(control, look)) {
            ShowSkinImage(*record, control);
        }
    }
    PlaceSwatches();
    ShowBevels();
    ApplyWindowShape(regionCut);
}

void SkinManager::PlaceSwatches() {
    for (size_t i = 0; i < kSwatchCount; ++i) {
        Component* control = form_.Find(SwatchNames()[i]);
        if (control == nullptr) continue;
        if (swatchGiven_[i]) {
            const SwatchLayout& swatch = swatches_[i];
            control->left = swatch.left;
            control->top = swatch.top;
            control->width = swatch.width;
            control->height = swatch.height;
            control->shape = swatch.shape;
        }
        control->penColour = 0;
        control->penWidth = 1;
    }
}

void SkinManager::ShowBevels() {
    auto show = [&](const wchar_t* name, bool visible) {
        if (Component* bevel = form_.Find(name)) bevel->visible = visible;
    };
    const bool first = numbers_.bevelLine != 0;
    const bool second = numbers_.bevelLine2 != 0;
    // With BevelLine2 = 1 the outer two lines of the second group follow BevelLine3.
    const bool secondOuter = second && !(numbers_.bevelLine2 == 1 && numbers_.bevelLine3 == 0);
    show(L"Bevel2", first);
    show(L"Bevel3", first);
    show(L"Bevel4", first);
    show(L"Bevel5", second);
    show(L"Bevel6", secondOuter);
    show(L"Bevel7", secondOuter);
}

void SkinManager::ApplyWindowShape(int32_t regionCut) {
    if (regionCut != 0) {
        const std::wstring path = SkinDirectory() + kRegionFileName;
        std::vector<uint8_t> bytes;
        std::wstring problem;
        if (platform_.files.ReadWholeFile(path, bytes) != FileReadResult::Ok) {
            platform_.debugLog.Write(L"Skin: cannot read " + path +
                                     L"; the window keeps its shape");
        } else if (auto region = CheckRegionData(std::move(bytes), problem)) {
            ui_.SetWindowRegion(region->data, region->width, region->height);
        } else {
            platform_.debugLog.Write(L"Skin: " + path + L" refused: " + problem +
                                     L"; the window keeps its shape");
        }
    }
    if (const Component* background = form_.Find(L"MainFormImage")) {
        form_.clientWidth = background->width;
        form_.clientHeight = background->height;
        ui_.SetClientSize(background->width, background->height);
    }
}

std::vector<MenuItem> SkinManager::BuildSkinMenu() {
    std::vector<std::wstring> folders =
        ChoosableFolders(platform_.files, skinRoot_, resolutionFolder_);
    SortFolderNames(folders);
    menu_.clear();
    for (size_t i = 0; i < folders.size(); ++i) {
        MenuItem item;
        item.command = kSkinCommandBase + static_cast<uint32_t>(i);
        item.caption = folders[i];
        item.radio = true;
        menu_.push_back(std::move(item));
    }
    // Folder names compare as the file system does: without regard to case.
    const auto current = std::find_if(menu_.begin(), menu_.end(), [&](const MenuItem& item) {
        return EqualsIgnoringCase(item.caption, skinName_);
    });
    if (current != menu_.end())
        current->checked = true;
    else if (!menu_.empty())
        menu_.front().checked = true;
    return menu_;
}

std::wstring SkinManager::SkinMenuClick(size_t index) {
    if (index >= menu_.size()) return skinName_;
    for (MenuItem& item : menu_) item.checked = false;
    menu_[index].checked = true;
    SetSkinName(WithoutAmpersands(menu_[index].caption));
    return skinName_;
}

}  // namespace tavrin
