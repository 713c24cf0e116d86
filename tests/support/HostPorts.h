#pragma once
// The host's real file system and profile store, so that logic tests that read files run against
// the portable store natively and against the Windows functions under Wine.
#include <string>
#include <vector>

#ifdef _WIN32
#include "ports/win32/Win32DynamicLibrary.h"
#include "ports/win32/Win32FileSystem.h"
#include "ports/win32/Win32ProfileStore.h"
#else
#include "ports/portable/PortableDynamicLibrary.h"
#include "ports/portable/PortableFileSystem.h"
#include "ports/portable/PortableProfileStore.h"
#endif

namespace tavrin::test {

#ifdef _WIN32
using HostDynamicLibrary = Win32DynamicLibrary;
#else
using HostDynamicLibrary = PortableDynamicLibrary;
#endif

struct HostPorts {
#ifdef _WIN32
    Win32FileSystem files;
    Win32ProfileStore profiles;
#else
    PortableFileSystem files;
    PortableProfileStore profiles{files};
#endif

    void WriteFile(const std::wstring& path, const std::string& bytes) {
        files.ReplaceFileAtomically(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
};

}  // namespace tavrin::test
