#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/device/VendorSdk.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

std::atomic<int> callsInside{0};
std::atomic<bool> overlapped{false};

int32_t TAVRIN_SDK_CALL SlowConfigEq(uint8_t) {
    if (callsInside.fetch_add(1) != 0) overlapped = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    callsInside.fetch_sub(1);
    return 0;
}

int32_t TAVRIN_SDK_CALL SetActiveDeviceEcho(uint16_t vid, uint16_t pid) {
    return vid == 0x2B7A && pid == 0x5801 ? 0 : 9;
}

// A library that exports every name except the hidden ones and records its lookups.
class FakeLibrary final : public DynamicLibrary {
public:
    bool Load(const std::wstring& fileName) override {
        loadedName = fileName;
        return loads;
    }
    void* Symbol(const char* name) override {
        lookups.emplace_back(name);
        if (hidden.count(name) != 0) return nullptr;
        if (const auto found = functions.find(name); found != functions.end()) {
            return found->second;
        }
        return &placeholder;
    }
    uint32_t LastError() override { return error; }
    std::wstring ErrorText(uint32_t code) override {
        return code == 126 ? L"The specified module could not be found.\r\n" : L"";
    }

    bool loads = true;
    uint32_t error = 0;
    std::wstring loadedName;
    std::set<std::string> hidden;
    std::map<std::string, void*> functions;
    std::vector<std::string> lookups;
    char placeholder = 0;
};

class RecordingErrorBox final : public ErrorBox {
public:
    void Show(const std::wstring& text, const std::wstring& caption) override {
        shown.emplace_back(caption, text);
    }
    std::vector<std::pair<std::wstring, std::wstring>> shown;
};

class VendorSdkBinding : public ::testing::Test {
protected:
    FakeLibrary library;
    test::RecordingDebugLog log;
    RecordingErrorBox box;
    VendorSdk sdk{library, log};
};

TEST(VendorSdkNames, BindingOrderIsTheVendorList) {
    ASSERT_EQ(kVendorSdkEntryPointCount, 273u);
    EXPECT_EQ(kVendorSdkEntryPointNames[0], "DLLZR_GetAP_VersionW");
    EXPECT_EQ(kVendorSdkEntryPointNames[2], "DLLZR_CheckDriver");
    EXPECT_EQ(kVendorSdkEntryPointNames[272], "DLLZR_UART_SetOnUartReceiveCallback_ById");
    const std::set<std::string_view> distinct(kVendorSdkEntryPointNames.begin(),
                                              kVendorSdkEntryPointNames.end());
    EXPECT_EQ(distinct.size(), kVendorSdkEntryPointCount);
}

TEST_F(VendorSdkBinding, CompleteLibraryBindsEveryNameInOrder) {
    EXPECT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, box), 0);
    EXPECT_EQ(library.loadedName, L"DLLZR_UsbAudio58xx_x32.dll");
    ASSERT_EQ(library.lookups.size(), kVendorSdkEntryPointCount);
    for (size_t i = 0; i < kVendorSdkEntryPointCount; ++i) {
        EXPECT_EQ(library.lookups[i], kVendorSdkEntryPointNames[i]) << "position " << i;
    }
    EXPECT_TRUE(log.lines.empty());
    EXPECT_TRUE(box.shown.empty());
    sdk.WithTable([](const VendorSdkTable& table) {
        EXPECT_NE(table.DLLZR_GetAP_VersionW, nullptr);
        EXPECT_NE(table.DLLZR_UART_SetOnUartReceiveCallback_ById, nullptr);
    });
}

struct MissingCase {
    const char* name;
    int number;
    const wchar_t* line;  // null: no debug line
};

class VendorSdkMissingEntry : public VendorSdkBinding,
                              public ::testing::WithParamInterface<MissingCase> {};

TEST_P(VendorSdkMissingEntry, StopsAtTheFirstMissingNameWithItsNumber) {
    const MissingCase& c = GetParam();
    library.hidden = {c.name};
    EXPECT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, box), c.number);
    EXPECT_EQ(library.lookups.size(), static_cast<size_t>(c.number - 1))
        << "no lookups after the missing name";
    EXPECT_EQ(library.lookups.back(), c.name);
    if (c.line == nullptr) {
        EXPECT_TRUE(log.lines.empty());
    } else {
        EXPECT_EQ(log.lines, std::vector<std::wstring>{c.line});
    }
    EXPECT_TRUE(box.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, VendorSdkMissingEntry,
    ::testing::Values(MissingCase{"DLLZR_GetAP_VersionW", 2, nullptr},
                      MissingCase{"DLLZR_GetDLL_VersionW", 3, nullptr},
                      MissingCase{"DLLZR_CheckDriver", 4, L"***** DLLZR_CheckDriver *****\n"},
                      MissingCase{"DLLZR_SetActive_Device", 7,
                                  L"***** DLLZR_SetActive_Device *****\n"},
                      MissingCase{"DLLZR_UART_SetOnUartReceiveCallback_ById", 274,
                                  L"***** DLLZR_UART_SetOnUartReceiveCallback_ById *****\n"}));

TEST_F(VendorSdkBinding, EarlierMissingNameWinsAndLaterSlotsStayEmpty) {
    library.hidden = {"DLLZR_AudioCommand", "DLLZR_SetEQ_OnOff_ById"};
    EXPECT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, box), 13);
    EXPECT_EQ(log.lines, std::vector<std::wstring>{L"***** DLLZR_AudioCommand *****\n"});
    sdk.WithTable([](const VendorSdkTable& table) {
        EXPECT_NE(table.DLLZR_SetActive_Device, nullptr);
        EXPECT_EQ(table.DLLZR_AudioCommand, nullptr);
        EXPECT_EQ(table.DLLZR_AudioGetOnOff, nullptr);
    });
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_ConfigEQ_ById>(0), kVendorSdkNotBound);
}

TEST_F(VendorSdkBinding, LoadFailureShowsTheSystemErrorAndGivesOne) {
    library.loads = false;
    library.error = 126;
    EXPECT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, box), kVendorSdkLoadFailed);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].first, L"Error");
    EXPECT_EQ(box.shown[0].second, L"error 126: The specified module could not be found.\r\n");
    EXPECT_TRUE(library.lookups.empty());
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(FormatOpenFailure(kVendorSdkLoadFailed),
              L"***** Open_DLLZR_UsbAudio58xx, ret = 1 *****");
    EXPECT_EQ(FormatOpenFailure(274), L"***** Open_DLLZR_UsbAudio58xx, ret = 274 *****");
}

TEST(VendorSdkLoadError, CodePrintsAsSignedDecimal) {
    EXPECT_EQ(FormatLoadError(0x80070005u, L"Access is denied."),
              L"error -2147024891: Access is denied.");
    EXPECT_EQ(FormatLoadError(193, L""), L"error 193: ");
}

TEST_F(VendorSdkBinding, TypedSlotsCallTheLibraryUnderOneLock) {
    library.functions["DLLZR_ConfigEQ_ById"] = reinterpret_cast<void*>(&SlowConfigEq);
    library.functions["DLLZR_SetActive_Device"] = reinterpret_cast<void*>(&SetActiveDeviceEcho);
    ASSERT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, box), 0);
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_SetActive_Device>(0x2B7A, 0x5801), 0);
    EXPECT_EQ(sdk.Invoke<&VendorSdkTable::DLLZR_SetActive_Device>(0x2B7A, 0x5802), 9);

    overlapped = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this] {
            for (int i = 0; i < 20; ++i) sdk.Invoke<&VendorSdkTable::DLLZR_ConfigEQ_ById>(0);
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_FALSE(overlapped) << "two SDK calls ran at the same time";
}

}  // namespace
}  // namespace tavrin
