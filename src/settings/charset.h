// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings file's character set. Inside the program every text is UTF-8; the file is read as
// UTF-8 when its bytes are valid UTF-8 and as Windows-1252 otherwise, and written in Windows-1252
// when every character has a Windows-1252 byte, else in UTF-8.

#include <string>
#include <string_view>

namespace settings {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// File bytes to UTF-8. A leading UTF-8 byte-order mark is dropped. The five bytes that
// Windows-1252 leaves undefined (81, 8D, 8F, 90, 9D) become the control characters of the same
// number, as Windows maps them, so they survive a write.
std::string decodeIniBytes(std::string_view bytes);

// UTF-8 to file bytes. Windows-1252 is used when every character fits and the bytes would not be
// taken for UTF-8 when read again (text such as "Ã©" is valid UTF-8 in both encodings); otherwise
// the text is written as UTF-8 (with a byte-order mark in front when the text itself begins with
// U+FEFF, which the reader would otherwise take for one). Bytes of the text that are not valid
// UTF-8 are written as U+FFFD.
std::string encodeIniText(std::string_view utf8);

// The first maxChars characters (not bytes) of a UTF-8 text, so that no character is cut.
std::string utf8Prefix(std::string_view utf8, std::size_t maxChars);

}  // namespace settings
