#pragma once
// A fresh, uniquely named folder under the system temp folder, removed with everything in it when
// the object goes. Works natively and in MinGW builds run under Wine.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tavrin::test {

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                base / ("tavrin-test-" + std::to_string(random()) + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                folder_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder");
    }

    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Windows form with a trailing backslash, ready to be joined with a file name.
    std::wstring Path() const {
        std::wstring path = folder_.wstring();
        std::replace(path.begin(), path.end(), L'/', L'\\');
        if (path.empty() || path.back() != L'\\') path += L'\\';
        return path;
    }

    // The same folder as the host's file functions want it.
    const std::filesystem::path& HostPath() const { return folder_; }

    void WriteFile(const std::wstring& name, const std::string& bytes) const {
        std::ofstream out(folder_ / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write a test file");
    }

    // The file's bytes; nothing when it does not exist.
    std::optional<std::string> ReadFile(const std::wstring& name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        if (!in) return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path folder_;
};

}  // namespace tavrin::test
