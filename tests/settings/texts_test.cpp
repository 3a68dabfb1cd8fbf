// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/charset.h"
#include "settings/texts.h"

namespace {

using common::TLanguage;
using settings::TTextProperty;

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
        EXPECT_EQ(settings::formMainText(row.control, row.property, TLanguage::English), row.english);
        EXPECT_EQ(settings::formMainText(row.control, row.property, TLanguage::German), row.german);
    }
    EXPECT_EQ(settings::formMainTexts().size(), 20u);
}

TEST(Texts, TheDialogTextsIncludingTitleItemsAndProportionRows)
{
    using settings::formSettingsText;
    EXPECT_EQ(settings::formSettingsTitle("Ondulix", TLanguage::English), " Ondulix - Settings");
    EXPECT_EQ(settings::formSettingsTitle("Ondulix", TLanguage::German), " Ondulix - Einstellungen");
    EXPECT_EQ(settings::formMainTitle("Ondulix"), " Ondulix");
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
    EXPECT_EQ(settings::proportionLabel(1, TLanguage::English), "Reference surface size");
    EXPECT_EQ(settings::proportionLabel(9, TLanguage::German), "Clipboard-Skalierungsfaktor");
    EXPECT_EQ(settings::proportionLabel(0, TLanguage::English), "");
    EXPECT_EQ(settings::proportionLabel(10, TLanguage::English), "");
}

TEST(Texts, LookupMissesAndUnknownLanguages)
{
    const auto bogus = static_cast<TLanguage>(7);
    EXPECT_EQ(settings::formMainText("SpeedButtonHelp", TTextProperty::Hint, bogus), "Help (F1)");
    EXPECT_EQ(settings::formMainText("SpeedButtonHelp", TTextProperty::Caption, TLanguage::German),
              "");
    EXPECT_EQ(settings::formMainText("NoSuchControl", TTextProperty::Hint, TLanguage::German), "");
    EXPECT_EQ(settings::hintPrefix("TrackBarTime", bogus), "Time = ");
    EXPECT_EQ(settings::hintPrefix("TrackBarNone", TLanguage::English), "");
}

TEST(Texts, HintPrefixesOfBothLanguages)
{
    EXPECT_EQ(settings::hintPrefix("TrackBarPhaseShift", TLanguage::German), "Phasenverschiebung = ");
    EXPECT_EQ(settings::hintPrefix("TrackBarElevation", TLanguage::English),
              "Elevation angle of the observer = ");
    EXPECT_EQ(settings::hintPrefix("TrackBarAzimuth", TLanguage::German),
              "Azimutwinkel des Beobachters = ");
    EXPECT_EQ(settings::hintPrefixes().size(), 6u);
}

TEST(Texts, DefaultDocumentName)
{
    EXPECT_EQ(settings::defaultDocumentName(TLanguage::English), "NoName");
    EXPECT_EQ(settings::defaultDocumentName(TLanguage::German), "Unbenannt");
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
    for (const auto table : {settings::formMainTexts(), settings::formSettingsTexts()}) {
        std::set<std::pair<std::string, int>> seen;
        for (const settings::TControlText& row : table) {
            check(row.English);
            check(row.German);
            EXPECT_TRUE(seen.insert({row.Control, static_cast<int>(row.Property)}).second)
                << row.Control;
        }
    }
    for (const settings::THintPrefix& row : settings::hintPrefixes()) {
        check(row.English);
        check(row.German);
    }
    for (const settings::TMessageText& row : settings::messageTexts()) {
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
    for (const settings::TMessageText& row : settings::messageTexts()) {
        EXPECT_TRUE(seen.insert(static_cast<int>(row.Message)).second) << row.English;
        EXPECT_NE(*row.German, '\0') << row.English;
        EXPECT_EQ(placeholders(row.English), placeholders(row.German)) << row.English;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(settings::TMessage::UnusableValue) + 1);
}

TEST(Texts, MessageValuesAreInsertedAsTheyAre)
{
    using settings::TMessage;
    EXPECT_EQ(settings::messageText(TMessage::CannotReadFile, TLanguage::English,
                                    {"/tmp/%2.ini", "Permission denied"}),
              "Cannot read the file \"/tmp/%2.ini\": Permission denied");
    EXPECT_EQ(settings::messageText(TMessage::CannotReadFile, TLanguage::German, {"/tmp/a.ini"}),
              "Die Datei „/tmp/a.ini“ kann nicht gelesen werden: %2");
}

}  // namespace
