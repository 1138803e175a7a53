#include "tests/support/test_files.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <random>

namespace vexlor::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    // A name of this run alone: process numbers come round again (under Wine after a few runs),
    // and a journal kept elsewhere for a path of an earlier run must not be taken for this one.
    static const std::string run = std::to_string(std::random_device{}());
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("vexlor-test-" + run + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(path_)) {
            break;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

std::string ReadFileText(const std::filesystem::path& path) {
    const Bytes bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteFileText(const std::filesystem::path& path, const std::string& text) {
    WriteFileBytes(path, Bytes(text.begin(), text.end()));
}

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    std::istringstream in(hex);
    std::string pair;
    while (in >> pair) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    return bytes;
}

}  // namespace vexlor::test
