// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// An INI file held in memory. Reading trims lines, keys and values, ignores empty lines, ";"
// comments and lines before the first section, and matches section and key names without regard
// to letter case. Writing produces the whole file again with CR LF line ends: existing entries are
// updated where they stand, a new key goes to the end of its section and a new section to the end
// of the file. Every line the program does not write (unknown keys, comments, other sections) is
// kept exactly as it was read, so hand edits survive.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace settings {

// The user's number format as far as the settings file needs it. AlternateDecimalSeparator is ","
// when the decimal separator is "." and "." otherwise; a float is read with either of them.
struct TNumberFormat {
    std::string DecimalSeparator = ".";
    char AlternateDecimalSeparator = ',';

    static TNumberFormat forDecimalSeparator(std::string decimalSeparator);
};

// Integer form: decimal with an optional sign, or hexadecimal after "0x", "0X" or "$", whose value
// must fit in 32 bits and is taken as the 32-bit pattern ("$FFFFFFFF" is -1). Empty when the text
// is not an integer or a decimal one lies outside the 32-bit range.
std::optional<std::int32_t> parseIniInteger(std::string_view text);

// Shortest decimal text with up to 15 significant digits, in the user's decimal separator
// (0.15 or 0,15; 3 for 3.0). The largest doubles, which 15 digits would round beyond the range,
// are written with the digits they need to read back.
std::string formatIniFloat(double value, const TNumberFormat& format);

// ReadFloatKey's conversion: the first AlternateDecimalSeparator becomes the user's separator,
// then the text must be a decimal number in the user's format that a double can hold (no "nan",
// "inf" or hexadecimal forms, nothing out of range). Empty otherwise.
std::optional<double> parseIniFloat(std::string_view text, const TNumberFormat& format);

class IniFile {
public:
    IniFile() = default;
    // Parses UTF-8 text; lines end in CR LF, LF or CR.
    explicit IniFile(std::string_view text);
    // Parses the bytes of a file in either character set (see charset.h).
    static IniFile fromFileBytes(std::string_view bytes);

    // The whole file as UTF-8 text with CR LF line ends, and as the bytes to store.
    std::string text() const;
    std::string fileBytes() const;

    bool sectionExists(std::string_view section) const;
    bool valueExists(std::string_view section, std::string_view key) const;
    // The trimmed value of the first entry of that key in the first section of that name.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Unparsable or missing text gives the default.
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // An integer of which only the low 8 bits are used.
    std::uint8_t readByte(std::string_view section, std::string_view key,
                          std::uint8_t defaultValue) const;

    // A line break in the value would end the entry early and could start a section of its own,
    // so CR and LF are written as blanks.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    // Removes every entry of that key from the first section of that name.
    void removeKey(std::string_view section, std::string_view key);

private:
    struct Line {
        std::string raw;  // as read, without its line end
        bool isEntry = false;
        std::string value;  // trimmed, for entries
        std::string key;    // folded, for entries
    };
    struct Section {
        std::string header;  // the raw bracket line
        std::vector<Line> lines;
        std::unordered_map<std::string, std::size_t> keyIndex;  // folded key -> first entry
    };

    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;
    Section& sectionForWriting(std::string_view name);
    void addLine(Section& section, std::string raw);

    std::vector<std::string> m_preamble;  // lines before the first section, kept for the write
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex;  // folded name -> first section
};

}  // namespace settings
