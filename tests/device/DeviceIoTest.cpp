#include <gtest/gtest.h>

#include "app/device/DeviceIo.h"
#include "tests/support/FakeDeviceBus.h"

namespace tavrin {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Report(std::initializer_list<uint8_t> head, size_t length = 65) {
    Bytes report(length, 0);
    std::copy(head.begin(), head.end(), report.begin());
    return report;
}

class DeviceIoTest : public ::testing::Test {
protected:
    DeviceHandle OpenHeadset() { return io.OpenHidDevice(0x2B7A, 0x5801); }

    test::FakeHidBus hid;
    test::FakeDriverBus driver;
    DeviceIo io{hid, driver};
};

TEST_F(DeviceIoTest, RegisterWriteAndReadUseTheCommandByte) {
    const DeviceHandle handle = OpenHeadset();
    ASSERT_NE(handle, kNoDeviceHandle);
    EXPECT_EQ(io.WriteRegister(handle, 0x0120, 0x55), 0);
    EXPECT_EQ(hid.sent, (std::vector<Bytes>{Report({0x00, 0x60, 0x20, 0x01, 0x10}),
                                            Report({0x00, 0x60, 0x55, 0x01, 0x20})}));
    uint8_t value = 0;
    EXPECT_EQ(io.ReadRegister(handle, 0x0120, value), 0);
    EXPECT_EQ(value, 0x55);
    EXPECT_EQ(hid.sent.back(), Report({0x00, 0x60, 0x20, 0x01, 0x10}));
    io.CloseHidDevice(handle);
    EXPECT_TRUE(hid.open.empty());
}

TEST_F(DeviceIoTest, GpioBitsMapTenLinesOntoTwoBytes) {
    const DeviceHandle handle = OpenHeadset();
    GpioLines lines{};
    lines[0] = 1;
    EXPECT_EQ(io.WriteGpioBits(handle, lines), 0);
    EXPECT_EQ(hid.sent.back(), Report({0x00, 0x60, 0x01, 0xFF, 0x3C}));
    lines = {0, 1, 0, 0, 0, 0, 0, 1, 1, 1};
    EXPECT_EQ(io.WriteGpioBits(handle, lines), 0);
    EXPECT_EQ(hid.sent.back(), Report({0x00, 0x60, 0x82, 0xFF, 0x3F}));

    hid.gpioLow = 0b10100101;
    hid.gpioHigh = 0b10;
    GpioLines read{};
    EXPECT_EQ(io.ReadGpioBits(handle, read), 0);
    EXPECT_EQ(hid.sent.back(), Report({0x00, 0x60, 0x00, 0x00, 0x30}));
    EXPECT_EQ(read, (GpioLines{1, 0, 1, 0, 0, 1, 0, 1, 0, 1}));

    EXPECT_EQ(io.SendCommitReport(handle), 0);
    EXPECT_EQ(hid.sent.back(), Bytes(65, 0));
    io.CloseHidDevice(handle);
}

// Every operation's result numbers, each from a device that fails one way.
TEST_F(DeviceIoTest, ResultNumbersOfTheHidOperations) {
    enum Operation { Write, Read, GpioRead, GpioWrite, Commit };
    const struct {
        const char* fault;
        void (*arrange)(test::FakeHidBus&);
        int results[5];  // Write, Read, GpioRead, GpioWrite, Commit
        size_t reportsSent[5];
    } cases[] = {
        {"capabilities unreadable",
         [](test::FakeHidBus& bus) { bus.capabilitiesReadable = false; },
         {1, 1, 1, 1, 1},
         {0, 0, 0, 0, 0}},
        {"output length 0",
         [](test::FakeHidBus& bus) { bus.outputLength = 0; },
         {1, 1, 1, 1, 1},
         {0, 0, 0, 0, 0}},
        {"output length 4",
         [](test::FakeHidBus& bus) { bus.outputLength = 4; },
         {1, 1, 2, 2, 0},
         {0, 0, 0, 0, 1}},
        {"first report refused",
         [](test::FakeHidBus& bus) { bus.refuseOutputAt = 1; },
         {2, 2, 3, 3, 2},
         {1, 1, 1, 1, 1}},
        {"second report refused",
         [](test::FakeHidBus& bus) { bus.refuseOutputAt = 2; },
         {3, 0, 0, 0, 0},
         {2, 1, 1, 1, 1}},
        {"input length 0",
         [](test::FakeHidBus& bus) { bus.inputLength = 0; },
         {0, 3, 4, 0, 0},
         {2, 1, 1, 1, 1}},
        {"input length 4",
         [](test::FakeHidBus& bus) { bus.inputLength = 4; },
         {0, 0, 5, 0, 0},
         {2, 1, 1, 1, 1}},
        {"input report fails",
         [](test::FakeHidBus& bus) { bus.refuseInput = true; },
         {0, 4, 6, 0, 0},
         {2, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        for (int operation = Write; operation <= Commit; ++operation) {
            test::FakeHidBus bus;
            test::FakeDriverBus drivers;
            DeviceIo device(bus, drivers);
            c.arrange(bus);
            const DeviceHandle handle = device.OpenHidDevice(0x2B7A, 0x5801);
            uint8_t value = 0;
            GpioLines lines{};
            int result = -1;
            switch (operation) {
                case Write: result = device.WriteRegister(handle, 0x129, 1); break;
                case Read: result = device.ReadRegister(handle, 0x129, value); break;
                case GpioRead: result = device.ReadGpioBits(handle, lines); break;
                case GpioWrite: result = device.WriteGpioBits(handle, lines); break;
                case Commit: result = device.SendCommitReport(handle); break;
            }
            EXPECT_EQ(result, c.results[operation]) << c.fault << ", operation " << operation;
            EXPECT_EQ(bus.sent.size(), c.reportsSent[operation])
                << c.fault << ", operation " << operation;
            device.CloseHidDevice(handle);
        }
    }
}

TEST_F(DeviceIoTest, OpenHidDeviceTakesTheFirstMatchAndClosesTheRest) {
    hid.interfaces = {{L"mouse", 0xFFF1, 0xC077},
                      {L"gone", 0x2B7A, 0x5801, false},
                      {L"first", 0x2B7A, 0x5801},
                      {L"second", 0x2B7A, 0x5801}};
    const DeviceHandle handle = OpenHeadset();
    ASSERT_EQ(hid.open.size(), 1u);
    EXPECT_EQ(hid.interfaces[hid.open.at(handle)].path, L"first");
    io.CloseHidDevice(handle);

    EXPECT_EQ(io.OpenHidDevice(0x2B7A, 0x5802), kNoDeviceHandle);
    EXPECT_TRUE(hid.open.empty());
    EXPECT_EQ(hid.badCloses, 0);
}

TEST_F(DeviceIoTest, LedIndicatorOperationsOpenAndCloseTheirOwnHandle) {
    EXPECT_EQ(io.SendLedSwitch(0x2B7A, 0x5801, true), 0);
    EXPECT_EQ(hid.sent, (std::vector<Bytes>{Report({0x00, 0x60, 0x01, 0xFF, 0x3C}), Bytes(65, 0)}));
    hid.sent.clear();
    EXPECT_EQ(io.SendLedIndicator(0x2B7A, 0x5801, 1), 0);
    EXPECT_EQ(hid.sent, (std::vector<Bytes>{Report({0x00, 0x60, 0x00, 0x00, 0x30}), Bytes(65, 0)}));
    hid.sent.clear();
    EXPECT_EQ(io.SendLedIndicator(0x2B7A, 0x5801, 0), 0);
    EXPECT_EQ(hid.sent.front(), Report({0x00, 0x60, 0x00, 0xFF, 0x3C}));
    EXPECT_TRUE(hid.open.empty());

    EXPECT_EQ(io.SendLedSwitch(0x2B7A, 0x5999, true), 1);
    hid.refuseOutputAt = hid.sent.size() + 1;
    EXPECT_EQ(io.SendLedSwitch(0x2B7A, 0x5801, false), 2);
    hid.refuseOutputAt = hid.sent.size() + 2;
    EXPECT_EQ(io.SendLedIndicator(0x2B7A, 0x5801, 0), 3);
    hid.refuseOutputAt.reset();
    hid.refuseInput = true;
    EXPECT_EQ(io.SendLedIndicator(0x2B7A, 0x5801, 1), 2);
    EXPECT_TRUE(hid.open.empty()) << "closed on every path";
}

TEST_F(DeviceIoTest, DriverRequestsNeedAProbeFirst) {
    EXPECT_EQ(io.QueryDriverState(), 1);
    EXPECT_EQ(io.SendDriverEnable(1), 1);
    EXPECT_TRUE(driver.openedPaths.empty()) << "no path to open before any probe";

    EXPECT_EQ(io.ProbeAudioExtension(0x2B7A, 0x58AB), 1);
    EXPECT_EQ(io.DriverPath(), L"\\\\.\\Class#UsbAudioExtension&2B7A&58AB");
    EXPECT_EQ(io.QueryDriverState(), 1) << "the probed path is not there";
    EXPECT_EQ(io.ProbeAudioExtension(0x2B7A, 0x5801), 0);
    EXPECT_EQ(driver.openCount, 0) << "the probe closes at once";
}

TEST_F(DeviceIoTest, DriverRequestBytesAndResults) {
    ASSERT_EQ(io.ProbeAudioExtension(0x2B7A, 0x5801), 0);
    driver.reply = Bytes{1, 0, 0, 0, 0x78, 0x56, 0x34, 0x12};
    uint32_t reply = 0;
    EXPECT_EQ(io.QueryDriverValue(3, 0xA1B2C3D4, &reply), 0);
    EXPECT_EQ(reply, 0x12345678u);
    EXPECT_EQ(io.QueryDriverState(&reply), 0);
    driver.reply.reset();
    EXPECT_EQ(io.SendDriverSelect(0x11223344), 0);
    EXPECT_EQ(io.SendDriverEnable(1), 0);
    ASSERT_EQ(driver.requests.size(), 4u);
    EXPECT_EQ(driver.requests[0].code, 0x00223028u);
    EXPECT_EQ(driver.requests[0].input, (Bytes{1, 0, 3, 0, 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(driver.requests[1].code, 0x00223190u);
    EXPECT_EQ(driver.requests[1].input, (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(driver.requests[2].code, 0x08232008u);
    EXPECT_EQ(driver.requests[2].input, (Bytes{0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(driver.requests[3].code, 0x08232000u);
    EXPECT_EQ(driver.requests[3].input, (Bytes{1, 0, 0, 0}));

    driver.reply = Bytes{};
    EXPECT_EQ(io.QueryDriverValue(0, 0), 3) << "no bytes returned";
    driver.fails = true;
    EXPECT_EQ(io.QueryDriverValue(0, 0), 2);
    EXPECT_EQ(io.SendDriverSelect(1), 2);
    EXPECT_EQ(driver.openCount, 0);
}

TEST(DescriptorTemplate, HoldsTheDeviceNamesAtTheirOffsets) {
    const auto& bytes = kDescriptorTemplate;
    EXPECT_EQ(bytes[0x00], 0xC7);
    EXPECT_EQ(bytes[0x1B], 0x16);
    EXPECT_EQ(std::string(bytes.begin() + 0x22, bytes.begin() + 0x36), "USB PnP Audio Device");
    EXPECT_EQ(std::count(bytes.begin() + 0x36, bytes.begin() + 0x3E, 0), 8);
    EXPECT_EQ(std::string(bytes.begin() + 0x3E, bytes.begin() + 0x4E), "Vantrel Co.,Ltd.");
    EXPECT_EQ(std::count(bytes.begin() + 0x4E, bytes.begin() + 0x5A, 0), 12);
    EXPECT_EQ(Bytes(bytes.begin() + 0x5A, bytes.begin() + 0x62),
              (Bytes{0x00, 0x01, 0x01, 0x00, 0x18, 0xD7, 0xE8, 0x28}));
    EXPECT_EQ(bytes[0xA1], 0x7B);
    EXPECT_EQ(bytes[0xF1], 0x9F);
    EXPECT_EQ(bytes[0xFF], 0xFF);
}

}  // namespace
}  // namespace tavrin
