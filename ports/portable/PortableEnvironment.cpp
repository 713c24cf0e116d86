#include "ports/portable/PortableEnvironment.h"

#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "ports/portable/HostPath.h"

namespace tavrin {

PortableEnvironment::PortableEnvironment(std::wstring windowsRoot)
    : windowsRoot_(std::move(windowsRoot)) {}

std::optional<std::wstring> PortableEnvironment::GetVariable(const std::wstring& name) {
    const char* value = std::getenv(ToUtf8(name).c_str());
    if (value == nullptr) return std::nullopt;
    return FromUtf8(value);
}

std::wstring PortableEnvironment::GetKnownFolder(KnownFolder folder) {
    switch (folder) {
        case KnownFolder::ProgramFiles: return windowsRoot_ + L"\\Program Files";
        case KnownFolder::System:
        case KnownFolder::SystemX86: return windowsRoot_ + L"\\Windows\\System32";
        case KnownFolder::CommonPrograms:
            return windowsRoot_ + L"\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
        case KnownFolder::AppData: {
            const auto appData = GetVariable(L"APPDATA");
            return appData ? *appData : windowsRoot_ + L"\\Users\\Public\\AppData\\Roaming";
        }
        case KnownFolder::Windows: return windowsRoot_ + L"\\Windows";
        case KnownFolder::Desktop: return windowsRoot_ + L"\\Users\\Public\\Desktop";
    }
    return L"";
}

std::wstring PortableEnvironment::SystemDirectory() {
    return GetKnownFolder(KnownFolder::System);
}

std::wstring PortableEnvironment::ProgramPath() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) return L"";
    path.resize(static_cast<size_t>(length));
    return FromHostPath(path);
}

uint16_t PortableEnvironment::GetNativeProcessorArchitecture() {
#if defined(__x86_64__)
    return static_cast<uint16_t>(ProcessorArchitecture::X64);
#elif defined(__aarch64__)
    return static_cast<uint16_t>(ProcessorArchitecture::Arm64);
#else
    return static_cast<uint16_t>(ProcessorArchitecture::X86);
#endif
}

}  // namespace tavrin
