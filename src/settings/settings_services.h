// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the settings dialog asks of the system, behind interfaces that tests replace: the colour
// chooser with its 16 custom slots and the screen fonts. The printer is platform::Printer.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/colors.h"
#include "settings/settings_file.h"

class QWidget;

namespace settings {

using TCustomColors = std::array<std::optional<common::TColor>, CustomColorCount>;

class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    virtual void setCustomColors(const TCustomColors& colors) = 0;
    virtual TCustomColors customColors() const = 0;
    // Opens the chooser preset to `initial`; the colour the user confirmed, none when cancelled.
    virtual std::optional<common::TColor> choose(common::TColor initial, QWidget* parent) = 0;
};

// QColorDialog. Its custom slots are the toolkit's, shared by every colour dialog of the process.
class QtColorChooser : public ColorChooser {
public:
    void setCustomColors(const TCustomColors& colors) override;
    TCustomColors customColors() const override;
    std::optional<common::TColor> choose(common::TColor initial, QWidget* parent) override;

private:
    // The toolkit has no empty slot; slots set empty show white and read back empty while they
    // still hold it.
    std::array<bool, CustomColorCount> m_empty{};
};

// The installed screen fonts, sorted.
std::vector<std::string> screenFontNames();

}  // namespace settings
