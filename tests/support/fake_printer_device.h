// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A printer whose numbers a test chooses, printing onto a picture.

#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/printer.h"

namespace output_test {

// A printer with chosen device values per orientation that prints onto a picture.
class FakePrinterDevice : public platform::PrinterDevice {
public:
    FakePrinterDevice(const platform::TPrinterDeviceValues& portrait,
                      const platform::TPrinterDeviceValues& landscape)
        : m_values{portrait, landscape}
    {
    }
    std::uint8_t orientation() const override { return m_orientation; }
    void setOrientation(std::uint8_t orientation) override
    {
        m_orientation = orientation == 0 ? 0 : 1;
    }
    platform::TPrinterDeviceValues deviceValues() const override { return m_values[m_orientation]; }
    // The printable area of the current orientation, filled with `Unprinted` until a page comes.
    QPaintDevice& paintDevice() override
    {
        const platform::TPrinterDeviceValues& v = m_values[m_orientation];
        page = QImage(std::max(v.HORZRES, 1), std::max(v.VERTRES, 1), QImage::Format_RGB32);
        page.fill(Unprinted);
        ++jobs;
        return page;
    }
    QString jobError(common::TLanguage) const override { return error; }

    static constexpr QRgb Unprinted = 0xFF123456;
    QImage page;
    int jobs = 0;
    QString error;

private:
    std::array<platform::TPrinterDeviceValues, 2> m_values;
    std::uint8_t m_orientation = 1;
};

}  // namespace output_test
