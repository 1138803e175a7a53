#pragma once

#include <string>

namespace vexlor {

// The game's registry entry: HKEY_LOCAL_MACHINE, key
// "SOFTWARE\LucasArts Entertainment Company LLC\X-Wing Alliance\v1.0", value "Executable".
struct RegistryValue {
    enum class Status {
        Text,       // a string value (REG_SZ or REG_EXPAND_SZ, taken as text without expansion)
        Missing,    // no key, no value, or nothing readable
        WrongType,  // a value of another type
    } status = Status::Missing;
    std::string text;  // the value for Text, empty otherwise
};

// Reads the entry where this platform keeps it: on Windows the registry (the 32-bit view first,
// where the game's 32-bit installer writes, then the 64-bit one); elsewhere the Wine prefix
// WinePrefixFolder(), through ReadGameExecutableFromWinePrefix.
RegistryValue ReadGameExecutable();

// Reads the entry from the file system.reg (HKEY_LOCAL_MACHINE) of the Wine prefix in
// `prefixFolder`: the key under "Software\Wow6432Node\..." (where a 32-bit installer writes in a
// 64-bit prefix) first, then the key as given; the first of them holding a value "Executable"
// decides. A Text value that is a Windows path with a drive letter is mapped into the prefix
// (MapWindowsPathToWinePrefix) when its drive exists there, else returned as read. A missing
// prefix, file, key or value, and a system.reg that is not a Wine registry file, is larger than
// kMaxWineRegistryBytes or holds NUL bytes, gives Missing. Never throws.
RegistryValue ReadGameExecutableFromWinePrefix(const std::string& prefixFolder);

inline constexpr unsigned long long kMaxWineRegistryBytes = 1ULL << 30;

// $WINEPREFIX when set and not empty, else $HOME/.wine, else an empty text.
std::string WinePrefixFolder();

// The path of the prefix's own file system for a Windows path with a drive letter such as
// "C:\Games\XWA\xwingalliance.exe": drive X is <prefix>/dosdevices/x: when that folder exists,
// else for C: <prefix>/drive_c; the rest is resolved with ResolvePath (letter case ignored, a
// final separator kept). Empty when the path has no drive letter followed by a separator or
// the drive has no folder in the prefix.
std::string MapWindowsPathToWinePrefix(const std::string& prefixFolder,
                                       const std::string& windowsPath);

}  // namespace vexlor
