// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The printer: its numbers under the names the page geometry uses, the margin geometry with the
// printer's unprintable strips, and Printer, the one interface through which the print command
// and the settings dialog use the program's printer; UnitPrinter is its Qt implementation. The
// device's numbers and its paint surface come through PrinterDevice, so the geometry works on
// any numbers a test chooses.
//
//   platform::UnitPrinter printer(&printDialogs);            // the program's one printer
//   printer.queryPageSize(settings.Printer.Orientation);     // PageWidthMm, PageHeightMm
//   auto lent = std::make_unique<platform::SharedPrinter>(printer);  // for the settings dialog

#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/globals.h"
#include "scene/extent.h"

class QPaintDevice;
class QPrinter;
class QWidget;

namespace platform {

class PrintDialogService;

// The printer's numbers under the names the geometry uses. All in printer pixels except
// HORZSIZE (millimetres) and LOGPIXELSX/Y (pixels per inch).
struct TPrinterDeviceValues {
    std::int32_t HORZSIZE = 0;       // printable width
    std::int32_t HORZRES = 0;        // printable width
    std::int32_t VERTRES = 0;        // printable height
    std::int32_t PHYSICALWIDTH = 0;  // paper width
    std::int32_t PHYSICALHEIGHT = 0;
    std::int32_t PHYSICALOFFSETX = 0;  // unprintable strip at the left
    std::int32_t PHYSICALOFFSETY = 0;  // unprintable strip at the top
    std::int32_t LOGPIXELSX = 0;
    std::int32_t LOGPIXELSY = 0;
};

// The paper in whole millimetres: PageWidthMm and PageHeightMm.
struct TPageSizeMm {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// PageWidthMm = Round(PHYSICALWIDTH x 25.4 / LOGPIXELSX), PageHeightMm likewise; a resolution
// below 1 gives 0 x 0.
TPageSizeMm pageSizeOf(const TPrinterDeviceValues& device);

// The page of that size with the margins of the settings' orientation, as printing and the page
// preview lay it out.
scene::PageLayout pageLayoutOf(const common::TPrinterSettings& settings, TPageSizeMm size);

// The margins of one orientation, in whole millimetres.
struct TMargins {
    std::int32_t Left = 0;
    std::int32_t Right = 0;
    std::int32_t Top = 0;
    std::int32_t Bottom = 0;
};

// Printer pixels relative to the top-left corner of the printable area.
struct TPrintRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct TMarginGeometry {
    TPrintRect PrintRect;
    double PrinterPixelsPerMetre = 0.0;  // HORZRES x 1000 / HORZSIZE
    TMargins Margins;                    // as given, each raised to cover its unprintable strip
    bool Raised = false;                 // some margin was raised
};

// Each margin in printer pixels (Round(mm x LOGPIXELS / 25.4)), widened to the unprintable strip
// on its side with the setting raised to the smallest whole millimetre covering the strip, then
// the rectangle between the margins. Needs LOGPIXELSX/Y and HORZSIZE of at least 1.
TMarginGeometry marginGeometry(const TPrinterDeviceValues& device, const TMargins& margins);

// The printer as the geometry and the print command see it.
class PrinterDevice {
public:
    virtual ~PrinterDevice() = default;
    virtual std::uint8_t orientation() const = 0;  // 0 portrait, 1 landscape
    virtual void setOrientation(std::uint8_t orientation) = 0;
    // The values for the current orientation.
    virtual TPrinterDeviceValues deviceValues() const = 0;
    // Where the page is painted; origin at the printable area's top-left corner. Beginning to
    // paint starts the job, ending sends the page.
    virtual QPaintDevice& paintDevice() = 0;
    // After the page: empty when it went out, else what went wrong, in the language.
    virtual QString jobError(common::TLanguage language) const = 0;
    // The Qt printer behind it, for the dialogs; null for a device without one.
    virtual QPrinter* printer() { return nullptr; }
};

// The device values of a QPrinter: PHYSICALWIDTH/HEIGHT the paper rectangle, HORZRES/VERTRES
// the printable rectangle and PHYSICALOFFSETX/Y its offset, all in device pixels; LOGPIXELSX/Y
// the resolution; HORZSIZE the printable width rounded to whole millimetres.
class QtPrinterDevice : public PrinterDevice {
public:
    explicit QtPrinterDevice(QPrinter& printer) : m_printer(printer) {}
    std::uint8_t orientation() const override;
    void setOrientation(std::uint8_t orientation) override;
    TPrinterDeviceValues deviceValues() const override;
    QPaintDevice& paintDevice() override;
    QString jobError(common::TLanguage language) const override;
    QPrinter* printer() override { return &m_printer; }

private:
    QPrinter& m_printer;
};

// The program's printer as the print command and the settings dialog use it: tests replace it.
class Printer {
public:
    virtual ~Printer() = default;
    virtual std::uint8_t orientation() const = 0;  // 0 portrait, 1 landscape
    virtual void setOrientation(std::uint8_t orientation) = 0;
    // The paper in whole millimetres for the orientation set now: Round(PHYSICALWIDTH × 25.4 /
    // LOGPIXELSX) and the same for the height; 0 where the printer reports no paper.
    virtual TPageSizeMm pageSizeMm() = 0;
    // The printer's font names, sorted.
    virtual std::vector<std::string> fontNames() const = 0;
    // The page setup dialog; true when the user confirmed it.
    virtual bool showPageSetup(QWidget* parent) = 0;
    // The device the print dialog sets up and the page is laid out and painted on.
    virtual PrinterDevice& device() = 0;
};

// Margin geometry of the device for an orientation with the margins of `settings`; raised
// margins are written back into `settings`.
TMarginGeometry applyMarginGeometry(PrinterDevice& device, std::uint8_t orientation,
                                    common::TPrinterSettings& settings);

// The program's one printer, kept for the whole run so that the dialogs' choices stay.
class UnitPrinter : public Printer {
public:
    // A QPrinter at high resolution; on a machine without printers it prints to PDF files.
    // `dialogs` shows the page setup; without it there is none.
    explicit UnitPrinter(PrintDialogService* dialogs = nullptr);
    // Any device, for tests.
    explicit UnitPrinter(std::unique_ptr<PrinterDevice> device,
                         PrintDialogService* dialogs = nullptr);
    ~UnitPrinter() override;

    std::uint8_t orientation() const override;
    void setOrientation(std::uint8_t orientation) override;
    // The page-size query for the orientation set now; PageWidthMm and PageHeightMm follow.
    TPageSizeMm pageSizeMm() override;
    std::vector<std::string> fontNames() const override;
    bool showPageSetup(QWidget* parent) override;
    PrinterDevice& device() override { return *m_device; }

    // Page-size query: sets the orientation, then PageWidthMm and PageHeightMm for it.
    TPageSizeMm queryPageSize(std::uint8_t orientation);
    std::int32_t pageWidthMm() const { return m_pageSize.Width; }
    std::int32_t pageHeightMm() const { return m_pageSize.Height; }
    // The page as the preview draws it, for the current orientation of `settings`.
    scene::PageLayout pageLayout(const common::TPrinterSettings& settings) const;
    TMarginGeometry applyMarginGeometry(std::uint8_t orientation,
                                        common::TPrinterSettings& settings)
    {
        return platform::applyMarginGeometry(*m_device, orientation, settings);
    }

private:
    std::unique_ptr<QPrinter> m_printer;  // null for a test device
    std::unique_ptr<PrinterDevice> m_device;
    PrintDialogService* m_dialogs = nullptr;
    TPageSizeMm m_pageSize;
};

// Another owner's Printer, lent: the settings dialog holds one, so that it and the print command
// share the program's one printer, its page size and the user's choices.
class SharedPrinter : public Printer {
public:
    explicit SharedPrinter(Printer& printer) : m_printer(printer) {}
    std::uint8_t orientation() const override { return m_printer.orientation(); }
    void setOrientation(std::uint8_t orientation) override
    {
        m_printer.setOrientation(orientation);
    }
    TPageSizeMm pageSizeMm() override { return m_printer.pageSizeMm(); }
    std::vector<std::string> fontNames() const override { return m_printer.fontNames(); }
    bool showPageSetup(QWidget* parent) override { return m_printer.showPageSetup(parent); }
    PrinterDevice& device() override { return m_printer.device(); }

private:
    Printer& m_printer;
};

// Font families sorted as a user reads a list, without regard to letter case.
std::vector<std::string> sortedFontNames(const QStringList& families);

}  // namespace platform
