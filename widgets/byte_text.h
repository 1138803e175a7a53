#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace vexlor {

// Bytes of the game's text files (names of files among them) shown as characters and taken back
// without loss. What the system's 8-bit encoding reads (UTF-8 here, the ANSI code page on
// Windows) shows as its characters; every other byte shows as the lone surrogate U+DC80 + byte
// and becomes that byte again, so that text nobody touched comes back byte for byte.
QString TextOfBytes(std::string_view bytes);
std::string BytesOfText(const QString& text);

}  // namespace vexlor
