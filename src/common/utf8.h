// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// UTF-8, decoded and encoded by hand: the settings file and the metafile writer both need it
// without the toolkit.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// Decodes one UTF-8 character at text[pos] and advances pos past it. Empty for an invalid
// sequence (overlong, surrogate, past U+10FFFF, cut short), in which case pos moves by one byte.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& pos);

// Appends the UTF-8 form of a code point.
void appendUtf8(std::string& out, char32_t cp);

}  // namespace common
