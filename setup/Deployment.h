#pragma once
// Putting files and folders in place.
#include <string>

#include "ports/FileSystem.h"

namespace tavrin::setup {

// Creates every folder along the path, one prefix ending at a backslash at a time; folders that
// exist already, or cannot be made, are passed over.
void CreateFolderChain(FileSystem& files, const std::wstring& path);

}  // namespace tavrin::setup
