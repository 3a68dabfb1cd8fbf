// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The picture file formats, free of the toolkit so that a command line can name them: the order
// is the window's file types, 1 enhanced metafile and 2 bitmap, as the settings have always
// stored them, then 3 SVG, 4 PNG and 5 PDF.

#include <cstdint>
#include <optional>
#include <string_view>

namespace output {

enum class PictureFormat : std::uint8_t { Emf, Bmp, Svg, Png, Pdf };

// "emf", "bmp", "svg", "png", "pdf": the extension of the format's files, without the dot.
std::string_view extensionOf(PictureFormat format);
// The format of files ending in `extension` (no dot), whatever its letter case; none when no
// format has it.
std::optional<PictureFormat> formatForExtension(std::string_view extension);

}  // namespace output
