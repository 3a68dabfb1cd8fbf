// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts of both user-interface languages, compiled in as UTF-8. The windows put them onto
// their controls (SetLanguageFormMain, SetLanguageFormSettings); here they are plain data with a
// lookup by control name. A language other than English and German reads as English.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/globals.h"

namespace common {

enum class TTextProperty : std::uint8_t { Hint, Caption, Title, Item0, Item1 };

struct TControlText {
    const char* Control;
    TTextProperty Property;
    const char* English;
    const char* German;

    std::string_view text(common::TLanguage language) const
    {
        return language == common::TLanguage::German ? German : English;
    }
};

// The main window's hints, menu captions and save-dialog title.
std::span<const TControlText> formMainTexts();
// The settings dialog's captions and hints, without its title (formSettingsTitle) and the
// proportion labels (proportionLabel).
std::span<const TControlText> formSettingsTexts();

// Empty when the table has no such control and property.
std::string_view formMainText(std::string_view control, TTextProperty property,
                              common::TLanguage language);
std::string_view formSettingsText(std::string_view control, TTextProperty property,
                                  common::TLanguage language);

// " " + ExeBaseName + " - Settings" (" - Einstellungen" in German).
std::string formSettingsTitle(std::string_view exeBaseName, common::TLanguage language);
// The main window's title is the same in both languages.
std::string formMainTitle(std::string_view exeBaseName);

// The label of proportion row 1 .. 9, in the order of TProportions; empty for another row.
std::string_view proportionLabel(int row, common::TLanguage language);

struct THintPrefix {
    const char* TrackBar;
    const char* English;
    const char* German;
};
std::span<const THintPrefix> hintPrefixes();
// The hint prefix of a track bar ("Phase shift = "); empty for another control.
std::string_view hintPrefix(std::string_view trackBar, common::TLanguage language);
// A track bar's hint: its prefix and the position as the bar's unit reads (the elevation bar
// holds the negated elevation; the time is shown as a fraction of the period).
std::string trackBarHintText(std::string_view trackBar, int position, common::TLanguage language);

// The name of a drawing not yet saved, chosen once at start-up from the language then in force.
std::string_view defaultDocumentName(common::TLanguage language);

// ---- Messages about files and the values of the settings file ----

// Each text has placeholders %1, %2, ... for the values named here, in this order.
enum class TMessage : std::uint8_t {
    CannotReadFile,   // file, reason
    CannotWriteFile,  // file, reason
    IsAFifo,          // the reasons that name a file's kind
    IsACharacterDevice,
    IsABlockDevice,
    IsASocket,
    IsNotARegularFile,
    IsLargerThan,  // limit in MiB
    FifoWithoutReader,
    SettingsFileNotUsed,  // the read failure
    SettingsNotSaved,     // the read failure
    SettingsProblemsHeading,
    MalformedNumber,  // section, key, text found, default used
    UnusableValue,    // section, key, text found, value used
    GraphicNotSaved,  // file, reason
    PrinterNoUsablePage,
    PrintNoFileChosen,
    PrintFileNotWritable,  // file
    PrintJobNotStarted,
    PrinterReportedError,
    PrintJobAborted,
    AnimationTimeLeft,        // seconds
    ScreenWidthFromSettings,  // where the screen width of the scale came from
    ScreenWidthFromDisplay,
    ScreenWidthAssumed,  // the width in mm; the last: the table test counts up to it
};

struct TMessageText {
    TMessage Message;
    const char* English;
    const char* German;
};
std::span<const TMessageText> messageTexts();

// `pattern` with each placeholder %1 .. %9 replaced by its value as it is; a placeholder without
// a value stays. Every text table of the program fills its texts so.
std::string fillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> values);

// The text of the row whose `key` is `wanted`, in the language, with its placeholders filled;
// every text table has rows of a key, an English and a German text. No such row gives "".
template <typename Row, typename Key>
std::string tableText(std::span<const Row> rows, Key Row::*key, Key wanted,
                      common::TLanguage language, std::initializer_list<std::string_view> values)
{
    for (const Row& row : rows) {
        if (row.*key == wanted) {
            return fillPlaceholders(language == common::TLanguage::German ? row.German : row.English,
                                    values);
        }
    }
    return {};
}

// The message in the language, each placeholder %1 .. %9 replaced by its value; the values are
// inserted as they are (a "%1" inside a file name stays), and a placeholder without one stays.
std::string messageText(TMessage message, common::TLanguage language,
                        std::initializer_list<std::string_view> values = {});

// Texts that no language switch touches.
inline constexpr const char* ScreenFontNameHint = "Screen font";  // ComboBoxScreenFontName
inline constexpr const char* LanguageBoxItems[2] = {"English", "Deutsch"};

// The browser page's own controls and notes, looked up like the main window's.
std::span<const TControlText> webPageTexts();
std::string_view webPageText(std::string_view control, TTextProperty property,
                             common::TLanguage language);

}  // namespace common
