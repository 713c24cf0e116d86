#pragma once
// The one place where Windows-form paths meet the host file system.
#include <string>

namespace tavrin {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// Backslashes become slashes; nothing else changes.
std::string ToHostPath(const std::wstring& windowsPath);
// Slashes become backslashes.
std::wstring FromHostPath(const std::string& hostPath);

}  // namespace tavrin
