#include "ports/portable/PortableFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ports/portable/HostPath.h"

namespace tavrin {
namespace {

// Host path without the trailing slash that Windows-form folder paths carry.
std::string HostFolder(const std::wstring& path) {
    std::string host = ToHostPath(path);
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    return host;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

FileReadResult PortableFileSystem::ReadWholeFile(const std::wstring& path,
                                                 std::vector<uint8_t>& contents) {
    return ReadFileStart(path, SIZE_MAX, contents);
}

FileReadResult PortableFileSystem::ReadFileStart(const std::wstring& path, size_t maxBytes,
                                                 std::vector<uint8_t>& contents) {
    const int fd = ::open(ToHostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FileReadResult::OpenFailed;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return S_ISDIR(info.st_mode) ? FileReadResult::OpenFailed : FileReadResult::SizeFailed;
    }
    contents.assign(std::min(static_cast<size_t>(info.st_size), maxBytes), 0);
    size_t done = 0;
    while (done < contents.size()) {
        const ssize_t got = ::read(fd, contents.data() + done, contents.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ::close(fd);
            return FileReadResult::ReadFailed;
        }
        done += static_cast<size_t>(got);
    }
    ::close(fd);
    return FileReadResult::Ok;
}

bool PortableFileSystem::FileExists(const std::wstring& path) {
    struct stat info {};
    return ::stat(ToHostPath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool PortableFileSystem::DirectoryExists(const std::wstring& path) {
    struct stat info {};
    return ::stat(HostFolder(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PortableFileSystem::ListDirectory(const std::wstring& path,
                                       std::vector<DirectoryEntry>& entries) {
    const std::string folder = HostFolder(path);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat info {};
        const bool isDirectory =
            ::stat((folder + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        entries.push_back({FromUtf8(name), isDirectory});
    }
    ::closedir(dir);
    return true;
}

bool PortableFileSystem::CreateFolder(const std::wstring& path) {
    return ::mkdir(HostFolder(path).c_str(), 0755) == 0;
}

bool PortableFileSystem::CopyOneFile(const std::wstring& from, const std::wstring& to,
                                     bool failIfExists) {
    std::vector<uint8_t> contents;
    if (ReadWholeFile(from, contents) != FileReadResult::Ok) return false;
    if (failIfExists && FileExists(to)) return false;
    return ReplaceFileAtomically(to, contents);
}

bool PortableFileSystem::RemoveFile(const std::wstring& path) {
    return ::unlink(ToHostPath(path).c_str()) == 0;
}

FileWriteResult PortableFileSystem::WriteNewFile(const std::wstring& path, const uint8_t* data,
                                                 size_t size) {
    const int fd = ::open(ToHostPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return FileWriteResult::OpenFailed;
    const bool written = WriteAll(fd, data, size);
    ::close(fd);
    return written ? FileWriteResult::Ok : FileWriteResult::ShortWrite;
}

bool PortableFileSystem::SetNormalAttributes(const std::wstring& path) {
    // A read-only file has no write permission on the host: normal gives it back to the owner.
    const std::string host = HostFolder(path);
    struct stat info {};
    if (::stat(host.c_str(), &info) != 0) return false;
    return ::chmod(host.c_str(), (info.st_mode & 07777) | S_IWUSR) == 0;
}

bool PortableFileSystem::RemoveFolder(const std::wstring& path) {
    return ::rmdir(HostFolder(path).c_str()) == 0;
}

bool PortableFileSystem::ReplaceFileAtomically(const std::wstring& path,
                                               const std::vector<uint8_t>& contents) {
    const std::string target = ToHostPath(path);
    std::string temporary = target + ".tmpXXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    const bool written = WriteAll(fd, contents.data(), contents.size()) && ::fsync(fd) == 0;
    ::fchmod(fd, 0644);
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tavrin
