// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "settings/charset.h"

namespace {

using settings::decodeIniBytes;
using settings::encodeIniText;

TEST(IniCharset, ReadsUtf8AsItIsAndEverythingElseAsWindows1252)
{
    struct Row {
        std::string bytes;
        std::string utf8;
    };
    const Row rows[] = {
        {"plain", "plain"},
        {"Ma\xC3\x9F" "stab", "Maßstab"},               // valid UTF-8
        {"Ma\xDF" "stab", "Maßstab"},                    // ß in Windows-1252
        {"\x80 \x84 \x9F", "€ „ Ÿ"},                    // the 80..9F block
        {"\xB0\xB7\xBC", "°·¼"},                        // Latin-1 part
        {"\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},  // undefined bytes
        {"\xEF\xBB\xBF[General]", "[General]"},         // byte-order mark dropped
        {"\xC0\xAF", "À¯"},                             // overlong: not UTF-8
        {"\xED\xA0\x80", "í\u00A0€"},                   // surrogate: not UTF-8
        {"\xE2\x82", "â‚"},                             // truncated sequence
    };
    for (const Row& row : rows) {
        EXPECT_EQ(decodeIniBytes(row.bytes), row.utf8) << row.utf8;
    }
}

TEST(IniCharset, WritesWindows1252WhenEveryCharacterFitsElseUtf8)
{
    struct Row {
        std::string utf8;
        std::string bytes;
    };
    const Row rows[] = {
        {"ascii", "ascii"},
        {"Größe °", "Gr\xF6\xDF" "e \xB0"},
        {"€‚ƒ", "\x80\x82\x83"},
        {"Ω", "\xCE\xA9"},                      // no Windows-1252 byte: UTF-8
        {"ä Ω", "\xC3\xA4 \xCE\xA9"},          // one misfit turns the whole text into UTF-8
        // "Ã©" in Windows-1252 is C3 A9, which a reader would take for UTF-8 "é".
        {"Ã©", "\xC3\x83\xC2\xA9"},
        {"bad \xFF byte", "bad \xEF\xBF\xBD byte"},  // invalid input byte -> U+FFFD
        {"\uFEFFx", "\xEF\xBB\xBF\xEF\xBB\xBFx"},    // the reader takes the first as a mark
    };
    for (const Row& row : rows) {
        EXPECT_EQ(encodeIniText(row.utf8), row.bytes) << row.utf8;
        if (row.utf8.find('\xFF') == std::string::npos) {
            EXPECT_EQ(decodeIniBytes(encodeIniText(row.utf8)), row.utf8) << "round trip";
        }
    }
}

TEST(IniCharset, EveryWindows1252ByteSurvivesAReadAndAWrite)
{
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(encodeIniText(decodeIniBytes(all)), all);
}

TEST(IniCharset, PrefixCountsCharactersNotBytes)
{
    EXPECT_EQ(settings::utf8Prefix("FFFFFFFF00", 8), "FFFFFFFF");
    EXPECT_EQ(settings::utf8Prefix("ääääääääää", 8), "ääääääää");
    EXPECT_EQ(settings::utf8Prefix("abc", 8), "abc");
}

}  // namespace
