// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/charset.h"
#include "common/texts.h"

namespace {

using common::TLanguage;
using common::TTextProperty;

TEST(Texts, TheMainWindowSwitchesEveryTextAtOnce)
{
    struct Row {
        const char* control;
        TTextProperty property;
        const char* english;
        const char* german;
    };
    const Row rows[] = {
        {"SpeedButtonCopy", TTextProperty::Hint, "Copy graphic to clipboard (Ctrl+C)",
         "Grafik in die Zwischenablage kopieren (Strg+C)"},
        {"PanelScale", TTextProperty::Hint, "Scale", "Maßstab"},
        {"PopupMenuImageSettings", TTextProperty::Caption, "Settings", "Einstellungen"},
        {"BitBtnRewind", TTextProperty::Hint, "Rewind (backspace)", "Rewind (Rücktaste)"},
        {"SaveDialog", TTextProperty::Title, "Save graphic to file", "Grafik-Datei speichern"},
        {"UpDownScale", TTextProperty::Hint,
         "Increase/decrease scale\r\n(keys + and -  or  Ctrl+mouse wheel)",
         "Maßstab verkleinern/vergrößern\r\n(Tasten + und -  oder  Strg+Mausrad)"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(common::formMainText(row.control, row.property, TLanguage::English), row.english);
        EXPECT_EQ(common::formMainText(row.control, row.property, TLanguage::German), row.german);
    }
    EXPECT_EQ(common::formMainTexts().size(), 45u);
}

TEST(Texts, TheDialogTextsIncludingTitleItemsAndProportionRows)
{
    using common::formSettingsText;
    EXPECT_EQ(common::formSettingsTitle("Ondulix", TLanguage::English), " Ondulix - Settings");
    EXPECT_EQ(common::formSettingsTitle("Ondulix", TLanguage::German), " Ondulix - Einstellungen");
    EXPECT_EQ(common::formMainTitle("Ondulix"), " Ondulix");
    EXPECT_EQ(formSettingsText("CheckBoxSaveSettings", TTextProperty::Caption, TLanguage::German),
              "Einstellungen speichern");
    EXPECT_EQ(formSettingsText("CheckBoxSaveSettings", TTextProperty::Hint, TLanguage::German),
              "Die geänderten Einstellungen beim Beenden des Programms speichern");
    EXPECT_EQ(formSettingsText("RadioGroupPageOrientation", TTextProperty::Item1,
                               TLanguage::German),
              "Querformat");
    EXPECT_EQ(formSettingsText("GroupBoxColorsAndLineStyles", TTextProperty::Caption,
                               TLanguage::English),
              " Colors and line styles ");
    EXPECT_EQ(formSettingsText("ButtonApply", TTextProperty::Caption, TLanguage::German),
              "Übernehmen");
    EXPECT_EQ(common::proportionLabel(1, TLanguage::English), "Reference surface size");
    EXPECT_EQ(common::proportionLabel(9, TLanguage::German), "Clipboard-Skalierungsfaktor");
    EXPECT_EQ(common::proportionLabel(0, TLanguage::English), "");
    EXPECT_EQ(common::proportionLabel(10, TLanguage::English), "");
}

TEST(Texts, LookupMissesAndUnknownLanguages)
{
    const auto bogus = static_cast<TLanguage>(7);
    EXPECT_EQ(common::formMainText("SpeedButtonHelp", TTextProperty::Hint, bogus), "Help (F1)");
    EXPECT_EQ(common::formMainText("SpeedButtonHelp", TTextProperty::Caption, TLanguage::German),
              "");
    EXPECT_EQ(common::formMainText("NoSuchControl", TTextProperty::Hint, TLanguage::German), "");
    EXPECT_EQ(common::hintPrefix("TrackBarTime", bogus), "Time = ");
    EXPECT_EQ(common::hintPrefix("TrackBarNone", TLanguage::English), "");
}

TEST(Texts, HintPrefixesOfBothLanguages)
{
    EXPECT_EQ(common::hintPrefix("TrackBarPhaseShift", TLanguage::German), "Phasenverschiebung = ");
    EXPECT_EQ(common::hintPrefix("TrackBarElevation", TLanguage::English),
              "Elevation angle of the observer = ");
    EXPECT_EQ(common::hintPrefix("TrackBarAzimuth", TLanguage::German),
              "Azimutwinkel des Beobachters = ");
    EXPECT_EQ(common::hintPrefixes().size(), 6u);
}

TEST(Texts, DefaultDocumentName)
{
    EXPECT_EQ(common::defaultDocumentName(TLanguage::English), "NoName");
    EXPECT_EQ(common::defaultDocumentName(TLanguage::German), "Unbenannt");
}

// The texts were Windows-1252 strings: each must be valid UTF-8 here and still fit that set, and
// no control may carry two texts for one property.
TEST(Texts, EveryTextIsValidUtf8AndFitsWindows1252)
{
    const auto check = [](std::string_view text) {
        EXPECT_TRUE(settings::isValidUtf8(text)) << text;
        const std::string bytes = settings::encodeIniText(text);
        EXPECT_FALSE(settings::isValidUtf8(bytes) && bytes != text) << text;
    };
    for (const auto table :
         {common::formMainTexts(), common::formSettingsTexts(), common::webPageTexts()}) {
        std::set<std::pair<std::string, int>> seen;
        for (const common::TControlText& row : table) {
            check(row.English);
            check(row.German);
            EXPECT_TRUE(seen.insert({row.Control, static_cast<int>(row.Property)}).second)
                << row.Control;
        }
    }
    for (const common::THintPrefix& row : common::hintPrefixes()) {
        check(row.English);
        check(row.German);
    }
    for (const common::TMessageText& row : common::messageTexts()) {
        check(row.English);
        check(row.German);
    }
}

// Each message once, in both languages, the German one with the English one's placeholders.
TEST(Texts, EveryMessageHasBothLanguagesWithTheSamePlaceholders)
{
    const auto placeholders = [](std::string_view text) {
        std::multiset<char> found;
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') {
                found.insert(text[i + 1]);
            }
        }
        return found;
    };
    std::set<int> seen;
    for (const common::TMessageText& row : common::messageTexts()) {
        EXPECT_TRUE(seen.insert(static_cast<int>(row.Message)).second) << row.English;
        EXPECT_NE(*row.German, '\0') << row.English;
        EXPECT_EQ(placeholders(row.English), placeholders(row.German)) << row.English;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(common::TMessage::ScreenWidthAssumed) + 1);
}

TEST(Texts, MessageValuesAreInsertedAsTheyAre)
{
    using common::TMessage;
    EXPECT_EQ(common::messageText(TMessage::CannotReadFile, TLanguage::English,
                                    {"/tmp/%2.ini", "Permission denied"}),
              "Cannot read the file \"/tmp/%2.ini\": Permission denied");
    EXPECT_EQ(common::messageText(TMessage::CannotReadFile, TLanguage::German, {"/tmp/a.ini"}),
              "Die Datei „/tmp/a.ini“ kann nicht gelesen werden: %2");
}

}  // namespace
