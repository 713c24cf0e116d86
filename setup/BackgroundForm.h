#pragma once
// The borderless window behind the wizard: a picture from the setup folder chosen by screen
// size, or nothing at all. It is the program's main form: closing it ends the program.
#include <cstdint>
#include <string>

#include "common/ScreenSize.h"
#include "ports/Platform.h"

namespace tavrin::setup {

// What the background form needs of the windowing system.
class BackgroundHost {
public:
    virtual ~BackgroundHost() = default;
    // Stretches the picture over the window; false when it cannot be loaded.
    virtual bool ShowPicture(const std::wstring& path) = 0;
    // No picture: the whole window becomes see-through.
    virtual void MakeSeeThrough() = 0;
    virtual void ShowPictureError(const std::wstring& message) = 0;
    virtual void ShowWizard() = 0;
};

class TBackgroundForm {
public:
    static constexpr int32_t kDesignWidth = 651;
    static constexpr int32_t kDesignHeight = 338;

    TBackgroundForm(Platform& platform, int32_t screenWidth, int32_t screenHeight);

    // Shows the picture, or makes the window see-through, then shows the wizard; a picture that
    // cannot be loaded is reported and the wizard still appears.
    void FormShow(BackgroundHost& host);

    // The picture FormShow looks for: under the skin's resolution folder, else beside the setup
    // program. Empty when no picture is named.
    std::wstring PicturePath() const;

    std::wstring SetupFolder() const { return setupFolder_; }
    int32_t Left() const { return left_; }
    int32_t Top() const { return top_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool FullScreen() const { return fullScreen_; }
    const std::wstring& Resolution() const { return resolutionFolder_; }

private:
    std::wstring ConfigFilePath() const;

    Platform& platform_;
    std::wstring setupFolder_;
    int32_t left_ = 0;
    int32_t top_ = 0;
    int32_t width_ = kDesignWidth;
    int32_t height_ = kDesignHeight;
    bool fullScreen_ = false;
    std::wstring resolutionFolder_;
};

}  // namespace tavrin::setup
