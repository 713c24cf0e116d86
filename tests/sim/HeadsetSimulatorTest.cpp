// The virtual headset's bus, faults, trace and scripts through its C++ interface.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "sim/HeadsetSimulator.h"
#include "tests/support/TempFolder.h"

namespace tavrin::sim {
namespace {

constexpr wchar_t kHeadsetId[] = L"USB\\VID_2B7A&PID_5801&REV_0100&MI_00";
constexpr wchar_t kDriverPath[] = L"\\\\.\\Class#UsbAudioExtension&2B7A&5801";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class HeadsetSimulatorTest : public ::testing::Test {
protected:
    std::vector<std::wstring> Devices() {
        std::vector<std::wstring> ids;
        wchar_t buffer[256];
        for (uint32_t i = 0; sim.GetDeviceHardwareId(i, buffer, 256) == 0; ++i)
            ids.push_back(buffer);
        return ids;
    }

    std::vector<std::wstring> HidPaths() {
        std::vector<std::wstring> paths;
        wchar_t buffer[256];
        for (uint32_t i = 0; sim.GetHidInterfacePath(i, buffer, 256) == 0; ++i) {
            paths.push_back(buffer);
        }
        return paths;
    }

    std::vector<std::wstring> CaptureNames() {
        std::vector<std::wstring> names;
        wchar_t name[128];
        wchar_t path[256];
        for (uint32_t i = 0; sim.GetCaptureEndpoint(i, name, 128, path, 256) == 0; ++i) {
            names.push_back(name);
        }
        return names;
    }

    // The headset's HID interface, found the way the product finds it: by its attributes.
    uint32_t OpenHeadset() {
        for (const std::wstring& path : HidPaths()) {
            uint32_t handle = 0;
            if (sim.OpenHid(path.c_str(), &handle) != 0) continue;
            uint16_t vid = 0;
            uint16_t pid = 0;
            if (sim.GetHidAttributes(handle, &vid, &pid) == 0 && vid == 0x2B7A && pid == 0x5801) {
                return handle;
            }
            sim.CloseHid(handle);
        }
        ADD_FAILURE() << "no headset HID interface";
        return 0;
    }

    int32_t Out(uint32_t handle, std::vector<uint8_t> head, std::size_t length = 65) {
        head.resize(length, 0);
        return sim.SetOutputReport(handle, head.data(), static_cast<uint32_t>(length));
    }

    std::vector<uint8_t> In(uint32_t handle, std::size_t length = 65) {
        std::vector<uint8_t> report(length, 0xEE);
        EXPECT_EQ(sim.GetInputReport(handle, report.data(), static_cast<uint32_t>(length)), 0);
        return report;
    }

    std::string LastTrace() {
        const std::vector<std::string> lines = sim.TraceLines();
        return lines.empty() ? std::string() : lines.back();
    }

    HeadsetSimulator sim;
};

TEST_F(HeadsetSimulatorTest, ListsTheHeadsetAmongOtherDevicesOnlyWhilePlugged) {
    const std::vector<std::wstring> plugged = Devices();
    ASSERT_EQ(plugged.size(), 4u);
    EXPECT_EQ(std::wstring(kHeadsetId).size(), 36u);
    EXPECT_EQ(plugged[2], kHeadsetId) << "after the hub and the mouse";
    EXPECT_EQ(plugged[3], L"USB\\VID_2B7A&PID_5801&REV_0100&MI_03");
    ASSERT_EQ(HidPaths().size(), 2u);
    EXPECT_EQ(HidPaths()[1],
              L"\\\\?\\hid#vid_2b7a&pid_5801&mi_03#7&2f3a1b4c&0&0000"
              L"#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    ASSERT_EQ(CaptureNames().size(), 2u);
    EXPECT_EQ(CaptureNames()[1], L"Microphone (USB PnP Audio Device)");
    wchar_t name[64];
    wchar_t path[128];
    ASSERT_EQ(sim.GetCaptureEndpoint(1, name, 64, path, 128), 0);
    EXPECT_EQ(std::wstring(path).rfind(L"\\\\?\\USB#VID_2B7A&PID_5801", 0), 0u);

    sim.Unplug();
    EXPECT_EQ(Devices(), (std::vector<std::wstring>{plugged[0], plugged[1]}));
    EXPECT_EQ(HidPaths().size(), 1u);
    EXPECT_EQ(CaptureNames().size(), 1u);
    sim.Plug();
    EXPECT_EQ(Devices(), plugged);

    wchar_t small[36];
    EXPECT_EQ(sim.GetDeviceHardwareId(2, small, 36), kBusBufferTooSmall) << "no room for the end";
    EXPECT_EQ(sim.GetDeviceHardwareId(4, small, 36), kBusNoSuchItem);
}

TEST_F(HeadsetSimulatorTest, ScriptedIdsFollowTheProduct) {
    ASSERT_TRUE(sim.RunScript("product 0x5802\ndevice USB\\VID_1234&PID_0001\n").Ok());
    const std::vector<std::wstring> devices = Devices();
    ASSERT_EQ(devices.size(), 5u);
    EXPECT_EQ(devices[2], L"USB\\VID_1234&PID_0001");
    EXPECT_EQ(devices[3], L"USB\\VID_2B7A&PID_5802&REV_0100&MI_00");
    EXPECT_NE(HidPaths()[1].find(L"pid_5802"), std::wstring::npos);
    uint32_t handle = 0;
    EXPECT_EQ(sim.OpenDriver(kDriverPath, &handle), kBusNoSuchItem) << "the old product's path";
    EXPECT_EQ(sim.OpenDriver(L"\\\\.\\Class#UsbAudioExtension&2B7A&5802", &handle), 0);

    ASSERT_TRUE(sim.RunScript("hwid USB\\VID_2B7A&PID_5801&REV_0100&MI_0").Ok());
    EXPECT_EQ(Devices()[3].size(), 35u) << "a hardware ID of any length";
}

TEST_F(HeadsetSimulatorTest, RegisterProtocolActsOnTheRegisterFile) {
    const uint32_t hid = OpenHeadset();
    uint16_t outLength = 0;
    uint16_t inLength = 0;
    ASSERT_EQ(sim.GetHidCaps(hid, &outLength, &inLength), 0);
    EXPECT_EQ(outLength, 65);
    EXPECT_EQ(inLength, 65);

    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x20, 0x01, 0x10}), 0);
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x55, 0x01, 0x20}), 0);
    EXPECT_EQ(sim.With([](ChipState& chip, BusState&) { return chip.registers[0x120]; }), 0x55);

    // A read of another register, then of the one just written.
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x29, 0x01, 0x10}), 0);
    EXPECT_EQ(In(hid)[2], 0xE4) << "band 4 with the default flags";
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x20, 0x01, 0x10}), 0);
    const std::vector<uint8_t> reply = In(hid);
    EXPECT_EQ(reply[2], 0x55);
    EXPECT_TRUE(std::all_of(reply.begin() + 3, reply.end(), [](uint8_t b) { return b == 0; }));

    ASSERT_EQ(Out(hid, {}), 0);
    EXPECT_EQ(sim.With([](ChipState&, BusState& bus) { return bus.commits; }), 1u);
    EXPECT_TRUE(Contains(LastTrace(), "hid out 00 00 00 00 00 00..(65) -> 0 commit"));

    EXPECT_EQ(Out(hid, {0x00, 0x60, 0x99, 0x01, 0x20}), 0);
    EXPECT_TRUE(Contains(LastTrace(), "ignored: data without an address")) << LastTrace();
    EXPECT_EQ(Out(hid, {0x00, 0x60, 0x01, 0x02, 0x77}), 0);
    EXPECT_TRUE(Contains(LastTrace(), "ignored: unknown operation")) << LastTrace();
}

TEST_F(HeadsetSimulatorTest, GpioReportsCarryTheLineLevels) {
    const uint32_t hid = OpenHeadset();
    for (const uint32_t line : {0u, 3u, 8u}) sim.SetGpioLine(line, 1);
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x00, 0x00, 0x30}), 0);
    const std::vector<uint8_t> levels = In(hid);
    EXPECT_EQ(levels[2], 0x09);
    EXPECT_EQ(levels[3], 0x01);

    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x01, 0xFF, 0x3C}), 0);
    auto outputs = [&] {
        return sim.With([](ChipState&, BusState& bus) { return bus.gpioOutputs; });
    };
    EXPECT_EQ(outputs(), (std::array<uint8_t, 10>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(Out(hid, {0x00, 0x60, 0x80, 0xFF, 0x3E}), 0);
    EXPECT_EQ(outputs(), (std::array<uint8_t, 10>{0, 0, 0, 0, 0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(sim.SetGpioLine(10, 1), kBusNoSuchItem);
}

TEST_F(HeadsetSimulatorTest, ReportsOfAnotherLengthAreRefused) {
    const uint32_t hid = OpenHeadset();
    for (const std::size_t length : {std::size_t{4}, std::size_t{64}, std::size_t{66}}) {
        EXPECT_EQ(Out(hid, {0x00, 0x60, 0x20, 0x01, 0x10}, length), kBusRefused) << length;
        std::vector<uint8_t> input(length);
        EXPECT_EQ(sim.GetInputReport(hid, input.data(), static_cast<uint32_t>(length)), kBusRefused)
            << length;
    }
    EXPECT_EQ(sim.SetOutputReport(hid, nullptr, 0), kBusRefused);

    // Lengths changed on purpose: the caps say so and the device keeps to them.
    sim.SetReportLength(ReportKind::Output, 4);
    sim.SetReportLength(ReportKind::Input, 0);
    uint16_t outLength = 99;
    uint16_t inLength = 99;
    ASSERT_EQ(sim.GetHidCaps(hid, &outLength, &inLength), 0);
    EXPECT_EQ(outLength, 4);
    EXPECT_EQ(inLength, 0);
    EXPECT_EQ(Out(hid, {0x00, 0x60, 0x01, 0xFF}, 4), 0) << "accepted, but no operation in it";
    EXPECT_EQ(Out(hid, {0x00, 0x60, 0x20, 0x01, 0x10}, 65), kBusRefused);
}

TEST_F(HeadsetSimulatorTest, OtherMakersInterfaceTakesNoOutputReports) {
    uint32_t mouse = 0;
    ASSERT_EQ(sim.OpenHid(HidPaths()[0].c_str(), &mouse), 0);
    uint16_t vid = 0;
    uint16_t pid = 0;
    ASSERT_EQ(sim.GetHidAttributes(mouse, &vid, &pid), 0);
    EXPECT_NE(vid, 0x2B7A);
    EXPECT_EQ(Out(mouse, {0x00, 0x60, 0x20, 0x01, 0x10}), kBusRefused);
    EXPECT_EQ(sim.OpenHid(L"\\\\?\\hid#vid_9999", &mouse), kBusNoSuchItem);
}

TEST_F(HeadsetSimulatorTest, DriverAnswersItsFourRequests) {
    uint32_t driver = 0;
    ASSERT_EQ(sim.OpenDriver(L"\\\\.\\class#usbaudioextension&2b7a&5801", &driver), 0)
        << "device paths compare without case";
    struct Case {
        uint32_t code;
        std::vector<uint8_t> input;
        int32_t result;
        std::vector<uint8_t> reply;
    };
    const std::vector<Case> cases = {
        {kDriverQueryValue, {1, 0, 0, 0, 0, 0, 0, 0}, 0, {1, 0, 0, 0, 0x00, 0x01, 0, 0}},
        {kDriverQueryValue, {1, 0, 7, 0, 9, 0, 0, 0}, 0, {1, 0, 7, 0, 0, 0, 0, 0}},
        {kDriverQueryValue, {2, 0, 0, 0, 0, 0, 0, 0}, kBusRefused, {}},
        {kDriverQueryValue, {1, 0, 0, 0}, kBusRefused, {}},
        {kDriverQueryState, {1, 0, 0, 0, 0, 0, 0, 0}, 0, {1, 0, 0, 0, 1, 0, 0, 0}},
        {kDriverSelect, {2, 0, 0, 0}, 0, {}},
        {kDriverEnable, {1, 0, 0, 0}, 0, {}},
        {kDriverEnable, {1, 0, 0, 0, 0, 0, 0, 0}, kBusRefused, {}},
        {0x00220000, {1, 0, 0, 0}, kBusRefused, {}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> output(8, 0xEE);
        uint32_t returned = 99;
        EXPECT_EQ(
            sim.DriverControl(driver, c.code, c.input.data(), static_cast<uint32_t>(c.input.size()),
                              output.data(), 8, &returned),
            c.result)
            << std::hex << c.code;
        EXPECT_EQ(returned, c.reply.size()) << std::hex << c.code;
        if (!c.reply.empty()) {
            EXPECT_EQ(output, c.reply) << std::hex << c.code;
        }
    }
    const auto [effect, enable] = sim.With([](ChipState&, BusState& bus) {
        return std::pair(bus.environmentEffect, bus.environmentEnable);
    });
    EXPECT_EQ(effect, 2u);
    EXPECT_EQ(enable, 1u);
    EXPECT_TRUE(Contains(sim.TraceLines()[1],
                         "drv 0x00223028 in 01 00 00 00 00 00 00 00 "
                         "out 01 00 00 00 00 01 00 00 -> 0"))
        << sim.TraceLines()[1];
    EXPECT_EQ(sim.CloseDriver(driver), 0);
    EXPECT_EQ(sim.CloseDriver(driver), kBusNoSuchItem);

    sim.SetDriverInstalled(false);
    EXPECT_EQ(sim.OpenDriver(kDriverPath, &driver), kBusNotPresent);
    sim.SetDriverInstalled(true);
    sim.Unplug();
    EXPECT_EQ(sim.OpenDriver(kDriverPath, &driver), kBusNotPresent);
}

TEST_F(HeadsetSimulatorTest, CaptureEndpointKeepsLevelMuteAndGainControl) {
    uint32_t step = 0;
    uint32_t count = 0;
    ASSERT_EQ(sim.GetCaptureVolumeStep(&step, &count), 0);
    EXPECT_EQ(count, 101u);
    ASSERT_EQ(sim.SetCaptureVolumeScalar(0.3f), 0);
    ASSERT_EQ(sim.GetCaptureVolumeStep(&step, &count), 0);
    EXPECT_EQ(step, 30u);
    EXPECT_EQ(sim.SetCaptureVolumeScalar(1.5f), kBusRefused);

    float peak = -1;
    ASSERT_EQ(sim.GetCapturePeak(&peak), 0);
    EXPECT_EQ(peak, 0.0f) << "silence until a script speaks";
    std::vector<uint8_t> samples(8, 0);
    ASSERT_EQ(sim.ReadCaptureSamples(8, samples.data(), 8), 0);
    EXPECT_EQ(samples, std::vector<uint8_t>(8, 128));

    ASSERT_TRUE(sim.RunScript("peak 0.75").Ok());
    ASSERT_EQ(sim.GetCapturePeak(&peak), 0);
    EXPECT_FLOAT_EQ(peak, 0.75f);
    // A 1 kHz square wave at 8000 samples a second: four samples up, four down.
    ASSERT_EQ(sim.ReadCaptureSamples(8, samples.data(), 8), 0);
    EXPECT_EQ(samples, (std::vector<uint8_t>{223, 223, 223, 223, 33, 33, 33, 33}));
    ASSERT_EQ(sim.ReadCaptureSamples(16, samples.data(), 4), 0);
    EXPECT_EQ(std::vector<uint8_t>(samples.begin(), samples.begin() + 4),
              (std::vector<uint8_t>{0xFF, 0x5F, 0xFF, 0x5F}))
        << "16-bit: 24575 little-endian";
    EXPECT_EQ(sim.ReadCaptureSamples(16, samples.data(), 3), kBusRefused) << "half a sample";
    EXPECT_EQ(sim.ReadCaptureSamples(12, samples.data(), 4), kBusRefused);

    ASSERT_EQ(sim.SetCaptureMute(1), 0);
    int32_t flag = -1;
    ASSERT_EQ(sim.GetCaptureMute(&flag), 0);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(sim.GetCapturePeak(&peak), 0);
    EXPECT_EQ(peak, 0.0f) << "a muted microphone is silent";
    ASSERT_EQ(sim.ReadCaptureSamples(8, samples.data(), 8), 0);
    EXPECT_EQ(samples, std::vector<uint8_t>(8, 128));
    ASSERT_EQ(sim.SetCaptureAutoGain(0), 0);
    ASSERT_EQ(sim.GetCaptureAutoGain(&flag), 0);
    EXPECT_EQ(flag, 0);

    sim.Unplug();
    EXPECT_EQ(sim.GetCaptureMute(&flag), kBusNotPresent);
    EXPECT_EQ(sim.SetCaptureVolumeScalar(0.5f), kBusNotPresent);
}

TEST_F(HeadsetSimulatorTest, UnplugLeavesOpenHandlesDead) {
    const uint32_t hid = OpenHeadset();
    uint32_t driver = 0;
    ASSERT_EQ(sim.OpenDriver(kDriverPath, &driver), 0);
    ASSERT_EQ(sim.OpenHandleCount(), 2u);

    sim.Unplug();
    uint16_t a = 0;
    uint16_t b = 0;
    EXPECT_EQ(sim.GetHidCaps(hid, &a, &b), kBusNotPresent);
    EXPECT_EQ(Out(hid, {}), kBusNotPresent);
    const uint8_t value[4] = {1, 0, 0, 0};
    EXPECT_EQ(sim.DriverControl(driver, kDriverEnable, value, 4, nullptr, 0, nullptr),
              kBusNotPresent);
    uint32_t handle = 0;
    EXPECT_EQ(sim.OpenHid(L"\\\\?\\hid#vid_2b7a&pid_5801&mi_03#7&2f3a1b4c&0&0000"
                          L"#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                          &handle),
              kBusNotPresent);

    sim.Plug();
    EXPECT_EQ(sim.GetHidCaps(hid, &a, &b), kBusNotPresent) << "a handle from before stays dead";
    const uint32_t fresh = OpenHeadset();
    EXPECT_EQ(sim.GetHidCaps(fresh, &a, &b), 0);
    EXPECT_EQ(sim.CloseHid(hid), 0);
    EXPECT_EQ(sim.CloseHid(fresh), 0);
    EXPECT_EQ(sim.CloseDriver(driver), 0);
    EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

TEST_F(HeadsetSimulatorTest, FailNextTakesTheGivenCountThenRecovers) {
    EXPECT_FALSE(sim.FailNext("DLLZR_NoSuchEntry", 1, std::nullopt));
    EXPECT_FALSE(sim.FailNext("NoSuchBusCall", 1, std::nullopt));
    ASSERT_TRUE(sim.FailNext("OpenDriver", 2, std::nullopt));
    ASSERT_TRUE(sim.FailNext("TavrinSim_GetHidCaps", 1, 9));
    uint32_t driver = 0;
    EXPECT_EQ(sim.OpenDriver(kDriverPath, &driver), kBusRefused);
    EXPECT_TRUE(Contains(LastTrace(), "(fault)")) << LastTrace();
    EXPECT_EQ(sim.OpenDriver(kDriverPath, &driver), kBusRefused);
    EXPECT_EQ(sim.OpenDriver(kDriverPath, &driver), 0);
    const uint32_t hid = OpenHeadset();
    uint16_t a = 0;
    uint16_t b = 0;
    EXPECT_EQ(sim.GetHidCaps(hid, &a, &b), 9);
    EXPECT_EQ(sim.GetHidCaps(hid, &a, &b), 0);
}

TEST_F(HeadsetSimulatorTest, VanishedInterfaceIsListedButDoesNotOpen) {
    sim.VanishHidOnNextOpen();
    const std::vector<std::wstring> paths = HidPaths();
    ASSERT_EQ(paths.size(), 2u);
    uint32_t handle = 0;
    EXPECT_EQ(sim.OpenHid(paths[1].c_str(), &handle), kBusNotPresent);
    EXPECT_EQ(sim.OpenHid(paths[0].c_str(), &handle), 0) << "only the headset vanishes";
    EXPECT_EQ(sim.OpenHid(paths[1].c_str(), &handle), 0) << "and only once";
}

TEST_F(HeadsetSimulatorTest, TraceIsNumberedAndGoesToFiles) {
    test::TempFolder folder;
    const std::wstring live = folder.Path() + L"live.txt";
    const std::wstring dump = folder.Path() + L"dump.txt";
    sim.ClearTrace();
    ASSERT_TRUE(sim.SetTraceFile(live));
    const uint32_t hid = OpenHeadset();
    Out(hid, {0x00, 0x60, 0x20, 0x01, 0x10});

    const std::vector<std::string> lines = sim.TraceLines();
    ASSERT_GE(lines.size(), 3u);
    const std::regex numbered("#[0-9]{4} (bus|hid|drv|sdk|ctl|scan|script).*");
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, numbered)) << line;
    EXPECT_EQ(lines.front().rfind("#0001 bus OpenHid(path=\"", 0), 0u) << lines.front();
    char number[16];
    std::snprintf(number, sizeof number, "#%04u ", static_cast<unsigned>(lines.size()));
    std::string expected = number;
    expected += "hid out 00 60 20 01 10 00..(65) -> 0 address 0x0120";
    EXPECT_EQ(lines.back(), expected);

    ASSERT_EQ(sim.WriteTrace(dump), 0);
    for (const std::wstring& path : {live, dump}) {
        std::ifstream file = OpenInput(path);
        std::vector<std::string> read;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();  // text files on Windows
            read.push_back(line);
        }
        EXPECT_EQ(read, lines);
    }
    EXPECT_EQ(sim.WriteTrace(folder.Path() + L"no-such-folder\\trace.txt"), kBusRefused);
}

TEST_F(HeadsetSimulatorTest, ScriptSetsUpAScenario) {
    const ScriptResult result = sim.RunScript(
        "# a headset with a pressed button and a changed EEPROM\r\n"
        "\r\n"
        "gpio 2 1   # the ENC button\r\n"
        "register 0x230 0x20\r\n"
        "eeprom 0x51 0x30 0x00 0x04 0x40\r\n"
        "reportlength in 4\r\n"
        "driver absent\r\n"
        "volume-steps 11\r\n");
    ASSERT_TRUE(result.Ok()) << result.line << ": " << result.message;
    const auto seen = sim.With([](ChipState& chip, BusState& bus) {
        return std::tuple(chip.gpioLevels[2], chip.registers[0x230], chip.eeprom[1][0x31],
                          bus.inputReportLength, bus.driverInstalled, bus.volumeStep);
    });
    EXPECT_EQ(seen, std::tuple(uint8_t{1}, uint8_t{0x20}, uint8_t{0x04}, uint16_t{4}, false,
                               uint32_t{10}));
    EXPECT_TRUE(Contains(sim.TraceLines()[0], "script 3: gpio 2 1   # the ENC button"));
}

TEST_F(HeadsetSimulatorTest, ScriptErrorsNameTheirLine) {
    struct Case {
        const char* script;
        uint32_t line;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"plug\nfrobnicate 1\nunplug", 2, "unknown command \"frobnicate\""},
        {"gpio 10 1", 1, "line \"10\" is not a number from 0 to 9"},
        {"gpio 1", 1, "usage: gpio"},
        {"register 0x10000 1", 1, "address"},
        {"register 0x100 0x1FF", 1, "value"},
        {"eeprom 0x52 0 1", 1, "chip"},
        {"eeprom 0x51 255 1 2", 1, "past the end"},
        {"# fine\n\nfail DLLZR_Nothing 1", 3, "no entry point"},
        {"fail OpenHid many", 1, "count"},
        {"readback 7d 1", 1, "readback of"},
        {"peak 1.5", 1, "peak"},
        {"reportlength sideways 4", 1, "report kind"},
        {"driver gone", 1, "driver"},
        {"trace", 1, "usage: trace"},
        {"wait", 1, "usage: wait"},
        {"wait 70000", 1, "milliseconds"},
    };
    for (const Case& c : cases) {
        sim.ClearTrace();
        const ScriptResult result = sim.RunScript(c.script);
        EXPECT_EQ(result.line, c.line) << c.script;
        EXPECT_TRUE(Contains(result.message, c.message)) << c.script << " -> " << result.message;
        EXPECT_TRUE(Contains(LastTrace(), "script error, line " + std::to_string(c.line) + ": "))
            << LastTrace();
    }
    EXPECT_EQ(Devices().size(), 4u) << "a script stops at its first error, before the unplug";
}

TEST_F(HeadsetSimulatorTest, MissingScriptFileIsReported) {
    const ScriptResult result = sim.RunScriptFile(L"no-such-folder\\scenario.txt");
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.line, 0u);
    EXPECT_TRUE(Contains(result.message, "cannot open")) << result.message;
}

void SetEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

TEST_F(HeadsetSimulatorTest, EnvironmentNamesTraceFileAndScript) {
    test::TempFolder folder;
    const std::filesystem::path script = folder.HostPath() / "start.txt";
    const std::filesystem::path trace = folder.HostPath() / "trace.txt";
    std::ofstream(script) << "unplug\ngpio 4 1\n";
    SetEnvironment("TAVRIN_SIM_SCRIPT", script.string());
    SetEnvironment("TAVRIN_SIM_TRACE", trace.string());
    sim.LoadFromEnvironment();
    SetEnvironment("TAVRIN_SIM_SCRIPT", "");
    SetEnvironment("TAVRIN_SIM_TRACE", "");

    EXPECT_EQ(Devices().size(), 2u) << "the script ran";
    sim.SetGpioLine(4, 0);
    std::ifstream file(trace);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "#0001 script 1: unplug");
    EXPECT_EQ(lines[4], "#0005 ctl gpio 4 0") << "lines are appended as they happen";
}

// A check drives the headset while the product runs: lines appended to the control file run as
// soon as their newline is there, "wait" holds back the lines after it, a bad line is reported
// and the rest still runs; the file may appear after the channel starts.
TEST_F(HeadsetSimulatorTest, TheControlFileRunsLinesAsTheyAreAppended) {
    test::TempFolder folder;
    const std::filesystem::path control = folder.HostPath() / "control.txt";
    sim.FollowControlFile(folder.Path() + L"control.txt");
    auto traced = [&](const std::string& text) {
        for (int poll = 0; poll < 250; ++poll) {
            for (const std::string& line : sim.TraceLines()) {
                if (Contains(line, text)) return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    };
    std::ofstream file(control, std::ios::binary);
    file << "gpio 3 1\nfrobnicate\nunplu" << std::flush;
    ASSERT_TRUE(traced("control 1: gpio 3 1"));
    EXPECT_TRUE(traced("control error, line 2: unknown command \"frobnicate\""));
    EXPECT_EQ(Devices().size(), 4u) << "half a line waits for its end";

    file << "g\r\nwait 150\nplug\n" << std::flush;
    ASSERT_TRUE(traced("control 3: unplug"));
    const auto unplugged = std::chrono::steady_clock::now();
    EXPECT_EQ(Devices().size(), 2u);
    ASSERT_TRUE(traced("control 5: plug"));
    EXPECT_GE(std::chrono::steady_clock::now() - unplugged, std::chrono::milliseconds(100));
    EXPECT_EQ(sim.With([](ChipState& chip, BusState&) { return chip.gpioLevels[3]; }), 1);

    sim.FollowControlFile(L"");
    file << "unplug\n" << std::flush;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Devices().size(), 4u) << "no longer followed";
}

TEST_F(HeadsetSimulatorTest, ResetRestoresDefaults) {
    const uint32_t leftOver = OpenHeadset();
    ASSERT_TRUE(sim.RunScript("unplug\nregister 0x120 1\nfail OpenHid 5\nreportlength out 0").Ok());
    ASSERT_EQ(sim.Reset(), 0);
    EXPECT_EQ(sim.TraceLines(), (std::vector<std::string>{"#0001 ctl reset"}));
    EXPECT_EQ(sim.OpenHandleCount(), 0u);
    EXPECT_EQ(sim.CloseHid(leftOver), kBusNoSuchItem);
    EXPECT_EQ(Devices().size(), 4u);
    const uint32_t hid = OpenHeadset();
    EXPECT_NE(hid, 0u) << "the failure went with the reset";
    uint16_t out = 0;
    uint16_t in = 0;
    ASSERT_EQ(sim.GetHidCaps(hid, &out, &in), 0);
    EXPECT_EQ(out, 65);
    EXPECT_EQ(sim.With([](ChipState& chip, BusState&) { return chip.registers[0x120]; }), 0);
}

}  // namespace
}  // namespace tavrin::sim
