#include "setup/BackgroundForm.h"

#include "common/AudioConfig.h"

namespace tavrin::setup {
namespace {

std::wstring FolderOf(const std::wstring& path) {
    const size_t split = path.find_last_of(L'\\');
    return split == std::wstring::npos ? L"" : path.substr(0, split + 1);
}

}  // namespace

TBackgroundForm::TBackgroundForm(Platform& platform, int32_t screenWidth, int32_t screenHeight)
    : platform_(platform) {
    platform_.debugLog.Write(L"==> TBackgroundForm::TBackgroundForm\n");
    // 1. Where the setup program lies, and the screen's size class.
    setupFolder_ = FolderOf(platform_.environment.ProgramPath());
    resolutionFolder_ = ResolutionFolder(screenWidth, screenHeight);
    // 2. and 3. A configured size, or the whole screen.
    const ConfigFile config(platform_.profiles, ConfigFilePath());
    const int32_t width = config.Integer(config_keys::kBackgroundWidth);
    const int32_t height = config.Integer(config_keys::kBackgroundHeight);
    if (width != 0 && height != 0) {
        width_ = width;
        height_ = height;
        fullScreen_ = false;
    } else {
        left_ = 0;
        top_ = 0;
        width_ = screenWidth;
        height_ = screenHeight;
        fullScreen_ = true;
    }
}

std::wstring TBackgroundForm::ConfigFilePath() const {
    return setupFolder_ + kAudioConfigFileName;
}

std::wstring TBackgroundForm::PicturePath() const {
    const ConfigFile config(platform_.profiles, ConfigFilePath());
    const std::wstring fileName = config.Text(config_keys::kInstallBackgroundFileName);
    if (fileName.empty()) return L"";
    const std::wstring skinFolder = config.Text(config_keys::kSkinFolderName);
    const std::wstring underSkin = setupFolder_ + skinFolder + L"\\" + resolutionFolder_ + fileName;
    if (platform_.files.FileExists(underSkin)) return underSkin;
    // Without the skin's folder the lookup ends beside the setup program.
    return setupFolder_ + fileName;
}

void TBackgroundForm::FormShow(BackgroundHost& host) {
    platform_.debugLog.Write(L"==> TBackgroundForm::FormShow\n");
    const std::wstring picture = PicturePath();
    if (picture.empty()) {
        host.MakeSeeThrough();
    } else if (!host.ShowPicture(picture)) {
        host.ShowPictureError(L"The picture " + picture + L" cannot be loaded.");
    }
    host.ShowWizard();
}

}  // namespace tavrin::setup
