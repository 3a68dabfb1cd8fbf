// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/animation_texts.h"

#include "common/numbers.h"
#include "common/texts.h"

#include <cmath>

namespace common {

namespace {

// clang-format off
constexpr TAnimationTextRow Rows[] = {
    {TAnimationText::MotionTime, "Time through one period", "Zeit durch eine Periode"},
    {TAnimationText::MotionAzimuth, "View turning once around", "Ansicht einmal ringsum gedreht"},
    {TAnimationText::Progress, "Frame %1 of %2", "Bild %1 von %2"},
    {TAnimationText::DiskFull, "the disk is full", "der Datenträger ist voll"},
    {TAnimationText::FolderNotWritable, "the folder \"%1\" is not writable", "in den Ordner „%1“ darf nicht geschrieben werden"},
    {TAnimationText::EncoderUnavailable, "the encoder %1 is not available", "der Encoder %1 ist nicht verfügbar"},
    {TAnimationText::EncoderFailed, "the encoder %1 failed: %2", "der Encoder %1 ist gescheitert: %2"},
    {TAnimationText::Cancelled, "Cancelled: \"%1\" was not written", "Abgebrochen: „%1“ wurde nicht geschrieben"},
    {TAnimationText::FrameCountNotPossible, "%1 frames are not possible (%2)", "%1 Bilder sind nicht möglich (%2)"},
    {TAnimationText::FrameRateOutOfRange, "%1 frames per second are outside %2 .. %3", "%1 Bilder je Sekunde liegen außerhalb von %2 .. %3"},
    {TAnimationText::SizeOutOfRange, "a size of %1 x %2 pixels is outside 1 .. %3 a side", "eine Größe von %1 x %2 Pixeln liegt außerhalb von 1 .. %3 je Seite"},
    {TAnimationText::SizeRoundedUp, "MP4 needs even sides: %1 x %2 pixels are written as %3 x %4", "MP4 braucht gerade Seitenlängen: %1 x %2 Pixel werden als %3 x %4 geschrieben"},
    {TAnimationText::GifDelay, "GIF delays are whole hundredths of a second: each frame shows for %1/100 s, %2 frames per second", "GIF-Verzögerungen sind ganze Hundertstelsekunden: jedes Bild steht %1/100 s, %2 Bilder je Sekunde"},
    {TAnimationText::FormatGif, "Animated GIF", "Animiertes GIF"},
    {TAnimationText::FormatWebP, "Animated WebP", "Animiertes WebP"},
    {TAnimationText::FormatMp4, "MPEG-4 video", "MPEG-4-Video"},
};
// clang-format on

}  // namespace

std::span<const TAnimationTextRow> animationTexts()
{
    return Rows;
}

std::string animationText(TAnimationText text, TLanguage language,
                          std::initializer_list<std::string_view> values)
{
    return tableText(animationTexts(), &TAnimationTextRow::Text, text, language, values);
}

std::string decimalText(double value, TLanguage language)
{
    // Whatever the process's locale: the separator is the language's.
    std::string text = fixedDecimals(std::isfinite(value) ? value : 0.0, 2);
    if (text.empty()) {
        return "0";
    }
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    if (language == TLanguage::German) {
        for (char& c : text) {
            if (c == '.') {
                c = ',';
            }
        }
    }
    return text;
}

}  // namespace common
