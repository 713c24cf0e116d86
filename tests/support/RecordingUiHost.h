#pragma once
// A windowing host that records what the window asked of it.
#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/form/FormModel.h"
#include "app/shell/MainWindowHost.h"

namespace tavrin {

class RecordingUiHost : public MainWindowHost {
public:
    void SetApplicationTitle(const std::wstring& text) override { title = text; }
    void ShowMainWindow() override { calls.push_back("show"); }
    void HideMainWindow() override { calls.push_back("hide"); }
    void MinimizeMainWindow() override { calls.push_back("minimize"); }
    void PostMinimize() override { calls.push_back("post minimize"); }
    void CloseMainWindow() override { calls.push_back("close"); }
    void BeginWindowDrag() override { calls.push_back("drag"); }
    void Repaint() override { ++repaints; }
    void PostQuit() override { calls.push_back("quit"); }
    // Work posted from other threads runs here, as the window's loop would run it.
    void ProcessPendingMessages() override {
        for (;;) {
            std::function<void()> work;
            {
                std::lock_guard<std::mutex> lock(postedMutex);
                if (posted.empty()) return;
                work = std::move(posted.front());
                posted.pop_front();
            }
            work();
        }
    }
    std::wstring CommandLine() override { return commandLine; }
    void AttachForm(const FormModel& attached) override { form = &attached; }
    void ScreenSize(int32_t& width, int32_t& height) override {
        width = screenWidth;
        height = screenHeight;
    }
    int32_t ScreenPixelsPerInch() override { return pixelsPerInch; }
    void SetClientSize(int32_t width, int32_t height) override { clientSize = {width, height}; }
    void SetWindowRegion(const std::vector<uint8_t>& data, int32_t width, int32_t height) override {
        region = data;
        regionSize = {width, height};
    }
    void SetTimer(TimerId timer, uint32_t interval, bool enabled) override {
        timers[static_cast<size_t>(timer)] = enabled ? interval : 0;
    }
    uint32_t RegisterMessage(const std::wstring& name) override {
        registered.push_back(name);
        return 0xC000 + static_cast<uint32_t>(registered.size());
    }
    void Broadcast(uint32_t message, uint32_t timeout) override {
        calls.push_back("broadcast " + std::to_string(message) + "/" + std::to_string(timeout));
        if (onBroadcast) onBroadcast(message);
    }
    void SetTrayIcon(const std::wstring& path, const std::wstring& text) override {
        iconPath = path;
        hint = text;
    }
    void SetTrayMenu(const std::vector<MenuItem>& items) override { menu = items; }
    void ShowMessage(const std::wstring& text, const std::wstring& caption,
                     MessageIcon icon) override {
        messages.push_back(text);
        messageCaptions.push_back(caption);
        messageIcons.push_back(icon);
    }
    bool LaunchProgram(const std::wstring& path, const std::wstring& parameters) override {
        launched.emplace_back(path, parameters);
        calls.push_back("launch");
        return true;
    }
    void RegisterDeviceNotifications() override {
        calls.push_back("device notifications");
        if (onDeviceNotifications) onDeviceNotifications();
    }
    void PostToWindowThread(std::function<void()> work) override {
        // Work from the test's own thread runs at once unless asked to wait; work from other
        // threads always waits for the window thread (the test) to run it.
        if (!queuePosts && std::this_thread::get_id() == windowThread_) {
            work();
            return;
        }
        {
            std::lock_guard<std::mutex> lock(postedMutex);
            posted.push_back(std::move(work));
        }
        postedArrived_.notify_all();
    }
    // Waits (at most `timeout`) until work was posted, then runs what is queued on this thread,
    // as the window thread would; false when nothing came.
    bool RunPosted(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::deque<std::function<void()>> work;
        {
            std::unique_lock<std::mutex> lock(postedMutex);
            if (!postedArrived_.wait_for(lock, timeout, [this] { return !posted.empty(); })) {
                return false;
            }
            work.swap(posted);
        }
        for (auto& item : work) item();
        return true;
    }
    void OpenWithShell(const std::wstring& target) override { opened.push_back(target); }
    // Answers with the next of `chosenFiles`; cancelled when none is left.
    std::optional<std::wstring> ChooseFile(const FileDialogOptions& options) override {
        dialogs.push_back(options);
        if (chosenFiles.empty()) return std::nullopt;
        std::optional<std::wstring> chosen = chosenFiles.front();
        chosenFiles.pop_front();
        return chosen;
    }
    void ShowModalForm(const FormModel& shown, const std::wstring& caption,
                       const std::function<void(const Component&)>& clicked) override {
        modalForms.push_back(shown);
        modalCaptions.push_back(caption);
        if (onModalForm) onModalForm(shown, clicked);
    }
    // The next answer of the colour dialog; none queued (or nullopt) cancels.
    bool ChooseColour(uint32_t& colour) override {
        colourDialogStarts.push_back(colour);
        std::optional<uint32_t> answer;
        if (!colourAnswers.empty()) {
            answer = colourAnswers.front();
            colourAnswers.pop_front();
        }
        if (answer) colour = *answer;
        return answer.has_value();
    }
    // Shows, lets `whileDialogShows` act on it as the user would, and closes it.
    void ShowModalDialog(Dialog& dialog) override {
        dialogsShown.push_back(dialog.frame.caption);
        dialog.OnShow();
        if (whileDialogShows) whileDialogShows(dialog);
        dialog.OnClose();
    }

    // Off: posted work runs at once on the thread that posts it. On: it waits for RunPosted.
    bool queuePosts = false;
    // The window's own copy of a broadcast arrives through this, when set.
    std::function<void(uint32_t)> onBroadcast;
    std::function<void()> onDeviceNotifications;
    // What the user does while a modal form shows.
    std::function<void(const FormModel&, const std::function<void(const Component&)>&)> onModalForm;
    std::deque<std::optional<std::wstring>> chosenFiles;
    std::vector<FileDialogOptions> dialogs;
    std::vector<std::wstring> opened, modalCaptions;
    std::vector<FormModel> modalForms;
    std::function<void(Dialog&)> whileDialogShows;
    std::deque<std::optional<uint32_t>> colourAnswers;
    std::vector<uint32_t> colourDialogStarts;
    std::vector<std::wstring> dialogsShown;
    std::wstring commandLine = L"Tavrin.exe -servicestart";
    std::wstring title, iconPath, hint;
    std::vector<std::string> calls;
    std::vector<std::wstring> registered, messages, messageCaptions;
    std::vector<MessageIcon> messageIcons;
    std::vector<std::pair<std::wstring, std::wstring>> launched;
    std::vector<MenuItem> menu;
    std::array<uint32_t, kTimerCount> timers{};
    const FormModel* form = nullptr;
    int32_t screenWidth = 1920;
    int32_t screenHeight = 1080;
    int32_t pixelsPerInch = 96;
    std::pair<int32_t, int32_t> clientSize{0, 0};
    std::vector<uint8_t> region;
    std::pair<int32_t, int32_t> regionSize{0, 0};
    int repaints = 0;
    // Work posted while `queuePosts` is set waits here until the test runs it.
    std::mutex postedMutex;
    std::deque<std::function<void()>> posted;

private:
    std::thread::id windowThread_ = std::this_thread::get_id();
    std::condition_variable postedArrived_;
};

}  // namespace tavrin
