#include "settings/settings_services.h"

#include <QColor>
#include <QColorDialog>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

#include "platform/printer.h"
#include "platform/services.h"
#include "settings/settings_controls.h"

namespace settings {

namespace {

const QColor EmptySlot = Qt::white;

}  // namespace

void QtColorChooser::setCustomColors(const TCustomColors& colors)
{
    for (std::size_t i = 0; i < CustomColorCount; ++i) {
        m_empty[i] = !colors[i].has_value();
        QColorDialog::setCustomColor(static_cast<int>(i),
                                     colors[i] ? toQColor(*colors[i]) : EmptySlot);
    }
}

TCustomColors QtColorChooser::customColors() const
{
    TCustomColors colors;
    for (std::size_t i = 0; i < CustomColorCount; ++i) {
        const QColor c = QColorDialog::customColor(static_cast<int>(i));
        if (!(m_empty[i] && c == EmptySlot) && c.isValid()) {
            colors[i] = fromQColor(c);
        }
    }
    return colors;
}

std::optional<common::TColor> QtColorChooser::choose(common::TColor initial, QWidget* parent)
{
    const QColor chosen = QColorDialog::getColor(toQColor(initial), parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return fromQColor(chosen);
}

std::uint8_t UnitPrinterSettingsPrinter::orientation() const
{
    return m_printer.device().orientation() == 0 ? 0 : 1;
}

void UnitPrinterSettingsPrinter::setOrientation(std::uint8_t orientation)
{
    m_printer.device().setOrientation(orientation == 0 ? 0 : 1);
}

TPageSizeMm UnitPrinterSettingsPrinter::pageSizeMm()
{
    // The page-size query keeps PageWidthMm and PageHeightMm of the print command current too.
    const platform::TPageSize size = m_printer.queryPageSize(m_printer.device().orientation());
    return {size.PageWidthMm, size.PageHeightMm};
}

std::vector<std::string> UnitPrinterSettingsPrinter::fontNames() const
{
    return sortedFontNames(m_printer.fontNames());
}

bool UnitPrinterSettingsPrinter::showPageSetup(QWidget* parent)
{
    return m_dialogs.pageSetup(m_printer.device(), parent);
}

std::vector<std::string> sortedFontNames(const QStringList& families)
{
    QStringList sorted = families;
    sorted.removeDuplicates();
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(sorted.size()));
    for (const QString& family : sorted) {
        names.push_back(family.toStdString());
    }
    return names;
}

std::vector<std::string> screenFontNames()
{
    return sortedFontNames(QFontDatabase::families());
}

}  // namespace settings
