// The built vendor SDK library, loaded the way the product loads it: natively as the shared
// object, under Wine as the DLL through LoadLibraryW and GetProcAddress.
#include <gtest/gtest.h>

#include "app/device/VendorSdk.h"
#include "tests/support/HostPorts.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

using test::HostDynamicLibrary;

class RecordingErrorBox final : public ErrorBox {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override {
        texts.push_back(text);
        captions.push_back(caption);
    }
    std::vector<std::wstring> texts;
    std::vector<std::wstring> captions;
};

TEST(VendorSdkLibrary, ExportsEveryNameUndecorated) {
    HostDynamicLibrary library;
    ASSERT_TRUE(library.Load(kVendorSdkFileName)) << library.LastError();
    for (const std::string_view name : kVendorSdkEntryPointNames) {
        EXPECT_NE(library.Symbol(name.data()), nullptr) << name;
    }
    EXPECT_EQ(library.Symbol("DLLZR_NoSuchEntry"), nullptr);
    EXPECT_EQ(library.LastError(), 127u);
}

TEST(VendorSdkLibrary, BindsAndDrivesTheVirtualHeadset) {
    HostDynamicLibrary library;
    test::RecordingDebugLog log;
    RecordingErrorBox box;
    VendorSdk sdk(library, log);
    ASSERT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, box), 0);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_TRUE(box.texts.empty());

    EXPECT_NE(sdk.Invoke<&VendorSdkTable::DLLZR_SetActive_Device>(0x2B7A, 0x9999), 0);
    ASSERT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_SetActive_Device>(0x2B7A, 0x5801), 0);

    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_ConfigEQ_ById>(0), 0);
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_SetEQ_OnOff_ById>(1, 0), 0);
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_Set3D_OnOff_ById>(0, 0), 0);
    int32_t eq = -1;
    int32_t threeD = -1;
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_IsEQ_Enable_ById>(&eq, 0), 0);
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_Is3D_Enable_ById>(&threeD, 0), 0);
    EXPECT_EQ(eq, 1);
    EXPECT_EQ(threeD, 0);

    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_Write_Register_ById>(0x230, 0x5A, 0), 0);
    uint8_t value = 0;
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_Read_Register_ById>(0x230, &value, 0), 0);
    EXPECT_EQ(value, 0x5A);

    // Arguments of every width arrive intact through the calling convention.
    uint8_t eeprom = 0;
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_Read_I2C_ById>(0x50, 0x8D, &eeprom, 1, 100, 0), 0);
    EXPECT_EQ(eeprom, 0x01);
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_Scalar>(2.0f), 0);
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_SetRGB_Color_ById>(58, 1, 3, 245, 10, 245, 50, 0),
              0);
    EXPECT_NE(sdk.Invoke<&VendorSdkTable::DLLZR_SetRGB_Color_ById>(58, 1, 3, 245, 10, 245, 50, 1),
              0)
        << "device index 1 addresses no device";

    std::vector<uint8_t> request(286, 0);
    uint32_t size = 286;
    request[0] = 4;
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_AudioCommand>(request.data(), &size), 0);
    size = 100;
    EXPECT_NE(sdk.Invoke<&VendorSdkTable::DLLZR_AudioCommand>(request.data(), &size), 0);
}

TEST(VendorSdkLibrary, MissingLibraryReportsTheSystemError) {
    HostDynamicLibrary library;
    test::RecordingDebugLog log;
    RecordingErrorBox box;
    VendorSdk sdk(library, log);
    EXPECT_EQ(sdk.BindVendorSdk(L"DLLZR_NotInstalled.dll", box), kVendorSdkLoadFailed);
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.captions[0], L"Error");
    EXPECT_EQ(box.texts[0].rfind(L"error 126: ", 0), 0u) << box.texts[0].c_str();
    EXPECT_GT(box.texts[0].size(), std::wstring(L"error 126: ").size()) << "the system's text";
    EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace tavrin
