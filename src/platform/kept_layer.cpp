// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/kept_layer.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Shorter stretches of one colour are kept as loose pixels: a run costs more to find and put
// back than a few words copied.
constexpr int ShortestRun = 8;

// std::fill of words stays one store at a time at -O2; the library's copy moves whole vector
// registers, which matters because the picture's lines are cold when they are put back.
void fillWords(std::uint32_t* to, std::size_t count, std::uint32_t colour)
{
    constexpr std::size_t Seed = 16;
    if (count <= Seed) {
        std::fill(to, to + count, colour);
        return;
    }
    std::fill(to, to + Seed, colour);
    std::size_t done = Seed;
    while (done < count) {
        const std::size_t step = std::min(done, count - done);
        std::memcpy(to + done, to, step * sizeof(std::uint32_t));
        done += step;
    }
}

}  // namespace

void KeptLayer::clear()
{
    m_width = 0;
    m_height = 0;
    m_rowStarts.clear();
    m_runs.clear();
    m_loose.clear();
}

void KeptLayer::keep(const std::uint32_t* bits, int width, int height, std::ptrdiff_t wordsPerLine)
{
    clear();
    if (width <= 0 || height <= 0) {
        return;
    }
    m_width = width;
    m_height = height;
    m_rowStarts.reserve(static_cast<std::size_t>(height) + 1);
    for (int y = 0; y < height; ++y) {
        m_rowStarts.push_back(static_cast<std::uint32_t>(m_runs.size()));
        const std::uint32_t* row = bits + y * wordsPerLine;
        int looseStart = -1;  // the column where loose pixels began, if they have
        int x = 0;
        while (x < width) {
            const std::uint32_t colour = row[x];
            int end = x + 1;
            while (end < width && row[end] == colour) {
                ++end;
            }
            if (end - x >= ShortestRun) {
                if (looseStart >= 0) {
                    m_runs.push_back(
                        {x, static_cast<std::int32_t>(m_loose.size()) - (x - looseStart), 0});
                    looseStart = -1;
                }
                m_runs.push_back({end, -1, colour});
            } else {
                if (looseStart < 0) {
                    looseStart = x;
                }
                m_loose.insert(m_loose.end(), row + x, row + end);
            }
            x = end;
        }
        if (looseStart >= 0) {
            m_runs.push_back(
                {width, static_cast<std::int32_t>(m_loose.size()) - (width - looseStart), 0});
        }
    }
    m_rowStarts.push_back(static_cast<std::uint32_t>(m_runs.size()));
}

void KeptLayer::putBack(std::uint32_t* bits, std::ptrdiff_t wordsPerLine, int left, int top,
                        int right, int bottom) const
{
    if (left >= right) {
        return;
    }
    for (int y = top; y < bottom; ++y) {
        const Run* const first = m_runs.data() + m_rowStarts[static_cast<std::size_t>(y)];
        const Run* const last = m_runs.data() + m_rowStarts[static_cast<std::size_t>(y) + 1];
        const Run* run =
            std::upper_bound(first, last, left, [](int x, const Run& r) { return x < r.end; });
        std::uint32_t* const row = bits + y * wordsPerLine;
        int start = run == first ? 0 : (run - 1)->end;
        int x = left;
        while (x < right) {
            const int end = std::min(run->end, right);
            if (run->loose < 0) {
                fillWords(row + x, static_cast<std::size_t>(end - x), run->colour);
            } else {
                std::memcpy(row + x, m_loose.data() + run->loose + (x - start),
                            static_cast<std::size_t>(end - x) * sizeof(std::uint32_t));
            }
            x = end;
            start = run->end;
            ++run;
        }
    }
}

std::size_t KeptLayer::storedWords() const
{
    return m_loose.size() + m_runs.size() * (sizeof(Run) / sizeof(std::uint32_t));
}

}  // namespace platform
