#pragma once

#include <concepts>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vexlor::cli {

// Builds one JSON text in a string. Commas and the ", " / ": " separators are placed by the
// writer, so callers only say what comes next. Strings come out as valid UTF-8: bytes that are
// not UTF-8 become U+FFFD rather than breaking the reader on the other end.
// Given a stream, the writer hands the text on to it piece by piece as it grows (Flush hands on
// the rest), so that a list of tens of thousands of rows is never held whole, nor copied.
class JsonWriter {
  public:
    JsonWriter() = default;
    explicit JsonWriter(std::FILE* sink) : sink_(sink) {}

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    // The key of the next value in the current object.
    void Key(std::string_view key);

    void String(std::string_view value);
    void Bool(bool value);
    void Null();
    template <std::integral T>
    requires(!std::same_as<T, bool>) void Number(T value) {
        if constexpr (std::signed_integral<T>) {
            SignedNumber(static_cast<std::int64_t>(value));
        } else {
            UnsignedNumber(static_cast<std::uint64_t>(value));
        }
    }

    // Shorthands for a key and its value.
    template <typename T>
    void Field(std::string_view key, T value) {
        Key(key);
        if constexpr (std::same_as<T, bool>) {
            Bool(value);
        } else if constexpr (std::integral<T>) {
            Number(value);
        } else {
            String(value);
        }
    }

    // The text written so far; with a stream, what it has not been handed yet.
    const std::string& Text() const { return text_; }
    // Hands the text written so far on to the stream.
    void Flush();

  private:
    void Open(char bracket);
    void Close(char bracket);
    // Puts the separator that the next value needs.
    void BeforeValue();
    void SignedNumber(std::int64_t value);
    void UnsignedNumber(std::uint64_t value);
    void FlushWhenFull();

    std::FILE* sink_ = nullptr;
    std::string text_;
    std::vector<bool> firstInContainer_;
    bool afterKey_ = false;
};

// `text` as a JSON string literal, quotes included.
std::string JsonQuoted(std::string_view text);

}  // namespace vexlor::cli
