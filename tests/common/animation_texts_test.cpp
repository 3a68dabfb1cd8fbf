// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/animation_texts.h"

namespace {

using common::TAnimationText;
using common::TLanguage;

std::multiset<char> placeholders(std::string_view text)
{
    std::multiset<char> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') {
            found.insert(text[i + 1]);
        }
    }
    return found;
}

// Each text once, in both languages, the German one with the English one's placeholders.
TEST(AnimationTexts, EveryTextHasBothLanguagesWithTheSamePlaceholders)
{
    std::set<int> seen;
    for (const common::TAnimationTextRow& row : common::animationTexts()) {
        EXPECT_TRUE(seen.insert(static_cast<int>(row.Text)).second) << row.English;
        EXPECT_NE(*row.English, '\0');
        EXPECT_NE(*row.German, '\0') << row.English;
        EXPECT_NE(std::string_view(row.English), row.German);
        EXPECT_EQ(placeholders(row.English), placeholders(row.German)) << row.English;
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(TAnimationText::FormatMp4) + 1);
}

TEST(AnimationTexts, ValuesAreInsertedAsTheyAre)
{
    EXPECT_EQ(common::animationText(TAnimationText::Progress, TLanguage::German, {"%2", "64"}),
              "Bild %2 von 64");
    EXPECT_EQ(common::animationText(TAnimationText::Progress, TLanguage::English, {"3"}),
              "Frame 3 of %2");
}

TEST(AnimationTexts, DecimalsInTheLanguagesSeparator)
{
    struct Row {
        double value;
        TLanguage language;
        const char* text;
    };
    const Row rows[] = {
        {100.0 / 3.0, TLanguage::English, "33.33"},
        {100.0 / 3.0, TLanguage::German, "33,33"},
        {50.0, TLanguage::German, "50"},
        {12.5, TLanguage::German, "12,5"},
        {0.004, TLanguage::English, "0"},
        {1e300 * 1e300, TLanguage::English, "0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(common::decimalText(row.value, row.language), row.text) << row.value;
    }
}

}  // namespace
