#include "platform/game_registry.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "library/utf8_path.h"
#include "platform/ascii_text.h"
#include "platform/path_resolver.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace vexlor {

namespace {

namespace fs = std::filesystem;
using platform_detail::AsciiEqualNoCase;
using platform_detail::AsciiLower;
using platform_detail::IsAsciiLetter;
using platform_detail::IsSeparator;
using platform_detail::TrimBlanks;

constexpr std::string_view kGameKey =
    "Software\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0";
constexpr std::string_view kGameKeyWow64 =
    "Software\\Wow6432Node\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0";
constexpr std::string_view kValueName = "Executable";
constexpr std::string_view kRegistryHeader = "WINE REGISTRY Version 2";
constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;
constexpr std::size_t kMaxValueBytes = std::size_t{4} << 20;  // a value with its continuations

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// Reads a file line by line through a fixed buffer, so that a registry file of tens of
// megabytes is never held whole. A NUL byte, an overlong line or a read error ends the reading
// with an error.
class LineReader {
  public:
    explicit LineReader(const fs::path& path) : file_(OpenFileUtf8(Utf8Of(path), "rb")) {}
    ~LineReader() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    bool Failed() const { return failed_; }

    // The next line without its LF or CR LF; false at the end of the file or on an error.
    bool Next(std::string& line) {
        line.clear();
        if (file_ == nullptr || failed_) {
            return false;
        }
        bool any = false;
        for (;;) {
            if (position_ == length_) {
                length_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
                position_ = 0;
                if (length_ == 0) {
                    failed_ = std::ferror(file_) != 0;
                    break;
                }
            }
            const char* start = buffer_.data() + position_;
            const std::size_t available = length_ - position_;
            const void* newline = std::memchr(start, '\n', available);
            const std::size_t take =
                newline == nullptr
                    ? available
                    : static_cast<std::size_t>(static_cast<const char*>(newline) - start);
            line.append(start, take);
            position_ += take;
            any = true;
            if (line.size() > kMaxLineBytes || std::memchr(start, '\0', take) != nullptr) {
                failed_ = true;
                return false;
            }
            if (newline != nullptr) {
                ++position_;
                break;
            }
        }
        if (failed_ || !any) {
            return false;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return true;
    }

  private:
    std::FILE* file_;
    std::array<char, 65536> buffer_{};
    std::size_t position_ = 0;
    std::size_t length_ = 0;
    bool failed_ = false;
};

// Builds UTF-8 text from bytes copied as they stand and from UTF-16 code units, pairing
// surrogates; a lone surrogate becomes U+FFFD.
class Utf8Builder {
  public:
    void Byte(char c) {
        FlushSurrogate();
        text_.push_back(c);
    }
    void CodeUnit(unsigned unit) {
        if (unit >= 0xDC00 && unit <= 0xDFFF && high_ != 0) {
            CodePoint(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
            high_ = 0;
            return;
        }
        FlushSurrogate();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high_ = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            CodePoint(0xFFFD);
        } else {
            CodePoint(unit);
        }
    }
    std::string Take() {
        FlushSurrogate();
        return std::move(text_);
    }

  private:
    void FlushSurrogate() {
        if (high_ != 0) {
            high_ = 0;
            CodePoint(0xFFFD);
        }
    }
    void CodePoint(unsigned point) {
        auto put = [this](unsigned byte) { text_.push_back(static_cast<char>(byte)); };
        if (point < 0x80) {
            put(point);
        } else if (point < 0x800) {
            put(0xC0 | (point >> 6));
            put(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            put(0xE0 | (point >> 12));
            put(0x80 | ((point >> 6) & 0x3F));
            put(0x80 | (point & 0x3F));
        } else {
            put(0xF0 | (point >> 18));
            put(0x80 | ((point >> 12) & 0x3F));
            put(0x80 | ((point >> 6) & 0x3F));
            put(0x80 | (point & 0x3F));
        }
    }

    std::string text_;
    unsigned high_ = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = AsciiLower(c);
    return (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
}

// Reads an escaped text as Wine's registry files write it, from `pos` up to the unescaped
// `terminator`, and leaves `pos` behind the terminator. Escapes: \\ \" \[ \] (any other
// character stands for itself), \a \b \e \f \n \r \t \v, \x with 1 to 4 hexadecimal digits,
// \u with 4, and octal \NNN with 1 to 3 digits. False when the terminator is missing.
bool ParseEscaped(std::string_view text, std::size_t& pos, char terminator, std::string& out) {
    Utf8Builder builder;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == terminator) {
            out = builder.Take();
            return true;
        }
        if (c != '\\') {
            builder.Byte(c);
            continue;
        }
        if (pos >= text.size()) {
            return false;
        }
        const char e = text[pos++];
        static constexpr std::string_view kLetters = "abefnrtv";
        static constexpr unsigned kControls[] = {0x07, 0x08, 0x1B, 0x0C, 0x0A, 0x0D, 0x09, 0x0B};
        if (const std::size_t at = kLetters.find(e); at != std::string_view::npos) {
            builder.CodeUnit(kControls[at]);
        } else if (e == 'x' || e == 'u') {
            const std::size_t least = e == 'x' ? 1 : 4;
            unsigned unit = 0;
            std::size_t digits = 0;
            while (digits < 4 && pos + digits < text.size() && HexDigit(text[pos + digits]) >= 0) {
                unit = unit * 16 + static_cast<unsigned>(HexDigit(text[pos + digits]));
                ++digits;
            }
            if (digits < least) {
                builder.Byte(e);  // not an escape after all: the letter itself
            } else {
                pos += digits;
                builder.CodeUnit(unit);
            }
        } else if (e >= '0' && e <= '7') {
            unsigned unit = static_cast<unsigned>(e - '0');
            for (int more = 0;
                 more < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++more) {
                unit = unit * 8 + static_cast<unsigned>(text[pos++] - '0');
            }
            builder.CodeUnit(unit);
        } else {
            builder.Byte(e);  // backslash, quote, brackets and the rest stand for themselves
        }
    }
    return false;
}

// Text up to its first NUL character, as the registry functions hand it to a C string.
std::string UpToNul(std::string text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    return text;
}

// A string stored in hexadecimal form (hex(1): or hex(2):, as Wine writes a string value that
// lacks its terminating NUL): bytes "43,00,3a,00" read as UTF-16LE up to the first NUL.
std::optional<std::string> DecodeHexString(std::string_view data) {
    Utf8Builder builder;
    int low = -1;
    std::size_t pos = 0;
    data = TrimBlanks(data);
    while (pos < data.size()) {
        if (pos + 1 >= data.size() || HexDigit(data[pos]) < 0 || HexDigit(data[pos + 1]) < 0) {
            return std::nullopt;
        }
        const int byte = HexDigit(data[pos]) * 16 + HexDigit(data[pos + 1]);
        pos += 2;
        if (pos < data.size()) {
            if (data[pos] != ',') {
                return std::nullopt;
            }
            ++pos;
        }
        if (low < 0) {
            low = byte;
            continue;
        }
        const unsigned unit = static_cast<unsigned>(low | (byte << 8));
        low = -1;
        if (unit == 0) {
            break;
        }
        builder.CodeUnit(unit);
    }
    return builder.Take();
}

// Parses "<type>:" and the data after it; nullopt for a value line that Wine could not load.
// `more` reads the continuation of hexadecimal data that ends a line with '\'.
template <typename ReadMore>
std::optional<RegistryValue> ParseData(std::string_view data, ReadMore&& more) {
    RegistryValue value;
    std::size_t pos = 0;
    unsigned type = 1;  // REG_SZ for a plain "..."
    bool hex = false;
    if (data.substr(0, 4) == "str(" || data.substr(0, 4) == "hex(") {
        hex = data[0] == 'h';
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) {
            return std::nullopt;
        }
        type = 0;
        for (std::size_t i = 4; i < close; ++i) {
            const int digit = HexDigit(data[i]);
            if (digit < 0) {
                return std::nullopt;
            }
            type = type * 16 + static_cast<unsigned>(digit);
        }
        pos = close + 2;
    } else if (data.substr(0, 4) == "hex:" || data.substr(0, 6) == "dword:") {
        value.status = RegistryValue::Status::WrongType;
        return value;
    } else if (data.empty() || data[0] != '"') {
        return std::nullopt;
    }
    const bool isString = type == 1 || type == 2;  // REG_SZ, REG_EXPAND_SZ
    if (!isString) {
        value.status = RegistryValue::Status::WrongType;
        return value;
    }
    std::string text;
    if (hex) {
        std::string joined(data.substr(pos));
        while (!joined.empty() && joined.back() == '\\') {
            joined.pop_back();
            std::string next;
            if (!more(next) || joined.size() + next.size() > kMaxValueBytes) {
                return std::nullopt;
            }
            joined += TrimBlanks(next);
        }
        std::optional<std::string> decoded = DecodeHexString(joined);
        if (!decoded) {
            return std::nullopt;
        }
        text = std::move(*decoded);
    } else {
        if (pos >= data.size() || data[pos] != '"') {
            return std::nullopt;
        }
        ++pos;
        if (!ParseEscaped(data, pos, '"', text)) {
            return std::nullopt;
        }
    }
    value.status = RegistryValue::Status::Text;
    value.text = UpToNul(std::move(text));
    return value;
}

enum Which { kWow64Key = 0, kPlainKey = 1, kOtherKey = 2 };

// The value "Executable" of the game's keys in a Wine system.reg, before any path mapping.
RegistryValue ReadFromRegistryFile(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (ec || status.type() != fs::file_type::regular) {
        return {};
    }
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size > kMaxWineRegistryBytes) {
        return {};
    }
    LineReader reader(file);
    std::string line;
    if (!reader.Next(line) || line.substr(0, kRegistryHeader.size()) != kRegistryHeader) {
        return {};
    }
    std::array<std::optional<RegistryValue>, 2> found;
    Which current = kOtherKey;
    while (reader.Next(line)) {
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            std::size_t pos = 1;
            std::string name;
            current = kOtherKey;
            if (ParseEscaped(line, pos, ']', name)) {
                if (AsciiEqualNoCase(name, kGameKeyWow64)) {
                    current = kWow64Key;
                } else if (AsciiEqualNoCase(name, kGameKey)) {
                    current = kPlainKey;
                }
            }
            continue;
        }
        if (current == kOtherKey || line[0] != '"' || found[current]) {
            continue;
        }
        std::size_t pos = 1;
        std::string name;
        if (!ParseEscaped(line, pos, '"', name) || !AsciiEqualNoCase(name, kValueName)) {
            continue;
        }
        const std::string_view rest = TrimBlanks(std::string_view(line).substr(pos));
        if (rest.empty() || rest[0] != '=') {
            continue;
        }
        found[current] = ParseData(TrimBlanks(rest.substr(1)),
                                   [&reader](std::string& next) { return reader.Next(next); });
        if (found[kWow64Key]) {
            break;  // the first choice is settled
        }
    }
    if (reader.Failed()) {
        return {};  // binary or broken: nothing in it is trusted
    }
    for (const auto& candidate : found) {
        if (candidate) {
            return *candidate;
        }
    }
    return {};
}

}  // namespace

std::string WinePrefixFolder() {
    const std::string prefix = Environment("WINEPREFIX");
    if (!prefix.empty()) {
        return prefix;
    }
    const std::string home = Environment("HOME");
    return home.empty() ? std::string() : home + "/.wine";
}

std::string MapWindowsPathToWinePrefix(const std::string& prefixFolder,
                                       const std::string& windowsPath) {
    try {
        if (prefixFolder.empty() || windowsPath.size() < 3 || !IsAsciiLetter(windowsPath[0]) ||
            windowsPath[1] != ':' || !IsSeparator(windowsPath[2])) {
            return {};
        }
        std::string prefix = prefixFolder;
        if (!IsSeparator(prefix.back())) {
            prefix.push_back('/');
        }
        std::error_code ec;
        const char letter = AsciiLower(windowsPath[0]);
        std::string drive = ResolvePath(prefix, std::string("dosdevices/") + letter + ":");
        if (!fs::is_directory(drive, ec)) {
            if (letter != 'c') {
                return {};
            }
            drive = ResolvePath(prefix, "drive_c");
            if (!fs::is_directory(drive, ec)) {
                return {};
            }
        }
        const std::string rest = windowsPath.substr(3);
        return ResolvePath(drive + "/", rest);
    } catch (...) {
        return {};
    }
}

RegistryValue ReadGameExecutableFromWinePrefix(const std::string& prefixFolder) {
    try {
        if (prefixFolder.empty()) {
            return {};
        }
        RegistryValue value = ReadFromRegistryFile(fs::path(prefixFolder) / "system.reg");
        if (value.status == RegistryValue::Status::Text) {
            const std::string mapped = MapWindowsPathToWinePrefix(prefixFolder, value.text);
            if (!mapped.empty()) {
                value.text = mapped;
            }
        }
        return value;
    } catch (...) {
        return {};
    }
}

#if defined(_WIN32)

// Read as UTF-16 and kept as UTF-8, as every path is here: a game folder whose name lies
// outside the ANSI code page comes through whole.
RegistryValue ReadGameExecutable() {
    static constexpr wchar_t kKey[] =
        L"SOFTWARE\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0";
    for (const REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
            continue;
        }
        std::optional<RegistryValue> result;
        std::wstring buffer(1024, L'\0');
        for (int attempt = 0; attempt < 8 && !result; ++attempt) {
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            const LONG status = RegQueryValueExW(key, L"Executable", nullptr, &type,
                                                 reinterpret_cast<BYTE*>(buffer.data()), &size);
            if (status == ERROR_MORE_DATA) {
                buffer.assign(static_cast<std::size_t>(size) / sizeof(wchar_t) + 2, L'\0');
                continue;
            }
            if (status != ERROR_SUCCESS) {
                break;
            }
            RegistryValue value;
            if (type == REG_SZ || type == REG_EXPAND_SZ) {
                const std::size_t units =
                    std::min<std::size_t>(size / sizeof(wchar_t), buffer.size());
                std::wstring_view text(buffer.data(), units);
                text = text.substr(0, std::min(text.find(L'\0'), text.size()));
                value.status = RegistryValue::Status::Text;
                value.text = Utf8FromWide(text);
            } else {
                value.status = RegistryValue::Status::WrongType;
            }
            result = value;
        }
        RegCloseKey(key);
        if (result) {
            return *result;
        }
    }
    return {};
}

#else

RegistryValue ReadGameExecutable() {
    return ReadGameExecutableFromWinePrefix(WinePrefixFolder());
}

#endif

}  // namespace vexlor
