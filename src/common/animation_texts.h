// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts of the animation export in both languages: what moves, the progress, what a format
// changes of the request and why a file was not written. Plain data, free of the toolkit, so
// that the window's dialog and ondulix-render say the same.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/globals.h"

namespace common {

// Each text has placeholders %1, %2, ... for the values named here, in this order.
enum class TAnimationText : std::uint8_t {
    MotionTime,             // the time runs through one period
    MotionAzimuth,          // the view turns once around
    Progress,               // frames done, total
    DiskFull,               // reasons of a failed write
    FolderNotWritable,      // folder
    EncoderUnavailable,     // encoder
    EncoderFailed,          // encoder, the library's reason
    Cancelled,              // file
    FrameCountNotPossible,  // count, the possible counts
    FrameRateOutOfRange,    // rate, lowest, highest
    SizeOutOfRange,         // width, height, largest side
    SizeRoundedUp,          // width, height, written width, written height
    GifDelay,               // hundredths of a second, frames per second played
    FormatGif,              // the formats' names
    FormatWebP,
    FormatMp4,  // the last: the table test counts up to it
};

struct TAnimationTextRow {
    TAnimationText Text;
    const char* English;
    const char* German;
};
std::span<const TAnimationTextRow> animationTexts();

// The text in the language with each placeholder %1 .. %9 replaced by its value as it is.
std::string animationText(TAnimationText text, TLanguage language,
                          std::initializer_list<std::string_view> values = {});

// `value` with at most two decimals and none that are 0, in the language's decimal separator:
// "33.33", "50", "12,5".
std::string decimalText(double value, TLanguage language);

}  // namespace common
