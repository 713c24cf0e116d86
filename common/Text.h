#pragma once
// Small text rules shared by the readers of the program's files and its menus.
#include <string>
#include <string_view>
#include <vector>

#include "ports/FileSystem.h"

namespace tavrin {

// Without spaces and tabs at both ends.
std::wstring_view TrimBlanks(std::wstring_view text);

// Appends one problem to a list of problems that is reported as one line ("a; b").
void AddProblem(std::wstring& problems, const std::wstring& problem);

// Menu captions mark their access key with "&"; the names behind them do not have it.
std::wstring WithoutAmpersands(std::wstring_view text);

// Folder names sorted without regard to case (then by their exact spelling), so that menus built
// from them do not reshuffle between runs: the system lists folders in no promised order.
void SortFolderNames(std::vector<std::wstring>& names);
// The subfolders of a folder, sorted so; empty when the folder cannot be listed.
std::vector<std::wstring> SortedSubfolders(FileSystem& files, const std::wstring& folder);

}  // namespace tavrin
