#include "widgets/byte_text.h"

#include <algorithm>
#include <cstdint>

namespace vexlor {

namespace {

// Byte b (0x80 to 0xFF) stands in as U+DC00 + b, U+DC80 to U+DCFF: halves of surrogate pairs
// that no decoding of valid text gives on their own.
constexpr char16_t kStandInBase = 0xDC00;

QChar StandInFor(char byte) {
    return QChar(static_cast<char16_t>(kStandInBase + static_cast<std::uint8_t>(byte)));
}

bool IsStandIn(QChar c) {
    return c.unicode() >= kStandInBase + 0x80 && c.unicode() <= kStandInBase + 0xFF;
}

#if defined(_WIN32)

// The code page's own decoding where it gives the bytes back unchanged; otherwise the line's
// ASCII as it is and every other byte by its stand-in (a multi-byte code page cannot be cut
// into characters more finely than that without its tables).
QString DecodeLine(std::string_view line) {
    const QByteArray bytes(line.data(), static_cast<qsizetype>(line.size()));
    const QString decoded = QString::fromLocal8Bit(bytes);
    if (decoded.toLocal8Bit() == bytes) {
        return decoded;
    }
    QString text;
    for (const char byte : line) {
        text +=
            static_cast<std::uint8_t>(byte) < 0x80 ? QChar(QLatin1Char(byte)) : StandInFor(byte);
    }
    return text;
}

QString Decode(std::string_view bytes) {
    QString text;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        text += DecodeLine(bytes.substr(start, end - start));
        if (end == bytes.size()) {
            break;
        }
        text += QChar(u'\n');
        start = end + 1;
    }
    return text;
}

QByteArray Encode(const QString& run) {
    return run.toLocal8Bit();
}

#else

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none (an
// overlong form, a surrogate or a value past U+10FFFF counts as invalid, as in every decoder).
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t at, char32_t& code) {
    const auto lead = static_cast<std::uint8_t>(bytes[at]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0Fu, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u, minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(bytes[at + i]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < minimum || surrogate || code > 0x10FFFF ? 0 : length;
}

QString Decode(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t code = 0;
        const std::size_t length = Utf8SequenceAt(bytes, at, code);
        if (length == 0) {
            text += StandInFor(bytes[at]);
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(code)) {
            text += QChar(QChar::highSurrogate(code));
            text += QChar(QChar::lowSurrogate(code));
        } else {
            text += QChar(static_cast<char16_t>(code));
        }
        at += length;
    }
    return text;
}

QByteArray Encode(const QString& run) {
    return run.toUtf8();
}

#endif

}  // namespace

QString TextOfBytes(std::string_view bytes) {
    return Decode(bytes);
}

std::string BytesOfText(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    QString run;
    const auto flushRun = [&] {
        if (!run.isEmpty()) {
            const QByteArray encoded = Encode(run);
            bytes.append(encoded.constData(), static_cast<std::size_t>(encoded.size()));
            run.clear();
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A stand-in is the low half of no pair: a real pair's low half follows its high half.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            run += c;
            run += text[++i];
        } else if (IsStandIn(c)) {
            flushRun();
            bytes.push_back(static_cast<char>(c.unicode() - kStandInBase));
        } else {
            run += c;
        }
    }
    flushRun();
    return bytes;
}

}  // namespace vexlor
