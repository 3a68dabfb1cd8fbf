// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/colors.h"

namespace scene {

using common::TColor;
using common::TPenStyle;

struct PixelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct CanvasPen {
    TColor color = 0;
    TPenStyle style = TPenStyle::Solid;
    std::int32_t width = 1;
    friend bool operator==(const CanvasPen&, const CanvasPen&) = default;
};

struct CanvasFill {
    TColor color = 0xFFFFFFu;
    bool solid = true;
    friend bool operator==(const CanvasFill&, const CanvasFill&) = default;
};

struct CanvasFont {
    std::string name = "Arial";
    TColor color = 0;
    bool bold = false;
    std::int32_t pixelHeight = 12;  // character cell height, internal leading included
    friend bool operator==(const CanvasFont&, const CanvasFont&) = default;
};

// The drawing surface the engine paints on. The state (pen, fill, font) lives here so that every
// backend sees it the same way; backends apply it when a primitive is drawn. All coordinates are
// the device's pixels, y downward. Rectangles exclude their right and bottom edges.
//
// Gaps of non-solid lines show the fill colour while the fill is solid, and stay open while it
// is none; text has no background while the fill is none.
class Canvas {
public:
    virtual ~Canvas() = default;

    void setFillColor(TColor color) { m_fill.color = color; }
    void setFillSolid(bool solid) { m_fill.solid = solid; }
    void setPenColor(TColor color) { m_pen.color = color; }
    void setPenStyle(TPenStyle style) { m_pen.style = style; }
    void setPenWidth(std::int32_t width) { m_pen.width = width; }
    void setFontName(std::string_view name)
    {
        if (m_font.name != name) {
            m_font.name.assign(name);
        }
    }
    void setFontColor(TColor color) { m_font.color = color; }
    void setFontBold(bool bold) { m_font.bold = bold; }
    void setFontPixelHeight(std::int32_t height) { m_font.pixelHeight = height; }

    const CanvasPen& pen() const { return m_pen; }
    const CanvasFill& fill() const { return m_fill; }
    const CanvasFont& font() const { return m_font; }

    virtual void fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
    virtual void polygon(const PixelPoint* points, std::int32_t count) = 0;
    virtual void polyline(const PixelPoint* points, std::int32_t count) = 0;
    virtual void moveTo(PixelPoint p) = 0;
    virtual void lineTo(PixelPoint p) = 0;
    // Inscribed in x1 .. x2-1, y1 .. y2-1; filled and outlined.
    virtual void ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
    // Top-left corner of the text cell at (x, y), in the font colour.
    virtual void textOut(std::int32_t x, std::int32_t y, std::string_view utf8) = 0;
    virtual std::int32_t textWidth(std::string_view utf8) = 0;
    virtual std::int32_t textHeight(std::string_view utf8) = 0;
    // The colour at a pixel, or common::NoColor where the device cannot read back.
    virtual TColor readPixel(std::int32_t x, std::int32_t y) = 0;
    virtual void setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
    virtual void restoreClip() = 0;

    // A canvas that keeps layers holds on to the picture as it stands, under a key that names
    // what was drawn, and can later put it back instead of having it drawn again: the parts of
    // the scene that stay while the time runs. Canvases without layers answer false throughout.
    virtual bool keepsLayers() const { return false; }
    virtual bool keepLayer(std::span<const std::byte> /*key*/) { return false; }
    // The picture as it was kept under this key again, wherever drawing since changed it; false
    // when nothing is kept under this key.
    virtual bool restoreLayer(std::span<const std::byte> /*key*/) { return false; }

private:
    CanvasPen m_pen;
    CanvasFill m_fill;
    CanvasFont m_font;
};

}  // namespace scene
