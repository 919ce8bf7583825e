// The quiz's texts are UTF-16; the tools around it (the page generator, the
// tests' messages) write UTF-8. These spell one as the other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quiz {

// The code points of a UTF-16 text; a lone surrogate reads as U+FFFD.
inline std::vector<char32_t> codePoints(std::u16string_view text) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            points.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            points.push_back(0xFFFD);
        } else {
            points.push_back(unit);
        }
    }
    return points;
}

// Appends code point c, c <= U+10FFFF, in UTF-8.
inline void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The text as the inside of a JSON string, in UTF-8: '"' and '\\' escaped,
// control characters as \u escapes.
inline std::string jsonEscaped(std::u16string_view text) {
    constexpr char hex[] = "0123456789abcdef";
    std::string out;
    for (char32_t c : codePoints(text)) {
        if (c == U'"' || c == U'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

inline std::string toUtf8(std::u16string_view text) {
    std::string out;
    for (char32_t c : codePoints(text))
        appendUtf8(out, c);
    return out;
}

} // namespace quiz
