#include "setup/Deployment.h"

namespace tavrin::setup {

void CreateFolderChain(FileSystem& files, const std::wstring& path) {
    for (size_t end = path.find(L'\\'); end != std::wstring::npos;
         end = path.find(L'\\', end + 1)) {
        files.CreateFolder(path.substr(0, end + 1));
    }
}

}  // namespace tavrin::setup
