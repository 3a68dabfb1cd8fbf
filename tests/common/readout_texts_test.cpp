// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/readout_texts.h"

namespace {

using common::TLanguage;

TEST(ReadoutTexts, EveryTextIsThereInBothLanguages)
{
    std::set<int> seen;
    for (const common::TReadoutTextRow& row : common::readoutTexts()) {
        EXPECT_TRUE(seen.insert(static_cast<int>(row.Text)).second) << static_cast<int>(row.Text);
        EXPECT_NE(std::string(row.English), "") << static_cast<int>(row.Text);
        EXPECT_NE(std::string(row.German), "") << static_cast<int>(row.Text);
    }
    EXPECT_EQ(seen.size(), common::ReadoutTextCount);
    // A placeholder without a value stays; an unknown language reads as English.
    EXPECT_EQ(common::readoutText(common::TReadoutText::Field, static_cast<TLanguage>(9), {"1"}),
              "Field E_H = 1, E_V = %2");
}

}  // namespace
