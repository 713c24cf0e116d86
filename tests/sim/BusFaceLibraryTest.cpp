// The bus face of the built library, loaded the way the product loads it (under Wine through
// LoadLibraryW and GetProcAddress), driven together with the vendor SDK face.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/device/VendorSdk.h"
#include "sim/BusFaceApi.h"
#include "tests/support/HostPorts.h"
#include "tests/support/TempFolder.h"

#ifndef TAVRIN_SIM_SCRIPTS_DIR
#error "the tests' build names the folder of the checked-in scripts"
#endif

namespace tavrin {
namespace {

using test::HostDynamicLibrary;

constexpr wchar_t kDriverPath[] = L"\\\\.\\Class#UsbAudioExtension&2B7A&5801";

// Every function of the two faces that these tests call, looked up by name.
struct Library {
    Library() {
        loaded = library.Load(kVendorSdkFileName);
        if (!loaded) return;
#define TAVRIN_LOOKUP(name) name = reinterpret_cast<name##_Fn>(library.Symbol(#name));
        TAVRIN_LOOKUP(TavrinSim_GetDeviceHardwareId)
        TAVRIN_LOOKUP(TavrinSim_GetHidInterfacePath)
        TAVRIN_LOOKUP(TavrinSim_OpenHid)
        TAVRIN_LOOKUP(TavrinSim_CloseHid)
        TAVRIN_LOOKUP(TavrinSim_GetHidAttributes)
        TAVRIN_LOOKUP(TavrinSim_GetHidCaps)
        TAVRIN_LOOKUP(TavrinSim_SetOutputReport)
        TAVRIN_LOOKUP(TavrinSim_GetInputReport)
        TAVRIN_LOOKUP(TavrinSim_OpenDriver)
        TAVRIN_LOOKUP(TavrinSim_CloseDriver)
        TAVRIN_LOOKUP(TavrinSim_DriverControl)
        TAVRIN_LOOKUP(TavrinSim_GetCaptureEndpoint)
        TAVRIN_LOOKUP(TavrinSim_GetCaptureVolumeStep)
        TAVRIN_LOOKUP(TavrinSim_SetCaptureVolumeScalar)
        TAVRIN_LOOKUP(TavrinSim_GetCaptureMute)
        TAVRIN_LOOKUP(TavrinSim_SetCaptureMute)
        TAVRIN_LOOKUP(TavrinSim_GetCaptureAutoGain)
        TAVRIN_LOOKUP(TavrinSim_SetCaptureAutoGain)
        TAVRIN_LOOKUP(TavrinSim_GetCapturePeak)
        TAVRIN_LOOKUP(TavrinSim_Reset)
        TAVRIN_LOOKUP(TavrinSim_Plug)
        TAVRIN_LOOKUP(TavrinSim_Unplug)
        TAVRIN_LOOKUP(TavrinSim_SetGpioLine)
        TAVRIN_LOOKUP(TavrinSim_RunScript)
        TAVRIN_LOOKUP(TavrinSim_WriteTrace)
        TAVRIN_LOOKUP(TavrinSim_ClearTrace)
        TAVRIN_LOOKUP(TavrinSim_OpenHandleCount)
        TAVRIN_LOOKUP(DLLZR_SetActive_Device)
        TAVRIN_LOOKUP(DLLZR_SetEQ_OnOff_ById)
        TAVRIN_LOOKUP(DLLZR_IsEQ_Enable_ById)
        TAVRIN_LOOKUP(DLLZR_Read_Register_ById)
        TAVRIN_LOOKUP(DLLZR_Write_Register_ById)
        TAVRIN_LOOKUP(DLLZR_ScanButton_ById)
#undef TAVRIN_LOOKUP
    }

    bool AllFound() const {
        const void* const all[] = {
            reinterpret_cast<const void*>(TavrinSim_GetDeviceHardwareId),
            reinterpret_cast<const void*>(TavrinSim_GetHidInterfacePath),
            reinterpret_cast<const void*>(TavrinSim_OpenHid),
            reinterpret_cast<const void*>(TavrinSim_CloseHid),
            reinterpret_cast<const void*>(TavrinSim_GetHidAttributes),
            reinterpret_cast<const void*>(TavrinSim_GetHidCaps),
            reinterpret_cast<const void*>(TavrinSim_SetOutputReport),
            reinterpret_cast<const void*>(TavrinSim_GetInputReport),
            reinterpret_cast<const void*>(TavrinSim_OpenDriver),
            reinterpret_cast<const void*>(TavrinSim_CloseDriver),
            reinterpret_cast<const void*>(TavrinSim_DriverControl),
            reinterpret_cast<const void*>(TavrinSim_GetCaptureEndpoint),
            reinterpret_cast<const void*>(TavrinSim_GetCaptureVolumeStep),
            reinterpret_cast<const void*>(TavrinSim_SetCaptureVolumeScalar),
            reinterpret_cast<const void*>(TavrinSim_GetCaptureMute),
            reinterpret_cast<const void*>(TavrinSim_SetCaptureMute),
            reinterpret_cast<const void*>(TavrinSim_GetCaptureAutoGain),
            reinterpret_cast<const void*>(TavrinSim_SetCaptureAutoGain),
            reinterpret_cast<const void*>(TavrinSim_GetCapturePeak),
            reinterpret_cast<const void*>(TavrinSim_Reset),
            reinterpret_cast<const void*>(TavrinSim_Plug),
            reinterpret_cast<const void*>(TavrinSim_Unplug),
            reinterpret_cast<const void*>(TavrinSim_SetGpioLine),
            reinterpret_cast<const void*>(TavrinSim_RunScript),
            reinterpret_cast<const void*>(TavrinSim_WriteTrace),
            reinterpret_cast<const void*>(TavrinSim_ClearTrace),
            reinterpret_cast<const void*>(TavrinSim_OpenHandleCount),
            reinterpret_cast<const void*>(DLLZR_SetActive_Device),
            reinterpret_cast<const void*>(DLLZR_SetEQ_OnOff_ById),
            reinterpret_cast<const void*>(DLLZR_IsEQ_Enable_ById),
            reinterpret_cast<const void*>(DLLZR_Read_Register_ById),
            reinterpret_cast<const void*>(DLLZR_Write_Register_ById),
            reinterpret_cast<const void*>(DLLZR_ScanButton_ById),
        };
        for (const void* function : all) {
            if (function == nullptr) return false;
        }
        return true;
    }

    uint32_t OpenHandles() {
        uint32_t count = 99;
        EXPECT_EQ(TavrinSim_OpenHandleCount(&count), 0);
        return count;
    }

    HostDynamicLibrary library;
    bool loaded = false;
#define TAVRIN_SLOT(name) name##_Fn name = nullptr;
    TAVRIN_SLOT(TavrinSim_GetDeviceHardwareId)
    TAVRIN_SLOT(TavrinSim_GetHidInterfacePath)
    TAVRIN_SLOT(TavrinSim_OpenHid)
    TAVRIN_SLOT(TavrinSim_CloseHid)
    TAVRIN_SLOT(TavrinSim_GetHidAttributes)
    TAVRIN_SLOT(TavrinSim_GetHidCaps)
    TAVRIN_SLOT(TavrinSim_SetOutputReport)
    TAVRIN_SLOT(TavrinSim_GetInputReport)
    TAVRIN_SLOT(TavrinSim_OpenDriver)
    TAVRIN_SLOT(TavrinSim_CloseDriver)
    TAVRIN_SLOT(TavrinSim_DriverControl)
    TAVRIN_SLOT(TavrinSim_GetCaptureEndpoint)
    TAVRIN_SLOT(TavrinSim_GetCaptureVolumeStep)
    TAVRIN_SLOT(TavrinSim_SetCaptureVolumeScalar)
    TAVRIN_SLOT(TavrinSim_GetCaptureMute)
    TAVRIN_SLOT(TavrinSim_SetCaptureMute)
    TAVRIN_SLOT(TavrinSim_GetCaptureAutoGain)
    TAVRIN_SLOT(TavrinSim_SetCaptureAutoGain)
    TAVRIN_SLOT(TavrinSim_GetCapturePeak)
    TAVRIN_SLOT(TavrinSim_Reset)
    TAVRIN_SLOT(TavrinSim_Plug)
    TAVRIN_SLOT(TavrinSim_Unplug)
    TAVRIN_SLOT(TavrinSim_SetGpioLine)
    TAVRIN_SLOT(TavrinSim_RunScript)
    TAVRIN_SLOT(TavrinSim_WriteTrace)
    TAVRIN_SLOT(TavrinSim_ClearTrace)
    TAVRIN_SLOT(TavrinSim_OpenHandleCount)
    TAVRIN_SLOT(DLLZR_SetActive_Device)
    TAVRIN_SLOT(DLLZR_SetEQ_OnOff_ById)
    TAVRIN_SLOT(DLLZR_IsEQ_Enable_ById)
    TAVRIN_SLOT(DLLZR_Read_Register_ById)
    TAVRIN_SLOT(DLLZR_Write_Register_ById)
    TAVRIN_SLOT(DLLZR_ScanButton_ById)
#undef TAVRIN_SLOT
};

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines) {
        if (line.find(part) != std::string::npos) return true;
    }
    return false;
}

class BusFaceLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.loaded) << sim.library.LastError();
        ASSERT_TRUE(sim.AllFound());
        // One library per process: every test starts from the defaults.
        ASSERT_EQ(sim.TavrinSim_Reset(), 0);
    }
    void TearDown() override {
        if (sim.TavrinSim_Reset != nullptr) sim.TavrinSim_Reset();
    }

    uint32_t OpenHeadset() {
        wchar_t path[256];
        for (uint32_t i = 0; sim.TavrinSim_GetHidInterfacePath(i, path, 256) == 0; ++i) {
            uint32_t handle = 0;
            if (sim.TavrinSim_OpenHid(path, &handle) != 0) continue;
            uint16_t vid = 0;
            uint16_t pid = 0;
            if (sim.TavrinSim_GetHidAttributes(handle, &vid, &pid) == 0 && vid == 0x2B7A &&
                pid == 0x5801) {
                return handle;
            }
            sim.TavrinSim_CloseHid(handle);
        }
        return 0;
    }

    int32_t Out(uint32_t handle, std::vector<uint8_t> head) {
        head.resize(65, 0);
        return sim.TavrinSim_SetOutputReport(handle, head.data(), 65);
    }

    Library sim;
};

TEST_F(BusFaceLibrary, BothFacesActOnOneChip) {
    wchar_t id[64];
    bool found = false;
    for (uint32_t i = 0; sim.TavrinSim_GetDeviceHardwareId(i, id, 64) == 0; ++i) {
        found = found || std::wstring(id) == L"USB\\VID_2B7A&PID_5801&REV_0100&MI_00";
    }
    EXPECT_TRUE(found);
    ASSERT_EQ(sim.DLLZR_SetActive_Device(0x2B7A, 0x5801), 0);

    const uint32_t hid = OpenHeadset();
    ASSERT_NE(hid, 0u);
    uint16_t out = 0;
    uint16_t in = 0;
    ASSERT_EQ(sim.TavrinSim_GetHidCaps(hid, &out, &in), 0);
    EXPECT_EQ(out, 65);
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x30, 0x02, 0x10}), 0);
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x20, 0x01, 0x20}), 0);
    uint8_t value = 0;
    ASSERT_EQ(sim.DLLZR_Read_Register_ById(0x230, &value, 0), 0);
    EXPECT_EQ(value, 0x20) << "written over HID, read through the SDK";
    ASSERT_EQ(sim.DLLZR_Write_Register_ById(0x200, 0x04, 0), 0);
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x00, 0x02, 0x10}), 0);
    std::vector<uint8_t> reply(65);
    ASSERT_EQ(sim.TavrinSim_GetInputReport(hid, reply.data(), 65), 0);
    EXPECT_EQ(reply[2], 0x04);

    uint32_t driver = 0;
    ASSERT_EQ(sim.TavrinSim_OpenDriver(kDriverPath, &driver), 0);
    const uint8_t query[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    uint8_t answer[8] = {};
    uint32_t returned = 0;
    EXPECT_EQ(sim.TavrinSim_DriverControl(driver, 0x00223190, query, 8, answer, 8, &returned), 0);
    EXPECT_EQ(returned, 8u);

    ASSERT_EQ(sim.TavrinSim_Unplug(), 0);
    EXPECT_EQ(sim.DLLZR_Read_Register_ById(0x230, &value, 0), 2) << "no device";
    EXPECT_EQ(sim.DLLZR_SetActive_Device(0x2B7A, 0x5801), 2);
    EXPECT_EQ(Out(hid, {}), kBusNotPresent);
    EXPECT_EQ(sim.TavrinSim_DriverControl(driver, 0x00223190, query, 8, answer, 8, &returned),
              kBusNotPresent);
    EXPECT_EQ(sim.TavrinSim_CloseHid(hid), 0);
    EXPECT_EQ(sim.TavrinSim_CloseDriver(driver), 0);
    EXPECT_EQ(sim.OpenHandles(), 0u);
}

TEST_F(BusFaceLibrary, ScriptedFaultsReachTheSdkFace) {
    ASSERT_EQ(sim.DLLZR_SetActive_Device(0x2B7A, 0x5801), 0);
    ASSERT_EQ(sim.TavrinSim_RunScript(L"fail DLLZR_SetEQ_OnOff_ById 2 5\nreadback eq 0\n"), 0);
    EXPECT_EQ(sim.DLLZR_SetEQ_OnOff_ById(1, 0), 5);
    EXPECT_EQ(sim.DLLZR_SetEQ_OnOff_ById(1, 0), 5);
    EXPECT_EQ(sim.DLLZR_SetEQ_OnOff_ById(1, 0), 0);
    int32_t enabled = -1;
    ASSERT_EQ(sim.DLLZR_IsEQ_Enable_ById(&enabled, 0), 0);
    EXPECT_EQ(enabled, 0) << "the verified switch sees a mismatch";
    ASSERT_EQ(sim.DLLZR_IsEQ_Enable_ById(&enabled, 0), 0);
    EXPECT_EQ(enabled, 1) << "and the truth the next time";

    EXPECT_EQ(sim.TavrinSim_RunScript(L"plug\nexplode\n"), kBusRefused);
    EXPECT_EQ(sim.TavrinSim_RunScript(nullptr), kBusRefused);
}

// The scan callback as the product registers it; reports go to a waiting test thread.
struct ScanInbox {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<std::vector<uint8_t>> reports;
    std::vector<std::thread::id> threads;
    std::atomic<bool> stopFromCallback{false};
    Library* library = nullptr;
};
ScanInbox inbox;

int32_t TAVRIN_SDK_CALL OnButtons(uint32_t vid, uint32_t pid, uint8_t* report, uint32_t, uint32_t) {
    EXPECT_EQ(vid, 0x2B7Au);
    EXPECT_EQ(pid, 0x5801u);
    if (inbox.stopFromCallback) {
        // Stopping the scan from inside its own callback must not hang.
        inbox.library->DLLZR_ScanButton_ById(0x2B7A, 0x5801, nullptr, 0, 0);
    }
    std::lock_guard<std::mutex> lock(inbox.mutex);
    inbox.reports.emplace_back(report, report + 5);
    inbox.threads.push_back(std::this_thread::get_id());
    inbox.arrived.notify_all();
    return 0;
}

bool WaitForReports(std::size_t count) {
    std::unique_lock<std::mutex> lock(inbox.mutex);
    return inbox.arrived.wait_for(lock, std::chrono::seconds(5),
                                  [&] { return inbox.reports.size() >= count; });
}

std::size_t ReportsSoFar() {
    std::lock_guard<std::mutex> lock(inbox.mutex);
    return inbox.reports.size();
}

class ScanThread : public BusFaceLibrary {
protected:
    void SetUp() override {
        BusFaceLibrary::SetUp();
        std::lock_guard<std::mutex> lock(inbox.mutex);
        inbox.reports.clear();
        inbox.threads.clear();
        inbox.stopFromCallback = false;
        inbox.library = &sim;
    }

    void StartScan() {
        ASSERT_EQ(sim.DLLZR_SetActive_Device(0x2B7A, 0x5801), 0);
        ASSERT_EQ(sim.DLLZR_ScanButton_ById(0x2B7A, 0x5801, &OnButtons, 1, 0), 0);
        ASSERT_TRUE(WaitForReports(1)) << "the first report carries the levels at start";
    }
};

TEST_F(ScanThread, ReportsEveryLineChangeOnItsOwnThread) {
    ASSERT_EQ(sim.TavrinSim_SetGpioLine(9, 1), 0);
    StartScan();
    ASSERT_EQ(sim.TavrinSim_SetGpioLine(2, 1), 0);
    ASSERT_EQ(sim.TavrinSim_SetGpioLine(2, 1), 0) << "no change, no report";
    ASSERT_EQ(sim.TavrinSim_SetGpioLine(8, 1), 0);
    ASSERT_EQ(sim.TavrinSim_SetGpioLine(2, 0), 0);
    ASSERT_TRUE(WaitForReports(4));

    std::lock_guard<std::mutex> lock(inbox.mutex);
    ASSERT_EQ(inbox.reports.size(), 4u);
    const std::vector<std::pair<uint8_t, uint8_t>> levels = {
        {0x00, 0x02}, {0x04, 0x02}, {0x04, 0x03}, {0x00, 0x03}};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        EXPECT_EQ(inbox.reports[i][2], levels[i].first) << i;
        EXPECT_EQ(inbox.reports[i][3], levels[i].second) << i;
        EXPECT_NE(inbox.threads[i], std::this_thread::get_id());
    }
}

TEST_F(ScanThread, StopsOnScanStopUnplugAndReset) {
    struct Stop {
        const char* what;
        std::function<void(Library&)> stop;
    };
    const std::vector<Stop> stops = {
        {"scan stop", [](Library& l) { l.DLLZR_ScanButton_ById(0x2B7A, 0x5801, nullptr, 0, 0); }},
        {"unplug", [](Library& l) { l.TavrinSim_Unplug(); }},
        {"reset", [](Library& l) { l.TavrinSim_Reset(); }},
    };
    for (const Stop& stop : stops) {
        sim.TavrinSim_Reset();
        {
            std::lock_guard<std::mutex> lock(inbox.mutex);
            inbox.reports.clear();
        }
        StartScan();
        stop.stop(sim);
        const std::size_t before = ReportsSoFar();
        sim.TavrinSim_SetGpioLine(1, 1);
        sim.TavrinSim_SetGpioLine(1, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(ReportsSoFar(), before) << stop.what;
    }
}

TEST_F(ScanThread, CallbackMayStopTheScanItself) {
    StartScan();
    inbox.stopFromCallback = true;
    ASSERT_EQ(sim.TavrinSim_SetGpioLine(3, 1), 0);
    ASSERT_TRUE(WaitForReports(2));
    ASSERT_EQ(sim.TavrinSim_SetGpioLine(3, 0), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReportsSoFar(), 2u);
}

// The product calls from its window thread and its workers while the scan thread reports.
TEST_F(ScanThread, CallsFromSeveralThreadsStayWhole) {
    StartScan();
    std::vector<std::thread> workers;
    std::atomic<int> mismatches{0};
    for (uint16_t worker = 0; worker < 4; ++worker) {
        workers.emplace_back([&, worker] {
            const uint16_t address = static_cast<uint16_t>(0x300 + worker);
            for (int i = 0; i < 250; ++i) {
                const auto written = static_cast<uint8_t>(i + worker);
                uint8_t read = 0;
                if (sim.DLLZR_Write_Register_ById(address, written, 0) != 0 ||
                    sim.DLLZR_Read_Register_ById(address, &read, 0) != 0 || read != written) {
                    ++mismatches;
                }
            }
        });
    }
    for (int i = 0; i < 100; ++i) sim.TavrinSim_SetGpioLine(5, static_cast<uint32_t>(i % 2 == 0));
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_TRUE(WaitForReports(101)) << ReportsSoFar();
}

// Releasing the last reference must not unmap the code the scan thread is waiting in.
TEST(BusFaceLibraryLifetime, StaysLoadedWhileItsScanRuns) {
    {
        std::lock_guard<std::mutex> lock(inbox.mutex);
        inbox.reports.clear();
        inbox.stopFromCallback = false;
    }
    {
        Library first;
        ASSERT_TRUE(first.loaded && first.AllFound());
        ASSERT_EQ(first.TavrinSim_Reset(), 0);
        ASSERT_EQ(first.DLLZR_SetActive_Device(0x2B7A, 0x5801), 0);
        ASSERT_EQ(first.DLLZR_ScanButton_ById(0x2B7A, 0x5801, &OnButtons, 1, 0), 0);
        ASSERT_TRUE(WaitForReports(1));
    }
    Library second;
    ASSERT_TRUE(second.loaded && second.AllFound());
    ASSERT_EQ(second.TavrinSim_SetGpioLine(6, 1), 0);
    EXPECT_TRUE(WaitForReports(2)) << "the same headset, still scanning";
    EXPECT_EQ(second.TavrinSim_Reset(), 0);
}

TEST_F(BusFaceLibrary, AThousandPlugCyclesLeakNoHandle) {
    for (int cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_EQ(sim.TavrinSim_Plug(), 0);
        const uint32_t hid = OpenHeadset();
        ASSERT_NE(hid, 0u) << cycle;
        uint32_t driver = 0;
        ASSERT_EQ(sim.TavrinSim_OpenDriver(kDriverPath, &driver), 0) << cycle;
        // Half of the cycles pull the plug while the handles are open.
        const bool early = cycle % 2 == 0;
        if (early) {
            ASSERT_EQ(sim.TavrinSim_Unplug(), 0);
        }
        ASSERT_EQ(sim.TavrinSim_CloseHid(hid), 0) << cycle;
        ASSERT_EQ(sim.TavrinSim_CloseDriver(driver), 0) << cycle;
        if (!early) {
            ASSERT_EQ(sim.TavrinSim_Unplug(), 0);
        }
        ASSERT_EQ(sim.TavrinSim_ClearTrace(), 0);
    }
    EXPECT_EQ(sim.OpenHandles(), 0u);
}

TEST_F(BusFaceLibrary, DemoScriptRunsAndLeavesAReadableTrace) {
    std::string folder = TAVRIN_SIM_SCRIPTS_DIR;
#ifdef _WIN32
    // Wine maps the host's root to drive Z:.
    for (char& c : folder) c = c == '/' ? '\\' : c;
    folder = "Z:" + folder;
#endif
    std::ifstream file(folder + "/demo.txt");
    ASSERT_TRUE(file.is_open()) << folder;
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    ASSERT_EQ(sim.TavrinSim_RunScript(std::wstring(text.begin(), text.end()).c_str()), 0);
    EXPECT_NE(sim.DLLZR_SetActive_Device(0x2B7A, 0x5801), 0) << "the script fails it once";
    ASSERT_EQ(sim.DLLZR_SetActive_Device(0x2B7A, 0x5801), 0);
    ASSERT_EQ(sim.DLLZR_SetEQ_OnOff_ById(1, 0), 0);
    const uint32_t hid = OpenHeadset();
    ASSERT_NE(hid, 0u);
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x20, 0x01, 0x10}), 0);
    ASSERT_EQ(sim.TavrinSim_CloseHid(hid), 0);

    test::TempFolder temp;
    ASSERT_EQ(sim.TavrinSim_WriteTrace((temp.Path() + L"trace.txt").c_str()), 0);
    const std::vector<std::string> lines = ReadLines(temp.HostPath() / "trace.txt");
    EXPECT_TRUE(HasLine(lines, "ctl gpio 2 1"));
    EXPECT_TRUE(HasLine(lines, "ctl readback eq 0 for 1"));
    EXPECT_TRUE(HasLine(lines, "sdk DLLZR_SetEQ_OnOff_ById(on=1, device=0) -> 0"));
    EXPECT_TRUE(HasLine(lines, "hid out 00 60 20 01 10 00..(65) -> 0 address 0x0120"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("#0001 ", 0), 0u) << lines[0];
}

}  // namespace
}  // namespace tavrin
