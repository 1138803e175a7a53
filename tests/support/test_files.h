#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexlor::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // path / name as a string, ready for the library's path parameters: joined by '/', as the
    // program joins the names it makes, on Windows too.
    std::string File(const std::string& name) const { return path_.string() + "/" + name; }

  private:
    std::filesystem::path path_;
};

Bytes ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);
std::string ReadFileText(const std::filesystem::path& path);
void WriteFileText(const std::filesystem::path& path, const std::string& text);

// Bytes from a text of hexadecimal pairs such as "57 23 06 57".
Bytes FromHex(const std::string& hex);

}  // namespace vexlor::test
