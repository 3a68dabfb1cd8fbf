// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// A copy of a picture of 32-bit pixels kept as runs along its rows: a run of one colour as that
// colour, the pixels between such runs as they are. The fixed parts of the scene are mostly
// plain areas, so the copy is a small fraction of the picture, and putting a part of it back
// reads little memory: between two steps of the animation the caches go cold, and a full copy
// had to come back from memory along with the picture's own lines.
class KeptLayer {
public:
    // Rows of `width` words, `wordsPerLine` apart.
    void keep(const std::uint32_t* bits, int width, int height, std::ptrdiff_t wordsPerLine);
    void clear();
    bool isEmpty() const { return m_height == 0; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Puts the kept words of columns left .. right-1 and rows top .. bottom-1 back into a
    // picture of the kept size; the rectangle must lie within it.
    void putBack(std::uint32_t* bits, std::ptrdiff_t wordsPerLine, int left, int top, int right,
                 int bottom) const;
    // The words the copy holds, runs and loose pixels together.
    std::size_t storedWords() const;

private:
    struct Run {
        std::int32_t end = 0;     // one past its last column
        std::int32_t loose = -1;  // where its pixels start in m_loose; -1: all are `colour`
        std::uint32_t colour = 0;
    };
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_rowStarts;  // each row's first run, then the end of the last row
    std::vector<Run> m_runs;
    std::vector<std::uint32_t> m_loose;
};

}  // namespace platform
