#pragma once

#include <QFont>
#include <QPainter>

#include "scene/canvas.h"

class QImage;
class QPaintDevice;

namespace platform {

// The engine's canvas over a QPainter: a QImage (with read-back), a QSvgGenerator, a QPrinter or
// a QPdfWriter. Painting starts in the constructor and ends in the destructor or finish().
class PainterCanvas : public scene::Canvas {
public:
    // A picture that can be read back.
    explicit PainterCanvas(QImage& image);
    // Any other device; readPixel answers common::NoColor.
    explicit PainterCanvas(QPaintDevice& device);
    ~PainterCanvas() override;
    PainterCanvas(const PainterCanvas&) = delete;
    PainterCanvas& operator=(const PainterCanvas&) = delete;

    // Ends painting (a QSvgGenerator writes its file then). Drawing afterwards does nothing.
    void finish();
    bool isActive() const;

    void fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void polygon(const scene::PixelPoint* points, std::int32_t count) override;
    void polyline(const scene::PixelPoint* points, std::int32_t count) override;
    void moveTo(scene::PixelPoint p) override;
    void lineTo(scene::PixelPoint p) override;
    void ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void textOut(std::int32_t x, std::int32_t y, std::string_view utf8) override;
    std::int32_t textWidth(std::string_view utf8) override;
    std::int32_t textHeight(std::string_view utf8) override;
    scene::TColor readPixel(std::int32_t x, std::int32_t y) override;
    void setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void restoreClip() override;
};

}  // namespace platform
