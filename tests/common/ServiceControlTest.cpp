#include "common/ServiceControl.h"

#include <gtest/gtest.h>

#include "ports/portable/MemoryServiceManager.h"
#include "tests/support/FakeClock.h"

namespace tavrin {
namespace {

using ServiceSetup = MemoryServiceManager::ServiceSetup;

// The stand-in service as the service manager knows it, in the given state.
struct Services {
    explicit Services(bool installed = true) {
        if (installed) manager.AddService(kServiceName, ServiceSetup{kServiceRunning, 0, 0, 0});
    }
    std::vector<std::wstring> Calls() const { return manager.Record(kServiceName).calls; }
    MemoryServiceManager manager;
};

TEST(ControlTheService, ResultsOfEachStep) {
    constexpr uint32_t kRefused = 1052;
    const struct {
        const char* name;
        uint32_t code;
        void (*arrange)(MemoryServiceManager&);
        int result;
    } cases[] = {
        {"no manager", 193, [](MemoryServiceManager& m) { m.RefuseConnect(5); }, 1},
        {"no service", 193, [](MemoryServiceManager&) {}, 2},
        {"no status", 193, [](MemoryServiceManager& m) { m.RefuseQueries(kServiceName, 5); }, 3},
        {"user code", 193, [](MemoryServiceManager&) {}, 0},
        {"user code to a stopped service is ignored", 196,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceStopped, 0, 0, 0});
         },
         0},
        {"stop", 1,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceRunning, 3, 0, 0});
         },
         0},
        {"stop when stopped", 1,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceStopped, 0, 0, 0});
         },
         0},
        {"stop refused", 1,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceRunning, 0, kRefused, 0});
         },
         4},
        {"stop too slow", 1,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceRunning, 31, 0, 0});
         },
         5},
        {"start", 0,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceStopped, 0, 0, 0});
         },
         0},
        {"start when running", 0, [](MemoryServiceManager&) {}, 0},
        {"start refused", 0,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceStopped, 0, 0, 1058});
         },
         6},
        {"start too slow", 0,
         [](MemoryServiceManager& m) {
             m.AddService(kServiceName, ServiceSetup{kServiceStopped, 0, 0, 0});
             m.DelayStart(kServiceName, 31);
         },
         7},
    };
    for (const auto& c : cases) {
        Services services(c.result != 2);  // 2 is the case without the service
        c.arrange(services.manager);
        test::FakeClock clock;
        EXPECT_EQ(ControlTheService(services.manager, clock, kServiceName, c.code), c.result)
            << c.name;
        EXPECT_EQ(services.manager.OpenHandles(), 0) << c.name << ": handles closed";
    }
}

TEST(ControlTheService, PollsEvery300MsAndAsksForTheRightAccess) {
    Services services;
    services.manager.AddService(kServiceName, ServiceSetup{kServiceRunning, 3, 0, 0});
    test::FakeClock clock;
    EXPECT_EQ(ControlTheService(services.manager, clock, kServiceName, 1), 0);
    EXPECT_EQ(clock.waits, (std::vector<uint32_t>{300, 300}));

    services.manager.AddService(kServiceName, ServiceSetup{kServiceStopped, 0, 0, 0});
    services.manager.DelayStart(kServiceName, 100);
    clock.waits.clear();
    EXPECT_EQ(ControlTheService(services.manager, clock, kServiceName, 0), 7);
    EXPECT_EQ(clock.waits, std::vector<uint32_t>(30, 300));

    // A user code asks for no more than user-defined control and status rights: the service
    // manager refuses a control the rights do not cover, which the code would then miss.
    services.manager.AddService(kServiceName, ServiceSetup{kServiceRunning, 0, 0, 0});
    EXPECT_EQ(ControlTheService(services.manager, clock, kServiceName, 193), 0);
    EXPECT_EQ(services.Calls(), (std::vector<std::wstring>{L"query", L"control 193"}));
}

TEST(ControlTheService, TheSetupProgramAsksForFullAccess) {
    const struct {
        ServiceAccess access;
        uint32_t code;
        uint32_t managerAccess;
        uint32_t serviceAccess;
    } cases[] = {
        {ServiceAccess::AsNeeded, 193, kScManagerConnect,
         kServiceUserDefinedControl | kServiceQueryStatus},
        {ServiceAccess::AsNeeded, kServiceRequestStop, kScManagerConnect, kServiceAllAccess},
        {ServiceAccess::Full, 128, kScManagerAllAccess, kServiceAllAccess},
        {ServiceAccess::Full, kServiceRequestStart, kScManagerAllAccess, kServiceAllAccess},
    };
    for (const auto& c : cases) {
        Services services;
        test::FakeClock clock;
        EXPECT_EQ(ControlTheService(services.manager, clock, kServiceName, c.code, c.access), 0);
        EXPECT_EQ(services.manager.ConnectAccess(), c.managerAccess) << c.code;
        EXPECT_EQ(services.manager.Record(kServiceName).openedAccess, c.serviceAccess) << c.code;
    }
}

TEST(MemoryServiceManager, ADeletedServiceGoesOnceStopped) {
    Services services;
    uint32_t error = 0;
    auto manager = services.manager.Connect(kScManagerAllAccess, error);
    ASSERT_TRUE(manager);
    auto service = manager->Open(kServiceName, kServiceQueryStatus, error);
    ASSERT_TRUE(service);
    EXPECT_EQ(service->Delete(), MemoryServiceManager::kAccessDenied) << "needs the delete right";
    service = manager->Open(kServiceName, kServiceAllAccess, error);
    EXPECT_EQ(service->Delete(), 0u);
    EXPECT_EQ(service->Delete(), MemoryServiceManager::kServiceMarkedForDelete);
    EXPECT_FALSE(manager->Open(kServiceName, kServiceAllAccess, error));
    EXPECT_EQ(error, MemoryServiceManager::kServiceMarkedForDelete) << "it still runs";
    ServiceStatus status;
    ASSERT_EQ(service->Control(kServiceControlStop, status), 0u);
    EXPECT_FALSE(manager->Open(kServiceName, kServiceAllAccess, error));
    EXPECT_EQ(error, MemoryServiceManager::kServiceDoesNotExist);
}

}  // namespace
}  // namespace tavrin
