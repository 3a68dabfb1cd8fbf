// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screen_width.h"

#include <algorithm>

namespace app {

using mainwindow::TScreenWidthSource;

TScreenWidthSource takeScreenWidth(settings::TSettingsRead& read, std::optional<int> displayWidthMm)
{
    if (read.ScreenWidthStored) {
        const bool replaced =
            std::any_of(read.Problems.begin(), read.Problems.end(),
                        [](const settings::TSettingsProblem& problem) {
                            return problem.Section == "General" && problem.Key == "ScreenWidth";
                        });
        return replaced ? TScreenWidthSource::Default : TScreenWidthSource::Stored;
    }
    if (!displayWidthMm) {
        return TScreenWidthSource::Default;
    }
    read.Data.App.ScreenWidth = *displayWidthMm / 1000.0;
    return TScreenWidthSource::Display;
}

}  // namespace app
