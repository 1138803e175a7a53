#include "craft/number_field.h"

#include <algorithm>
#include <optional>

namespace vexlor {
namespace {

// The text as a whole decimal number (an optional sign, then digits), its size held at most
// `cap`: digits past that only push it further out of any range that the fields have.
std::optional<std::int64_t> WholeNumberOf(std::string_view text, std::int64_t cap) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min<std::int64_t>(value * 10 + (c - '0'), cap);
    }
    return negative ? -value : value;
}

}  // namespace

int LimitToField(std::int64_t value, int max) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, max));
}

int FieldValueFromText(std::string_view text, int max) {
    return LimitToField(WholeNumberOf(text, std::int64_t{max} + 1).value_or(0), max);
}

std::string FieldTextWarning(std::string_view text, int max) {
    const std::optional<std::int64_t> number = WholeNumberOf(text, std::int64_t{max} + 1);
    if (number && *number >= 0 && *number <= max) {
        return {};
    }
    const std::string writtenAs =
        "will be written as " + std::to_string(FieldValueFromText(text, max));
    return (number ? "Out of range: " : "Not a number: ") + writtenAs;
}

}  // namespace vexlor
