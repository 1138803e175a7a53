#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Paths inside the program are UTF-8 text on every system. On Windows they become UTF-16 only
// where they are handed to the system, so that names outside the ANSI code page survive; on
// other systems the bytes pass through unchanged.
namespace vexlor {

// Never throws: bytes that are not UTF-8 become U+FFFD on Windows.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8Of(const std::filesystem::path& path);

// std::fopen with a UTF-8 name.
std::FILE* OpenFileUtf8(const std::string& path, const char* mode);

// The environment variable's value as UTF-8, empty when it is not set.
std::string EnvironmentUtf8(const char* name);

#ifdef _WIN32
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
#endif

}  // namespace vexlor
