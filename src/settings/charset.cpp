// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/charset.h"

#include "common/utf8.h"

#include <array>
#include <cstdint>
#include <optional>

namespace settings {

using common::appendUtf8;
using common::nextCodePoint;

namespace {

// Unicode of the bytes 80..9F; the undefined ones map to the C1 control of the same value.
constexpr std::array<char32_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<std::uint8_t> cp1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<std::uint8_t>(cp);
    }
    for (std::size_t i = 0; i < Cp1252High.size(); ++i) {
        if (Cp1252High[i] == cp) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

bool isAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<std::uint8_t>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isValidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (!nextCodePoint(bytes, pos)) {
            return false;
        }
    }
    return true;
}

std::string decodeIniBytes(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (isValidUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else if (b < 0xA0) {
            appendUtf8(out, Cp1252High[b - 0x80]);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

std::string encodeIniText(std::string_view utf8)
{
    std::string cleaned;  // the text with invalid bytes replaced, in case cp1252 does not fit
    std::string cp1252;
    bool fits = true;
    cleaned.reserve(utf8.size());
    cp1252.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const std::optional<char32_t> cp = nextCodePoint(utf8, pos);
        if (!cp) {
            appendUtf8(cleaned, 0xFFFD);
            fits = false;
            continue;
        }
        cleaned.append(utf8.substr(start, pos - start));
        if (fits) {
            const std::optional<std::uint8_t> b = cp1252Byte(*cp);
            if (b) {
                cp1252.push_back(static_cast<char>(*b));
            } else {
                fits = false;
            }
        }
    }
    // A UTF-8 reading of the Windows-1252 bytes would give other characters, unless all are ASCII.
    if (fits && (isAscii(cp1252) || !isValidUtf8(cp1252))) {
        return cp1252;
    }
    // The reader drops one byte-order mark, so a text that begins with U+FEFF needs one more.
    if (cleaned.rfind("\xEF\xBB\xBF", 0) == 0) {
        cleaned.insert(0, "\xEF\xBB\xBF");
    }
    return cleaned;
}

std::string utf8Prefix(std::string_view utf8, std::size_t maxChars)
{
    std::size_t pos = 0;
    for (std::size_t n = 0; n < maxChars && pos < utf8.size(); ++n) {
        nextCodePoint(utf8, pos);
    }
    return std::string(utf8.substr(0, pos));
}

}  // namespace settings
