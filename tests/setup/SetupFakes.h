#pragma once
// Fakes of the setup program's own ports: the system services, the wizard's window and the
// install steps.
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "setup/InstallSequence.h"
#include "setup/MainForm.h"
#include "setup/SetupSystem.h"

namespace tavrin::setup::test {

class FakeSetupSystem : public SetupSystem {
public:
    bool ProgramVersion(std::array<uint16_t, 4>& out) override {
        out = version;
        return true;
    }
    void Broadcast(const std::wstring& name, uint32_t timeout) override {
        std::lock_guard<std::mutex> lock(mutex_);
        broadcasts.push_back(name + L"/" + std::to_wstring(timeout));
    }
    bool ShellStart(const std::wstring& file, const std::wstring& parameters,
                    int32_t wait) override {
        std::lock_guard<std::mutex> lock(mutex_);
        shellStarts.push_back({file, parameters, wait});
        return shellStartWorks;
    }
    void Beep(uint32_t frequency, uint32_t milliseconds) override {
        std::lock_guard<std::mutex> lock(mutex_);
        beeps.emplace_back(frequency, milliseconds);
    }
    bool Reboot() override {
        ++reboots;
        return true;
    }
    ProcessRun RunProcess(const std::wstring& commandLine, uint32_t timeout) override {
        std::lock_guard<std::mutex> lock(mutex_);
        processes.push_back(commandLine + L" [" + std::to_wstring(timeout) + L"]");
        if (onRunProcess) onRunProcess(commandLine);
        return processRun;
    }
    bool CreateShortcut(const std::wstring& link, const std::wstring& target) override {
        std::lock_guard<std::mutex> lock(mutex_);
        shortcuts.emplace_back(link, target);
        if (onShortcut) onShortcut(link);
        return true;
    }
    bool DeviceOpens(const std::wstring& path) override {
        std::lock_guard<std::mutex> lock(mutex_);
        openedDevices.push_back(path);
        return filterDevicePresent;
    }
    std::unique_ptr<DeviceList> OpenDeviceList() override;

    struct ShellStartCall {
        std::wstring file;
        std::wstring parameters;
        int32_t wait;
    };

    // One device of the fake device list, with its lower filters and what happened to it.
    struct Device {
        InstalledDevice info;
        std::optional<std::vector<std::wstring>> lowerFilters;
        std::vector<std::wstring> changes;
        bool needsReboot = false;
    };

    std::array<uint16_t, 4> version{1, 2, 3, 4};
    ProcessRun processRun = ProcessRun::Ended;
    std::function<void(const std::wstring&)> onRunProcess;
    std::function<void(const std::wstring&)> onShortcut;
    std::vector<std::wstring> processes;
    std::vector<std::pair<std::wstring, std::wstring>> shortcuts;
    bool filterDevicePresent = false;
    std::vector<std::wstring> openedDevices;
    std::vector<Device> devices;
    bool shellStartWorks = true;
    std::vector<std::wstring> broadcasts;
    std::vector<ShellStartCall> shellStarts;
    std::vector<std::pair<uint32_t, uint32_t>> beeps;
    int reboots = 0;

protected:
    std::mutex mutex_;
};

// The device list over FakeSetupSystem::devices.
class FakeDeviceList final : public DeviceList {
public:
    explicit FakeDeviceList(std::vector<FakeSetupSystem::Device>& devices) : devices_(devices) {
        for (const auto& device : devices_) infos_.push_back(device.info);
    }
    const std::vector<InstalledDevice>& Devices() const override { return infos_; }
    bool LowerFilters(size_t index, std::vector<std::wstring>& filters) override {
        if (!devices_[index].lowerFilters) return false;
        filters = *devices_[index].lowerFilters;
        return true;
    }
    bool SetLowerFilters(size_t index, const std::vector<std::wstring>& filters) override {
        if (filters.empty()) {
            devices_[index].lowerFilters.reset();
        } else {
            devices_[index].lowerFilters = filters;
        }
        return true;
    }
    bool ChangeState(size_t index, DeviceStateChange change) override {
        const wchar_t* names[] = {L"disable", L"enable global", L"enable profile"};
        devices_[index].changes.push_back(names[static_cast<int>(change)]);
        return true;
    }
    bool NeedsReboot(size_t index) override { return devices_[index].needsReboot; }

private:
    std::vector<FakeSetupSystem::Device>& devices_;
    std::vector<InstalledDevice> infos_;
};

inline std::unique_ptr<DeviceList> FakeSetupSystem::OpenDeviceList() {
    return std::make_unique<FakeDeviceList>(devices);
}

// Records what the wizard shows. Posted messages wait in a queue for the test's "window thread"
// to deliver them, as the message loop would.
class RecordingWizardHost final : public WizardHost {
public:
    struct Message {
        std::wstring text;
        std::wstring caption;
        MessageKind kind;
    };
    struct Posted {
        bool ended;
        int32_t position;
    };

    void Show(const WizardForm& form) override {
        ++shows;
        shown = &form;
    }
    void ShowMessage(const std::wstring& text, const std::wstring& caption,
                     MessageKind kind) override {
        std::lock_guard<std::mutex> lock(mutex_);
        messages.push_back({text, caption, kind});
    }
    void PostProgress(int32_t position) override { Post({false, position}); }
    void PostInstallEnded() override { Post({true, 0}); }
    void ProcessPendingMessages() override {}
    void PostQuit() override { quitPosted = true; }
    void CloseWizard() override { closeRequested = true; }
    void SetApplicationTitle(const std::wstring& text) override { title = text; }
    void SetIcon(const std::wstring& path) override { icon = path; }
    void ScreenSize(int32_t& width, int32_t& height) override {
        width = screenWidth;
        height = screenHeight;
    }
    void MoveBackground(int32_t left, int32_t top, int32_t width, int32_t height) override {
        background = {left, top, width, height};
    }

    // Delivers posted messages to the form until the installation has ended; returns the
    // progress positions in the order they arrived.
    std::vector<int32_t> DeliverUntilEnded(TMainForm& form) {
        std::vector<int32_t> positions;
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            posted_.wait(lock, [&] { return !queue_.empty(); });
            const Posted message = queue_.front();
            queue_.pop_front();
            lock.unlock();
            if (message.ended) {
                form.InstallEndedMessage();
                return positions;
            }
            positions.push_back(message.position);
            form.ProgressMessage(message.position);
        }
    }
    std::vector<Message> Messages() {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages;
    }

    const WizardForm* shown = nullptr;
    int shows = 0;
    bool quitPosted = false;
    bool closeRequested = false;
    std::wstring title;
    std::wstring icon;
    int32_t screenWidth = 1280;
    int32_t screenHeight = 1024;
    std::array<int32_t, 4> background{};
    std::vector<Message> messages;

private:
    void Post(Posted message) {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(message);
        posted_.notify_one();
    }

    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<Posted> queue_;
};

// Install steps that only record their calls and post the progress the real steps post.
class RecordingInstallSteps final : public InstallSteps {
public:
    void BroadcastAppExit() override { Record(L"broadcast"); }
    void RestService() override { Record(L"rest service"); }
    void CleanOldFilters() override { Record(L"clean filters"); }
    bool FilterDriverActive() override {
        Record(L"refusal check");
        return filterDriverActive;
    }
    int Install_FilterDriver(InstallReporter& r) override { return Step(L"STEP1", r, {10, 20}); }
    int InstallService(InstallReporter& r) override { return Step(L"STEP2", r, {30, 40, 50, 60}); }
    int InstallApplication(InstallReporter& r) override { return Step(L"STEP3", r, {70}); }
    int InstallUninstaller(InstallReporter& r) override { return Step(L"STEP4", r, {80}); }
    int InstallSharedFiles(InstallReporter& r) override { return Step(L"STEP5", r, {90}); }
    int InstallUserManual(InstallReporter& r) override { return Step(L"STEP6", r, {}); }
    int InstallPlugins(InstallReporter& r) override { return Step(L"STEP7", r, {95}); }
    int InstallEffectApplication(InstallReporter& r) override { return Step(L"STEP8", r, {98}); }
    int InstallSoundEffectApplication(InstallReporter& r) override {
        return Step(L"STEP8.1", r, {98});
    }
    int Install_KB3033929(InstallReporter& r) override { return Step(L"STEP10", r, {}); }

    std::vector<std::wstring> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

    bool filterDriverActive = false;
    // Results by step label; the steps not listed succeed.
    std::map<std::wstring, int> results;
    // Runs inside a step, after its progress.
    std::function<void(const std::wstring& label)> during;

private:
    void Record(const std::wstring& call) {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(call);
    }
    int Step(const wchar_t* label, InstallReporter& reporter, std::vector<int32_t> progress) {
        Record(label);
        for (const int32_t position : progress) reporter.Progress(position);
        if (during) during(label);
        auto found = results.find(label);
        return found == results.end() ? 0 : found->second;
    }

    std::mutex mutex_;
    std::vector<std::wstring> calls_;
};

// Progress and messages of a sequence run on the test's own thread.
class RecordingReporter final : public InstallReporter {
public:
    void Progress(int32_t position) override { positions.push_back(position); }
    void Message(const std::wstring& text) override { messages.push_back(text); }
    void Beep() override { ++beeps; }

    std::vector<int32_t> positions;
    std::vector<std::wstring> messages;
    int beeps = 0;
};

}  // namespace tavrin::setup::test
