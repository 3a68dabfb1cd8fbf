// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/picture_format.h"

#include <array>
#include <utility>

namespace output {

namespace {

constexpr std::array<std::pair<PictureFormat, std::string_view>, 5> Extensions{{
    {PictureFormat::Emf, "emf"},
    {PictureFormat::Bmp, "bmp"},
    {PictureFormat::Svg, "svg"},
    {PictureFormat::Png, "png"},
    {PictureFormat::Pdf, "pdf"},
}};

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string_view extensionOf(PictureFormat format)
{
    for (const auto& [f, extension] : Extensions) {
        if (f == format) {
            return extension;
        }
    }
    return {};
}

std::optional<PictureFormat> formatForExtension(std::string_view extension)
{
    for (const auto& [format, known] : Extensions) {
        if (sameLetters(extension, known)) {
            return format;
        }
    }
    return std::nullopt;
}

}  // namespace output
