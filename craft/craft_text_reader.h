#pragma once

#include <string>
#include <string_view>

namespace vexlor {

// Reads the game's strings.txt line by line as the game's own text files are read: a line ends
// at a CR, and an LF right after the CR belongs to that line end; a lone LF is an ordinary
// character of the line. A 0x1A byte ends the text. Reading past the end gives empty lines.
class CraftTextReader {
  public:
    explicit CraftTextReader(std::string_view text);

    bool AtEnd() const { return position_ >= text_.size(); }
    std::string ReadLine();

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

}  // namespace vexlor
