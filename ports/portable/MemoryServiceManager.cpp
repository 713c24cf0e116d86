#include "ports/portable/MemoryServiceManager.h"

#include <utility>
#include "ports/TextCase.h"

namespace tavrin {
namespace {

constexpr uint32_t kServiceInterrogate = 0x0080;
constexpr uint32_t kFirstUserControl = 128;
constexpr uint32_t kLastUserControl = 255;
constexpr uint32_t kWin32OwnProcess = 0x10;

}  // namespace

class MemoryServiceManager::OpenedService final : public ServiceHandle {
public:
    OpenedService(MemoryServiceManager& manager, std::wstring name, uint32_t access)
        : manager_(manager), name_(std::move(name)), access_(access) {}
    ~OpenedService() override {
        std::lock_guard<std::mutex> lock(manager_.mutex_);
        --manager_.openHandles_;
    }

    uint32_t QueryStatus(ServiceStatus& status) override {
        if ((access_ & kServiceQueryStatus) == 0) return kAccessDenied;
        return manager_.QueryStatus(name_, status);
    }
    uint32_t Control(uint32_t code, ServiceStatus& status) override {
        uint32_t needed = kServiceUserDefinedControl;
        if (code == kServiceControlStop) needed = kServiceStop;
        if (code == kServiceControlInterrogate) needed = kServiceInterrogate;
        if ((access_ & needed) == 0) return kAccessDenied;
        return manager_.Control(name_, code, status);
    }
    uint32_t Start() override {
        if ((access_ & kServiceStart) == 0) return kAccessDenied;
        return manager_.Start(name_);
    }
    uint32_t Delete() override {
        if ((access_ & kServiceDelete) == 0) return kAccessDenied;
        return manager_.Delete(name_);
    }

private:
    MemoryServiceManager& manager_;
    std::wstring name_;  // folded
    uint32_t access_;
};

class MemoryServiceManager::ManagerHandle final : public ServiceManagerHandle {
public:
    explicit ManagerHandle(MemoryServiceManager& manager) : manager_(manager) {}
    ~ManagerHandle() override {
        std::lock_guard<std::mutex> lock(manager_.mutex_);
        --manager_.openHandles_;
    }

    std::unique_ptr<ServiceHandle> Open(const std::wstring& serviceName, uint32_t access,
                                        uint32_t& error) override {
        const std::wstring name = Fold(serviceName);
        std::lock_guard<std::mutex> lock(manager_.mutex_);
        auto found = manager_.services_.find(name);
        if (found == manager_.services_.end()) {
            error = kServiceDoesNotExist;
            return nullptr;
        }
        // A deleted service lingers while it runs; a stopped one is gone.
        if (found->second.record.deleted) {
            error = found->second.record.state == kServiceStopped ? kServiceDoesNotExist
                                                                  : kServiceMarkedForDelete;
            return nullptr;
        }
        ++manager_.openHandles_;
        found->second.record.openedAccess = access;
        error = 0;
        return std::make_unique<OpenedService>(manager_, name, access);
    }

private:
    MemoryServiceManager& manager_;
};

std::unique_ptr<ServiceManagerHandle> MemoryServiceManager::Connect(uint32_t access,
                                                                    uint32_t& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    connectAccess_ = access;
    error = connectRefusal_;
    if (error != 0) return nullptr;
    ++openHandles_;
    return std::make_unique<ManagerHandle>(*this);
}

void MemoryServiceManager::AddService(const std::wstring& name, const ServiceSetup& setup) {
    std::lock_guard<std::mutex> lock(mutex_);
    Service& service = services_[Fold(name)];
    service = Service{};
    service.setup = setup;
    service.record.state = setup.state;
}

void MemoryServiceManager::DelayStart(const std::wstring& name, uint32_t queries) {
    std::lock_guard<std::mutex> lock(mutex_);
    services_.at(Fold(name)).queriesUntilRunning = queries;
}

void MemoryServiceManager::RefuseQueries(const std::wstring& name, uint32_t error) {
    std::lock_guard<std::mutex> lock(mutex_);
    services_.at(Fold(name)).queryRefusal = error;
}

void MemoryServiceManager::RefuseConnect(uint32_t error) {
    std::lock_guard<std::mutex> lock(mutex_);
    connectRefusal_ = error;
}

MemoryServiceManager::ServiceRecord MemoryServiceManager::Record(const std::wstring& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = services_.find(Fold(name));
    return found == services_.end() ? ServiceRecord{} : found->second.record;
}

int MemoryServiceManager::OpenHandles() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return openHandles_;
}

uint32_t MemoryServiceManager::ConnectAccess() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connectAccess_;
}

std::wstring MemoryServiceManager::Fold(const std::wstring& name) {
    return UpperCase(name);
}

void MemoryServiceManager::Fill(const Service& service, ServiceStatus& status) {
    status = {};
    status.serviceType = kWin32OwnProcess;
    status.currentState = service.record.state;
    status.controlsAccepted = service.record.state == kServiceRunning ? 1u : 0u;
}

uint32_t MemoryServiceManager::QueryStatus(const std::wstring& name, ServiceStatus& status) {
    std::lock_guard<std::mutex> lock(mutex_);
    Service& service = services_.at(name);
    service.record.calls.push_back(L"query");
    ++service.record.queries;
    if (service.queryRefusal != 0) return service.queryRefusal;
    // A pending stop or start completes after its number of queries.
    const uint32_t state = service.record.state;
    const uint32_t needed = state == kServiceStopPending    ? service.setup.queriesUntilStopped
                            : state == kServiceStartPending ? service.queriesUntilRunning
                                                            : 0;
    if (needed != 0 && needed != kNever && ++service.queriesSinceChange >= needed) {
        service.record.state = state == kServiceStopPending ? kServiceStopped : kServiceRunning;
    }
    Fill(service, status);
    return 0;
}

uint32_t MemoryServiceManager::Control(const std::wstring& name, uint32_t code,
                                       ServiceStatus& status) {
    std::lock_guard<std::mutex> lock(mutex_);
    Service& service = services_.at(name);
    service.record.calls.push_back(L"control " + std::to_wstring(code));
    const uint32_t state = service.record.state;
    const bool userControl = code >= kFirstUserControl && code <= kLastUserControl;
    if (code != kServiceControlStop && code != kServiceControlInterrogate && !userControl) {
        return kInvalidServiceControl;
    }
    if (state == kServiceStopped) return kServiceNotActive;
    if (state != kServiceRunning) return kServiceCannotAcceptControl;
    if (code == kServiceControlStop) {
        if (service.setup.refuseStop != 0) return service.setup.refuseStop;
        service.queriesSinceChange = 0;
        service.record.state =
            service.setup.queriesUntilStopped == 0 ? kServiceStopped : kServiceStopPending;
    }
    Fill(service, status);
    return 0;
}

uint32_t MemoryServiceManager::Start(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    Service& service = services_.at(name);
    service.record.calls.push_back(L"start");
    if (service.record.state != kServiceStopped) return kServiceAlreadyRunning;
    if (service.setup.refuseStart != 0) return service.setup.refuseStart;
    service.queriesSinceChange = 0;
    service.record.state =
        service.queriesUntilRunning == 0 ? kServiceRunning : kServiceStartPending;
    return 0;
}

uint32_t MemoryServiceManager::Delete(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    Service& service = services_.at(name);
    service.record.calls.push_back(L"delete");
    if (service.record.deleted) return kServiceMarkedForDelete;
    service.record.deleted = true;
    return 0;
}

}  // namespace tavrin
