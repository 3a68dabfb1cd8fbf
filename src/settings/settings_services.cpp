// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_services.h"

#include <QColor>
#include <QColorDialog>
#include <QFontDatabase>

#include "platform/printer.h"
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

std::vector<std::string> screenFontNames()
{
    return platform::sortedFontNames(QFontDatabase::families());
}

}  // namespace settings
