// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/printer_check.h"

#include <QPageLayout>
#include <QPrinter>

namespace platform {

bool checkPrinterAvailable()
{
    QPrinter printer;
    if (!printer.isValid()) {
        return false;
    }
    const QPageLayout::Orientation orientation = printer.pageLayout().orientation();
    return orientation == QPageLayout::Portrait || orientation == QPageLayout::Landscape;
}

}  // namespace platform
