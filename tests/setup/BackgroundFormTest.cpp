#include "setup/BackgroundForm.h"

#include <gtest/gtest.h>

#include "tests/setup/SetupMachine.h"

namespace tavrin::setup {
namespace {

class RecordingBackgroundHost final : public BackgroundHost {
public:
    bool ShowPicture(const std::wstring& path) override {
        calls.push_back(L"picture " + path);
        return pictureLoads;
    }
    void MakeSeeThrough() override { calls.push_back(L"see-through"); }
    void ShowPictureError(const std::wstring& message) override {
        calls.push_back(L"error " + message);
    }
    void ShowWizard() override { calls.push_back(L"wizard"); }

    bool pictureLoads = true;
    std::vector<std::wstring> calls;
};

TEST(BackgroundForm, AConfiguredSizeNeedsBothKeys) {
    const struct {
        const char* install;
        int32_t width, height;
        bool fullScreen;
    } cases[] = {
        {"BackgroundWidth=800\r\nBackgroundHeight=600\r\n", 800, 600, false},
        {"BackgroundWidth=800\r\n", 1280, 1024, true},
        {"BackgroundWidth=800\r\nBackgroundHeight=0\r\n", 1280, 1024, true},
        {"BackgroundWidth=wide\r\nBackgroundHeight=600\r\n", 1280, 1024, true},
        {"", 1280, 1024, true},
    };
    for (const auto& c : cases) {
        test::SetupMachine machine;
        machine.files.AddTextFile(test::kShippedConfig, std::string("[Install]\r\n") + c.install);
        const TBackgroundForm form(machine.common, 1280, 1024);
        EXPECT_EQ(form.Width(), c.width) << c.install;
        EXPECT_EQ(form.Height(), c.height) << c.install;
        EXPECT_EQ(form.FullScreen(), c.fullScreen) << c.install;
        EXPECT_EQ(form.Left(), 0);
        EXPECT_EQ(form.Top(), 0);
        EXPECT_EQ(form.SetupFolder(), test::kSetupFolder);
        EXPECT_TRUE(machine.log.Contains(L"==> TBackgroundForm::TBackgroundForm\n"));
    }
}

TEST(BackgroundForm, PictureUnderTheResolutionFolderElseBesideTheSetup) {
    constexpr char kConfig[] =
        "[Skin]\r\nSkinFolderName=Skin\r\n[Install]\r\nInstallBackgroundFileName=Back.bmp\r\n";
    const struct {
        int32_t width, height;
        std::vector<const wchar_t*> pictures;
        const wchar_t* shown;
    } cases[] = {
        {2560,
         1440,
         {L"C:\\Setup\\Skin\\1920x1080\\Back.bmp", L"C:\\Setup\\Back.bmp"},
         L"C:\\Setup\\Skin\\1920x1080\\Back.bmp"},
        {1280,
         1024,
         {L"C:\\Setup\\Skin\\1366x768\\Back.bmp"},
         L"C:\\Setup\\Skin\\1366x768\\Back.bmp"},
        {1280,
         1024,
         {L"C:\\Setup\\Skin\\1920x1080\\Back.bmp", L"C:\\Setup\\Back.bmp"},
         L"C:\\Setup\\Back.bmp"},
        {800, 600, {L"C:\\Setup\\Skin\\Back.bmp"}, L"C:\\Setup\\Skin\\Back.bmp"},
    };
    for (const auto& c : cases) {
        test::SetupMachine machine;
        machine.files.AddTextFile(test::kShippedConfig, kConfig);
        for (const wchar_t* picture : c.pictures) machine.files.AddTextFile(picture, "BM");
        TBackgroundForm form(machine.common, c.width, c.height);
        RecordingBackgroundHost host;
        form.FormShow(host);
        EXPECT_EQ(host.calls,
                  (std::vector<std::wstring>{std::wstring(L"picture ") + c.shown, L"wizard"}));
    }
}

TEST(BackgroundForm, NoPictureNamedOrOneThatCannotLoadStillShowsTheWizard) {
    test::SetupMachine machine;
    machine.files.AddTextFile(test::kShippedConfig, "[Install]\r\nInstallBackgroundFileName=\r\n");
    TBackgroundForm plain(machine.common, 1280, 1024);
    RecordingBackgroundHost host;
    plain.FormShow(host);
    EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"see-through", L"wizard"}));

    machine.files.AddTextFile(test::kShippedConfig,
                              "[Install]\r\nInstallBackgroundFileName=Back.bmp\r\n");
    TBackgroundForm broken(machine.common, 1280, 1024);
    RecordingBackgroundHost failing;
    failing.pictureLoads = false;
    broken.FormShow(failing);
    EXPECT_EQ(failing.calls,
              (std::vector<std::wstring>{L"picture C:\\Setup\\Back.bmp",
                                         L"error The picture C:\\Setup\\Back.bmp cannot be loaded.",
                                         L"wizard"}));
}

}  // namespace
}  // namespace tavrin::setup
