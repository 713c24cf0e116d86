// The setup program's Windows side under Wine: its payloads as built, shortcuts, processes and
// the device list.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "setup/Deployment.h"
#include "setup/win32/Win32Payloads.h"
#include "setup/win32/Win32SetupSystem.h"
#include "tests/support/TempFolder.h"

namespace tavrin::setup {
namespace {

std::wstring TestFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::vector<uint8_t> FileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

// TavrinSetup.exe of this build, opened as data.
class SetupModule {
public:
    SetupModule()
        : module_(LoadLibraryExW((TestFolder() + L"TavrinSetup.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE)) {}
    ~SetupModule() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    SetupModule(const SetupModule&) = delete;
    SetupModule& operator=(const SetupModule&) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

TEST(SetupPayloads, TheControlApplicationIsCarriedByteForByte) {
    SetupModule setup;
    ASSERT_NE(setup.Get(), nullptr);
    Win32Payloads payloads(setup.Get());
    const auto application = FindPayload(payloads, kApplicationId, kAppPayload);
    ASSERT_TRUE(application.has_value());
    const std::vector<uint8_t> built = FileBytes(TestFolder() + L"Tavrin.exe");
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(std::vector<uint8_t>(application->data, application->data + application->size),
              built);
    const auto uninstaller = FindPayload(payloads, kUninstallerId, kUninstallPayload);
    ASSERT_TRUE(uninstaller.has_value());
    EXPECT_EQ(std::vector<uint8_t>(uninstaller->data, uninstaller->data + uninstaller->size),
              FileBytes(TestFolder() + L"TavrinUninstall.exe"));
}

TEST(SetupPayloads, EveryPayloadIsThereAndTypesMatchWithoutCase) {
    SetupModule setup;
    Win32Payloads payloads(setup.Get());
    const std::pair<uint16_t, const wchar_t*> expected[] = {
        {102, L"DRIVER"},      {103, L"Driver"}, {105, L"Service"},
        {106, L"SERVICE"},     {107, L"APP"},    {108, L"UNINSTALL"},
        {110, L"WindowPatch"}, {111, L"app"},    {112, L"APP"},
    };
    for (const auto& [identifier, type] : expected) {
        EXPECT_TRUE(FindPayload(payloads, identifier, type).has_value()) << identifier;
    }
    EXPECT_FALSE(FindPayload(payloads, 104, L"DRIVER").has_value());
    EXPECT_FALSE(FindPayload(payloads, 107, L"SERVICE").has_value());
}

TEST(Win32SetupSystem, ShortcutsPointAtTheirTarget) {
    test::TempFolder folder;
    Win32SetupSystem system;
    const std::wstring link = folder.Path() + L"Tavrin Audio.lnk";
    const std::wstring target = TestFolder() + L"Tavrin.exe";
    ASSERT_TRUE(system.CreateShortcut(link, target));
    const std::vector<uint8_t> bytes = FileBytes(link);
    ASSERT_GT(bytes.size(), 0x4Cu);
    EXPECT_EQ(bytes[0], 0x4C) << "a shell link header";
    EXPECT_FALSE(system.CreateShortcut(folder.Path() + L"missing\\x.lnk", target));
}

TEST(Win32SetupSystem, AProcessEndsInTimeOrNot) {
    Win32SetupSystem system;
    const std::wstring marker = L"\"" + TestFolder() + L"tavrin_marker_program.exe\"";
    EXPECT_EQ(system.RunProcess(marker + L" x", 20000), ProcessRun::Ended);
    EXPECT_EQ(system.RunProcess(marker + L" -wait 3000 x", 300), ProcessRun::TimedOut);
    EXPECT_EQ(system.RunProcess(L"C:\\nowhere\\missing.exe /Service", 1000),
              ProcessRun::NotStarted);
}

TEST(Win32SetupSystem, NoOldDriverAndADeviceListUnderWine) {
    Win32SetupSystem system;
    EXPECT_FALSE(system.DeviceOpens(L"\\\\.\\Class#UsbAudioExtension&2B7A&00"));
    const auto devices = system.OpenDeviceList();
    ASSERT_NE(devices, nullptr);
    for (size_t i = 0; i < devices->Devices().size(); ++i) {
        std::vector<std::wstring> filters;
        devices->LowerFilters(i, filters);  // readable for every device, present or not
    }
}

}  // namespace
}  // namespace tavrin::setup
