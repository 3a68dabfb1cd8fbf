// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ini_file.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "common/numbers.h"
#include "settings/charset.h"

namespace settings {

namespace {

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string fold(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// The name inside the brackets, when the trimmed line is a section line.
std::optional<std::string_view> sectionName(std::string_view trimmed)
{
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
        return trim(trimmed.substr(1, trimmed.size() - 2));
    }
    return std::nullopt;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [+-]? (digits ('.' digits*)? | '.' digits) ([eE] [+-]? digits)?
bool isDecimalNumber(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == s.size();
}

}  // namespace

TNumberFormat TNumberFormat::forDecimalSeparator(std::string decimalSeparator)
{
    TNumberFormat format;
    format.AlternateDecimalSeparator = decimalSeparator == "." ? ',' : '.';
    format.DecimalSeparator = std::move(decimalSeparator);
    return format;
}

std::optional<std::int32_t> parseIniInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    for (const char c : text) {
        if (base == 16 ? !isHexDigit(c) : !isDigit(c)) {
            return std::nullopt;
        }
    }
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFu) {
            return std::nullopt;
        }
        auto pattern = static_cast<std::uint32_t>(magnitude);
        if (negative) {
            pattern = 0u - pattern;
        }
        return static_cast<std::int32_t>(pattern);
    }
    if (magnitude > (negative ? 2147483648u : 2147483647u)) {
        return std::nullopt;
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string formatIniFloat(double value, const TNumberFormat& format)
{
    std::string text = common::generalText(value, 15);
    if (std::isfinite(value) && !common::parseDecimal(text)) {
        // Rounded to 15 digits, the largest doubles would lie beyond the range and not read back.
        text = common::generalText(value, 0);
    }
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        text.replace(point, 1, format.DecimalSeparator);
    }
    return text;
}

std::optional<double> parseIniFloat(std::string_view text, const TNumberFormat& format)
{
    std::string s(text);
    const std::size_t alternate = s.find(format.AlternateDecimalSeparator);
    if (alternate != std::string::npos) {
        s.replace(alternate, 1, format.DecimalSeparator);
    }
    if (format.DecimalSeparator != ".") {
        if (s.find('.') != std::string::npos) {
            return std::nullopt;  // not a decimal point in the user's format
        }
        const std::size_t separator =
            format.DecimalSeparator.empty() ? std::string::npos : s.find(format.DecimalSeparator);
        if (separator != std::string::npos) {
            s.replace(separator, format.DecimalSeparator.size(), ".");
        }
    }
    if (!isDecimalNumber(s)) {
        return std::nullopt;
    }
    return common::parseDecimal(std::string_view(s).substr(s.front() == '+' ? 1 : 0));
}

IniFile::IniFile(std::string_view text)
{
    for (const std::string_view raw : splitLines(text)) {
        const std::string_view trimmed = trim(raw);
        if (const auto name = sectionName(trimmed)) {
            m_sectionIndex.try_emplace(fold(*name), m_sections.size());
            m_sections.push_back(Section{std::string(raw), {}, {}});
        } else if (m_sections.empty()) {
            m_preamble.emplace_back(raw);
        } else {
            addLine(m_sections.back(), std::string(raw));
        }
    }
    // Each section is written with exactly one empty line after it.
    for (Section& section : m_sections) {
        while (!section.lines.empty() && trim(section.lines.back().raw).empty()) {
            section.lines.pop_back();
        }
    }
}

IniFile IniFile::fromFileBytes(std::string_view bytes)
{
    return IniFile(decodeIniBytes(bytes));
}

void IniFile::addLine(Section& section, std::string raw)
{
    Line line;
    const std::string_view trimmed = trim(raw);
    const std::size_t equals = trimmed.find('=');
    if (!trimmed.empty() && trimmed.front() != ';' && equals != std::string_view::npos) {
        line.isEntry = true;
        line.value = std::string(trim(trimmed.substr(equals + 1)));
        line.key = fold(trim(trimmed.substr(0, equals)));
        section.keyIndex.try_emplace(line.key, section.lines.size());
    }
    line.raw = std::move(raw);
    section.lines.push_back(std::move(line));
}

void IniFile::removeKey(std::string_view sectionName, std::string_view key)
{
    Section* s = findSection(sectionName);
    const std::string folded = fold(key);
    if (s == nullptr || !s->keyIndex.contains(folded)) {
        return;
    }
    std::erase_if(s->lines,
                  [&folded](const Line& line) { return line.isEntry && line.key == folded; });
    s->keyIndex.clear();
    for (std::size_t i = 0; i < s->lines.size(); ++i) {
        if (s->lines[i].isEntry) {
            s->keyIndex.try_emplace(s->lines[i].key, i);
        }
    }
}

std::string IniFile::text() const
{
    std::string out;
    for (const std::string& line : m_preamble) {
        out += line;
        out += "\r\n";
    }
    for (const Section& section : m_sections) {
        out += section.header;
        out += "\r\n";
        for (const Line& line : section.lines) {
            out += line.raw;
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

std::string IniFile::fileBytes() const
{
    return encodeIniText(text());
}

IniFile::Section* IniFile::findSection(std::string_view name)
{
    const auto it = m_sectionIndex.find(fold(name));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

const IniFile::Section* IniFile::findSection(std::string_view name) const
{
    const auto it = m_sectionIndex.find(fold(name));
    return it == m_sectionIndex.end() ? nullptr : &m_sections[it->second];
}

IniFile::Section& IniFile::sectionForWriting(std::string_view name)
{
    if (Section* section = findSection(name)) {
        return *section;
    }
    m_sectionIndex.emplace(fold(name), m_sections.size());
    m_sections.push_back(Section{"[" + std::string(name) + "]", {}, {}});
    return m_sections.back();
}

bool IniFile::sectionExists(std::string_view section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(std::string_view section, std::string_view key) const
{
    return value(section, key).has_value();
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    const Section* s = findSection(section);
    if (s == nullptr) {
        return std::nullopt;
    }
    const auto it = s->keyIndex.find(fold(key));
    if (it == s->keyIndex.end()) {
        return std::nullopt;
    }
    return s->lines[it->second].value;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    std::optional<std::string> v = value(section, key);
    return v ? std::move(*v) : std::string(defaultValue);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const
{
    const std::optional<std::string> v = value(section, key);
    if (!v) {
        return defaultValue;
    }
    return parseIniInteger(*v).value_or(defaultValue);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::uint8_t IniFile::readByte(std::string_view section, std::string_view key,
                               std::uint8_t defaultValue) const
{
    return static_cast<std::uint8_t>(readInteger(section, key, defaultValue) & 0xFF);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string oneLine(value);
    for (char& c : oneLine) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    // Reading trims blanks and control characters at both ends, so they cannot be stored; writing
    // without them keeps the file the same when it is read and written again.
    const std::string_view stored = trim(oneLine);
    Section& s = sectionForWriting(section);
    std::string raw = std::string(key) + "=" + std::string(stored);
    const auto it = s.keyIndex.find(fold(key));
    if (it == s.keyIndex.end()) {
        addLine(s, std::move(raw));
        return;
    }
    Line& line = s.lines[it->second];
    line.raw = std::move(raw);
    line.value = std::string(stored);
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

}  // namespace settings
