#include "tools/craft/number_field.h"

#include <algorithm>

namespace vexlor {

int LimitToField(std::int64_t value, int max) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, max));
}

int FieldValueFromText(std::string_view text, int max) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return 0;
    }
    // Digits past the range only push the value further out of it, so stop counting there.
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = std::min<std::int64_t>(value * 10 + (c - '0'), std::int64_t{max} + 1);
    }
    return LimitToField(negative ? -value : value, max);
}

}  // namespace vexlor
