#include "cli/json_writer.h"

#include <charconv>
#include <cstdio>

namespace vexlor::cli {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

// Length of the well-formed UTF-8 sequence at text[at], or 0 when it is not one (overlong
// forms, surrogates and code points past U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) {
            return 0;
        }
    }
    return length;
}

void AppendEscapedAscii(std::string& out, unsigned char c) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    if (c < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        out += escape;
    } else {
        out += static_cast<char>(c);
    }
}

// Text handed on to the stream at a time.
constexpr std::size_t kFlushBytes = 64 * 1024;

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) {
            out += kReplacementCharacter;
            ++at;
        } else if (length == 1) {
            AppendEscapedAscii(out, static_cast<unsigned char>(text[at]));
            ++at;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    out += '"';
}

template <typename T>
void AppendNumber(std::string& out, T value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;  // 24 places hold any 64-bit number
    out.append(digits, end);
}

}  // namespace

std::string JsonQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendQuoted(out, text);
    return out;
}

void JsonWriter::Flush() {
    if (sink_ != nullptr && !text_.empty()) {
        std::fwrite(text_.data(), 1, text_.size(), sink_);
        text_.clear();
    }
}

void JsonWriter::FlushWhenFull() {
    if (sink_ != nullptr && text_.size() >= kFlushBytes) {
        Flush();
    }
}

void JsonWriter::Open(char bracket) {
    BeforeValue();
    text_ += bracket;
    firstInContainer_.push_back(true);
}

void JsonWriter::Close(char bracket) {
    if (!firstInContainer_.empty()) {
        firstInContainer_.pop_back();
    }
    text_ += bracket;
    FlushWhenFull();
}

void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (firstInContainer_.empty()) {
        return;
    }
    if (!firstInContainer_.back()) {
        text_ += ", ";
    }
    firstInContainer_.back() = false;
}

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    AppendQuoted(text_, key);
    text_ += ": ";
    afterKey_ = true;
}

void JsonWriter::String(std::string_view value) {
    BeforeValue();
    AppendQuoted(text_, value);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
}

void JsonWriter::SignedNumber(std::int64_t value) {
    BeforeValue();
    AppendNumber(text_, value);
}

void JsonWriter::UnsignedNumber(std::uint64_t value) {
    BeforeValue();
    AppendNumber(text_, value);
}

}  // namespace vexlor::cli
