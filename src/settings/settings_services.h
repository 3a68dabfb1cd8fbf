#pragma once

// What the settings dialog asks of the system, behind interfaces that tests replace: the colour
// chooser with its 16 custom slots, and the printer (orientation, paper size, fonts, page setup).

#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/colors.h"
#include "settings/settings_file.h"

class QWidget;

namespace platform {
class PrintDialogService;
class UnitPrinter;
}  // namespace platform

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

struct TPageSizeMm {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

class SettingsPrinter {
public:
    virtual ~SettingsPrinter() = default;
    virtual std::uint8_t orientation() const = 0;  // 0 portrait, 1 landscape
    virtual void setOrientation(std::uint8_t orientation) = 0;
    // The paper in whole millimetres for the orientation set now: Round(PHYSICALWIDTH × 25.4 /
    // LOGPIXELSX) and the same for the height; 0 where the printer reports no paper.
    virtual TPageSizeMm pageSizeMm() = 0;
    // The printer's font names, sorted.
    virtual std::vector<std::string> fontNames() const = 0;
    // The page setup dialog; true when the user confirmed it.
    virtual bool showPageSetup(QWidget* parent) = 0;
};

// The program's one printer of the print command and its page setup dialog, so that the dialog
// and printing share the printer, its page size and the user's choices.
class UnitPrinterSettingsPrinter : public SettingsPrinter {
public:
    UnitPrinterSettingsPrinter(platform::UnitPrinter& printer,
                               platform::PrintDialogService& dialogs)
        : m_printer(printer), m_dialogs(dialogs)
    {
    }
    std::uint8_t orientation() const override;
    void setOrientation(std::uint8_t orientation) override;
    TPageSizeMm pageSizeMm() override;
    std::vector<std::string> fontNames() const override;
    bool showPageSetup(QWidget* parent) override;

private:
    platform::UnitPrinter& m_printer;
    platform::PrintDialogService& m_dialogs;
};

// Font families sorted as a user reads a list, without regard to letter case.
std::vector<std::string> sortedFontNames(const QStringList& families);
// The installed screen fonts, sorted.
std::vector<std::string> screenFontNames();

}  // namespace settings
