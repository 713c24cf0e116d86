#pragma once
// Skins: the pictures of the main window, their positions and pages, read from SkinSetting.ini
// of the chosen skin folder, and the window's shape from MainForm_Frame.rgn.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/features/SettingsModel.h"
#include "app/form/ControlTable.h"
#include "app/form/FormModel.h"
#include "app/form/PictureFile.h"
#include "app/shell/MainWindowHost.h"
#include "app/shell/ScreenSizeFolders.h"
#include "ports/Platform.h"

namespace tavrin {

inline constexpr wchar_t kSkinSettingFileName[] = L"SkinSetting.ini";
inline constexpr wchar_t kRegionFileName[] = L"MainForm_Frame.rgn";
inline constexpr size_t kSkinFileNameCapacity = 64;  // 63 characters and the end
inline constexpr size_t kSkinValueCapacity = 256;    // the value buffer of one key
inline constexpr size_t kSkinItemCapacity = 128;     // one item of a value
inline constexpr size_t kSkinImageItemCount = 6;

struct SkinImageRecord {
    std::wstring fileName;  // empty = no picture
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t hasLeft = 0;
    uint8_t hasTop = 0;
    uint8_t hasWidth = 0;
    uint8_t hasHeight = 0;
    int32_t page = 0;

    // Names a file: not empty and not "(null)".
    bool NamesFile() const;
    bool operator==(const SkinImageRecord&) const = default;
};

// One image key of SkinSetting.ini and the page its records default to.
struct SkinImageKey {
    const wchar_t* section;
    const wchar_t* key;
    int32_t defaultPage;
};
// Every image key, section by section, in file order.
const std::vector<SkinImageKey>& SkinImageKeys();

// Parses one image value: file name, left, top, width, height, page, split at commas with empty
// items kept; an empty or blank item leaves its field unset (the page at `defaultPage`).
// `oldVersion` is the OldVersion switch of the configuration: records whose page default is not
// 0 get 392 added to a given left and 104 to a given top. Values that do not fit the record are
// described in `problem` (may be null), and the record keeps what could be read:
// - a value over 255 characters is cut to 255, as the read buffer of one key would cut it;
// - items after the sixth are ignored;
// - a file name over 63 characters is refused: no picture, the other items still count;
// - an integer item over 127 characters, or one that is not a decimal integer, leaves its field
//   unset.
SkinImageRecord ParseSkinImageValue(std::wstring_view value, int32_t defaultPage, bool oldVersion,
                                    std::wstring* problem);

// A colour swatch of the LED page.
struct SwatchLayout {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    ShapeCode shape = ShapeCode::Circle;
};
inline constexpr size_t kSwatchCount = 9;  // Color01Shape..Color07Shape, ColorSingleShape,
                                           // ColorBreatheShape
const std::array<const wchar_t*, kSwatchCount>& SwatchNames();

// The integer keys of a skin, with their defaults.
struct SkinNumbers {
    int32_t bevelLine = 0;
    int32_t bevelLine2 = 0;
    int32_t bevelLine3 = 1;
    int32_t eqTop = 200;  // EQSlider: EQTop, EQRange
    int32_t eqRange = 120;
    int32_t micTop = 208;  // MicSlider: MicTop, MicRange
    int32_t micRange = 120;
    int32_t micProgressLength = 203;
    int32_t virtualCenterX = 560;  // VirtualCenter
    int32_t virtualCenterY = 251;
    int32_t virtualRadius = 110;
    int32_t previousVirtualRadius = 110;
    int32_t ledPageMode = 0;
    int32_t ledFastRightSide = 0;
    std::optional<int32_t> encTop;  // ENCSlider; unchanged when empty
    std::optional<int32_t> encRange;
};

// Region data handed to the system, after checks: the 32-byte header (size 32, type 1 =
// rectangles, count, region size, bounding box at 16..31), then `count` rectangles of 16 bytes
// (left, top, right, bottom), all little-endian 32-bit. Refused, with the reason in `problem`: a
// file shorter than the header, a header size other than 32, another type, more than 1 000 000
// rectangles, a length other than 32 + 16 x count (truncated or oversized), a bounding box that
// is empty or reaches outside 0..16384, a rectangle that is empty or outside the bounding box.
// The region size field is not checked (the system ignores it too).
struct WindowRegion {
    std::vector<uint8_t> data;
    int32_t width = 0;   // offset 24
    int32_t height = 0;  // offset 28
};
std::optional<WindowRegion> CheckRegionData(std::vector<uint8_t> bytes, std::wstring& problem);

// What ApplySkin needs of the window's state.
struct SkinLook {
    int32_t currentPage = 1;
    int32_t currentEffect = 1;  // 1..5
    int32_t alphaLink = -1;
    int32_t betaLink = -1;
    bool gpioLevelMode = false;
    int32_t virtualSwitchState = 0;  // the hardware 7.1 switch, in GPIO level mode
    // Two-state controls: true shows the Down picture.
    std::function<bool(const Component&)> isDown;
};

class SkinManager {
public:
    // `form` is the main window; `oldVersion` the OldVersion switch of the configuration.
    SkinManager(Platform& platform, MainWindowHost& ui, FormModel& form);

    // Program folder + SkinFolderName + "\" and the resolution folder, each with its trailing
    // backslash: a skin is looked for in the resolution folder, then at the top level.
    void SetSkinRoot(const std::wstring& topLevel, const std::wstring& resolutionFolder = L"");
    void SetOldVersion(bool oldVersion) { oldVersion_ = oldVersion; }
    const std::wstring& SkinName() const { return skinName_; }
    // The skin chosen before any is loaded: the menu checks it.
    void SetSkinName(const std::wstring& skinName);
    const std::wstring& SkinDirectory() const { return skinDirectory_; }

    // Usable: its SkinSetting.ini names the window's picture ([Main] MainFormImage) and that file
    // reads as a picture; without it the window would have no face and no size. `why` says what
    // is wrong otherwise.
    bool SkinUsable(const std::wstring& skinName, std::wstring& why);
    // At start, after BuildSkinMenu: keeps the chosen skin when it is usable, else checks the
    // first usable skin of the menu and takes it; the debug log says why. With no usable skin
    // the choice stays.
    void ChooseUsableSkin();

    // Clears every record and reads every key of the skin's SkinSetting.ini.
    void LoadSkinSettings(const std::wstring& skinName);
    // Shows every record in its control by the window's state, places the swatches and sets
    // the window's size (and shape, when `regionCut` is not 0).
    void ApplySkin(const SkinLook& look, int32_t regionCut);
    // Empty file name hides the control; otherwise shows it with its picture and geometry. A
    // picture file that is missing or unreadable hides the control, clears its picture and
    // writes a debug note naming the file and the control.
    void ShowSkinImage(const SkinImageRecord& record, Component& image);

    // The record of a key ([Main] and [About] both have LogoImage: the section decides).
    const SkinImageRecord& Record(std::wstring_view section, std::wstring_view key) const;
    // The record a picture control shows in its current look, or nullptr for controls no key
    // feeds (and for EffectPicImage while the effect is outside 1..5: it keeps its picture).
    // A control takes the key of its own name, else <name>Up / <name>Down, else <name without
    // "Image">UpImage / DownImage (names compared ignoring case; Down when look.isDown says so).
    // Exceptions: the effect buttons go by tag (tag 15 + n shows effect n, Down when n is the
    // current effect), MainLeftImage by page (an empty record on pages 5..8), EffectPicImage by
    // the current effect, D3AlphaImage / D3BetaImage by their link modes, DeviceInImage /
    // DeviceOutImage by the DeviceActive / DeviceUnActive pairs, VirtualEnableImage in GPIO level
    // mode by the switch state. [About] LogoImage feeds no control of the main window.
    const SkinImageRecord* RecordForControl(const Component& control, const SkinLook& look) const;
    const SkinNumbers& Numbers() const { return numbers_; }
    const std::array<SwatchLayout, kSwatchCount>& Swatches() const { return swatches_; }

    // The Skin menu: one radio item per subfolder of the skin root, sorted by name; the current
    // skin (or the first) is checked.
    std::vector<MenuItem> BuildSkinMenu();
    // The menu as built and clicked last.
    const std::vector<MenuItem>& SkinMenu() const { return menu_; }
    // The clicked item's caption without "&" becomes the skin name; the caller reloads and
    // re-applies. Returns the new skin name (the current one for an index outside the menu).
    std::wstring SkinMenuClick(size_t index);

private:
    std::wstring ReadValue(const wchar_t* section, const wchar_t* key) const;
    void Note(const wchar_t* section, const wchar_t* key, const std::wstring& problem) const;
    // Up to `count` integers of one key; `given` is false for an empty value.
    struct NumberItems {
        bool given = false;
        std::array<std::optional<int32_t>, 5> items{};
    };
    NumberItems ReadNumbers(const wchar_t* section, const wchar_t* key, size_t count) const;
    void LoadNumbers();
    void LoadSwatches();
    std::optional<PictureSize> PictureSizeAt(const std::wstring& path);
    void PlaceSwatches();
    void ShowBevels();
    void ApplyWindowShape(int32_t regionCut);

    Platform& platform_;
    MainWindowHost& ui_;
    FormModel& form_;
    std::wstring skinRoot_;
    std::wstring resolutionFolder_;
    std::wstring skinName_;
    std::wstring skinDirectory_;
    bool oldVersion_ = false;
    std::vector<SkinImageRecord> records_;  // parallel to SkinImageKeys()
    SkinNumbers numbers_;
    std::array<SwatchLayout, kSwatchCount> swatches_{};
    std::array<bool, kSwatchCount> swatchGiven_{};  // the skin gave the swatch's value
    // Picture sizes by path, read once per skin load (nullopt: missing or not a picture).
    std::map<std::wstring, std::optional<PictureSize>> pictureSizes_;
    std::vector<MenuItem> menu_;
};

}  // namespace tavrin
