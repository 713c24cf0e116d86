#include "app/features/About.h"

#include <gtest/gtest.h>

#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

class AboutTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        about.emplace(*context);
        window.Control(L"Menu3Label").caption = L"About";
    }
    void Release() {
        about->Release(*FindControlRowByTag(control_tag::kAbout), window.Control(L"Menu3Image"));
    }
    std::optional<About> about;
};

// The form takes the About button's caption, the two texts of the language file and the logo of
// the skin's [About] section; a click on the address hands it to the shell.
TEST_F(AboutTest, TheFormShowsTheTextsTheLogoAndOpensTheAddress) {
    window.onModalForm = [](const FormModel& form, const auto& clicked) {
        clicked(*form.Find(L"WebLabel"));
        clicked(*form.Find(L"AboutLabel"));
    };
    Release();
    ASSERT_EQ(window.modalForms.size(), 1u);
    const FormModel& form = window.modalForms[0];
    EXPECT_EQ(window.modalCaptions[0], L"About");
    EXPECT_EQ(form.clientWidth, 479);
    EXPECT_EQ(form.clientHeight, 89);
    EXPECT_EQ(form.Find(L"AboutLabel")->caption, L"record LabelAbout");
    EXPECT_EQ(form.Find(L"WebLabel")->caption, L"record LabelWeb");
    EXPECT_EQ(form.Find(L"LOGOZRImage")->picture, L"About/LogoImage");
    const Component& logo = *form.Find(L"LOGOZRImage");
    EXPECT_EQ((std::array{logo.left, logo.top, logo.width, logo.height}),
              (std::array{16, 20, 57, 49}));
    EXPECT_TRUE(logo.stretch);
    EXPECT_EQ(ui.opened, std::vector<std::wstring>{L"record LabelWeb"}) << "only the address opens";
}

TEST_F(AboutTest, WithoutAnActiveDeviceTheButtonOpensNothing) {
    discovery->m_bDeviceActive = 0;
    Release();
    EXPECT_TRUE(window.modalForms.empty());
}

}  // namespace
}  // namespace tavrin
