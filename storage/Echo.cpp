#include "storage/Echo.h"

#include <QByteArray>
#include <cstdint>
#include <cstdio>

namespace tarn::storage {

namespace {

/// The length of the well-formed UTF-8 sequence at the start of `text` and its code point, or a
/// length of 0 when the first byte does not start one.
std::size_t DecodeUtf8(std::string_view text, std::uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0u) != 0x80u) return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    const std::uint32_t smallest = length == 3 ? 0x800u : 0x10000u;
    if (length > 2 && code < smallest) return 0;
    if (code > 0x10FFFFu || (code >= 0xD800u && code <= 0xDFFFu)) return 0;
    return length;
}

/// Whether a code point above ASCII must show escaped: C1 controls, line and paragraph
/// separators, and the marks that change the direction of the text after them.
bool IsHiddenMark(std::uint32_t code) {
    return (code >= 0x80 && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x2028 && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

void AppendHex(std::string& out, const char* prefix, std::uint32_t value, int digits) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%s%0*x", prefix, digits, static_cast<unsigned>(value));
    out += hex;
}

}  // namespace

bool IsUtf8(std::string_view text) {
    std::uint32_t code = 0;
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        length = DecodeUtf8(text.substr(i), code);
        if (length == 0) return false;
    }
    return true;
}

std::string Echoed(std::string_view text, std::size_t characters) {
    std::string shown;
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (count++ == characters) return shown + "...";
        std::uint32_t code = 0;
        const std::size_t length = DecodeUtf8(text.substr(i), code);
        if (length == 0) {
            AppendHex(shown, "\\x", static_cast<unsigned char>(text[i]), 2);
            ++i;
            continue;
        }
        if (code == '\n') {
            shown += "\\n";
        } else if (code == '\r') {
            shown += "\\r";
        } else if (code == '\t') {
            shown += "\\t";
        } else if (code < 0x20 || code == 0x7F) {
            AppendHex(shown, "\\x", code, 2);
        } else if (IsHiddenMark(code)) {
            AppendHex(shown, "\\u", code, 4);
        } else {
            shown.append(text.substr(i, length));
        }
        i += length;
    }
    return shown;
}

QString Echoed(const QString& text, std::size_t characters) {
    const QByteArray utf8 = text.toUtf8();
    return QString::fromStdString(Echoed(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), characters));
}

}  // namespace tarn::storage
