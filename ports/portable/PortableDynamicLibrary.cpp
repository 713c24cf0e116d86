#include "ports/portable/PortableDynamicLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>

#include "ports/portable/HostPath.h"

namespace tavrin {
namespace {

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return program.parent_path().string();
}

bool EndsWithDll(const std::string& name) {
    if (name.size() < 4) return false;
    std::string suffix = name.substr(name.size() - 4);
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix == ".dll";
}

}  // namespace

PortableDynamicLibrary::~PortableDynamicLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

std::string PortableDynamicLibrary::HostFileName(const std::wstring& fileName) {
    std::string name = ToHostPath(fileName);
    if (EndsWithDll(name)) name = name.substr(0, name.size() - 4) + ".so";
    if (name.find('/') == std::string::npos) {
        const std::string folder = ProgramFolder();
        if (!folder.empty()) name = folder + "/" + name;
    }
    return name;
}

bool PortableDynamicLibrary::Load(const std::wstring& fileName) {
    const std::string hostName = HostFileName(fileName);
    void* handle = dlopen(hostName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        Fail(access(hostName.c_str(), F_OK) == 0 ? kBadFormat : kModuleNotFound);
        return false;
    }
    if (handle_ != nullptr) dlclose(handle_);
    handle_ = handle;
    lastError_ = 0;
    return true;
}

void* PortableDynamicLibrary::Symbol(const char* name) {
    if (handle_ == nullptr) {
        lastError_ = kModuleNotFound;
        lastErrorText_.clear();
        return nullptr;
    }
    dlerror();
    void* address = dlsym(handle_, name);
    if (address == nullptr) Fail(kProcedureNotFound);
    return address;
}

uint32_t PortableDynamicLibrary::LastError() {
    return lastError_;
}

std::wstring PortableDynamicLibrary::ErrorText(uint32_t code) {
    if (code == lastError_ && !lastErrorText_.empty()) return lastErrorText_;
    switch (code) {
        case kModuleNotFound: return L"The specified module could not be found.";
        case kProcedureNotFound: return L"The specified procedure could not be found.";
        case kBadFormat: return L"The file is not a loadable library for this system.";
        default: return {};
    }
}

void PortableDynamicLibrary::Fail(uint32_t code) {
    lastError_ = code;
    const char* text = dlerror();
    lastErrorText_ = text != nullptr ? FromUtf8(text) : std::wstring();
}

}  // namespace tavrin
