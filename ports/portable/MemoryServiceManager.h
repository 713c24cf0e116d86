#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ports/ServiceManager.h"

namespace tavrin {

// A service control manager held in memory, for hosts without one. Services keep their state
// and answer like the Windows manager (error codes, access rights, a stop that takes a number of
// status queries to complete); refusals can be scripted. Handles must not outlive the manager.
class MemoryServiceManager final : public ServiceManager {
public:
    static constexpr uint32_t kAccessDenied = 5;
    static constexpr uint32_t kServiceRequestTimeout = 1053;
    static constexpr uint32_t kInvalidServiceControl = 1052;
    static constexpr uint32_t kServiceAlreadyRunning = 1056;
    static constexpr uint32_t kServiceDoesNotExist = 1060;
    static constexpr uint32_t kServiceCannotAcceptControl = 1061;
    static constexpr uint32_t kServiceNotActive = 1062;
    static constexpr uint32_t kServiceMarkedForDelete = 1072;
    // Stops that never complete.
    static constexpr uint32_t kNever = UINT32_MAX;

    struct ServiceSetup {
        uint32_t state = kServiceStopped;
        // Status queries after an accepted stop until the service reports stopped; 0 stops it
        // at once.
        uint32_t queriesUntilStopped = 0;
        uint32_t refuseStop = 0;   // error code answered to a stop control; 0 accepts
        uint32_t refuseStart = 0;  // error code answered to a start; 0 starts
    };

    // What happened to one service, for tests to read.
    struct ServiceRecord {
        uint32_t state = kServiceStopped;
        uint32_t queries = 0;
        std::vector<std::wstring> calls;  // "query", "control 1", "start", "delete", in order
        bool deleted = false;
        uint32_t openedAccess = 0;  // the rights asked for when it was last opened
    };

    std::unique_ptr<ServiceManagerHandle> Connect(uint32_t access, uint32_t& error) override;

    void AddService(const std::wstring& name, const ServiceSetup& setup);
    // Status queries after a start until the service reports running (0: at once).
    void DelayStart(const std::wstring& name, uint32_t queries);
    // Every later status query of the service fails with this error code (0 answers).
    void RefuseQueries(const std::wstring& name, uint32_t error);
    // Makes every later Connect fail with this error code (0 lets them through).
    void RefuseConnect(uint32_t error);
    ServiceRecord Record(const std::wstring& name) const;
    // Manager and service handles that are open now.
    int OpenHandles() const;
    // The rights asked for by the last Connect.
    uint32_t ConnectAccess() const;

private:
    class ManagerHandle;
    class OpenedService;
    struct Service {
        ServiceSetup setup;
        ServiceRecord record;
        uint32_t queriesSinceChange = 0;
        uint32_t queriesUntilRunning = 0;
        uint32_t queryRefusal = 0;
    };

    static std::wstring Fold(const std::wstring& name);
    uint32_t QueryStatus(const std::wstring& name, ServiceStatus& status);
    uint32_t Control(const std::wstring& name, uint32_t code, ServiceStatus& status);
    uint32_t Start(const std::wstring& name);
    uint32_t Delete(const std::wstring& name);
    static void Fill(const Service& service, ServiceStatus& status);

    mutable std::mutex mutex_;
    std::map<std::wstring, Service> services_;  // by folded name
    uint32_t connectRefusal_ = 0;
    uint32_t connectAccess_ = 0;
    int openHandles_ = 0;
};

}  // namespace tavrin
