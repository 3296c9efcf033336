#pragma once
// A fresh directory under the system's temporary folder, removed with everything in it.

#include <filesystem>
#include <string>
#include <string_view>

namespace tolvi::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(std::string_view name) const { return path_ / name; }
    // Writes `bytes` to `name` inside the directory and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// Reads a whole file as bytes.
std::string readFileBytes(const std::filesystem::path& path);

}  // namespace tolvi::test
