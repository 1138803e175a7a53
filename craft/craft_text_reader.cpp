#include "craft/craft_text_reader.h"

#include <algorithm>

namespace vexlor {

namespace {

constexpr char kEndOfText = '\x1A';

}  // namespace

CraftTextReader::CraftTextReader(std::string_view text)
    : text_(text.substr(0, text.find(kEndOfText))) {}

std::string CraftTextReader::ReadLine() {
    if (AtEnd()) {
        return {};
    }
    const std::size_t end = std::min(text_.find('\r', position_), text_.size());
    std::string line(text_.substr(position_, end - position_));
    position_ = end + 1;
    if (position_ < text_.size() && text_[position_] == '\n') {
        ++position_;
    }
    return line;
}

}  // namespace vexlor
