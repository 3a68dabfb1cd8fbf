// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/canvas.h"

namespace platform {

// The physical length, in hundredths of a millimetre, of `units` device units at `dotsPerInch`:
// units x 2540 div dotsPerInch, truncated toward zero and saturated. A resolution below 1 is
// taken as 1.
std::int32_t emfFrameLength(std::int32_t units, std::int32_t dotsPerInch);

// UTF-8 to UTF-16; each malformed byte becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);

// The engine's canvas as an Enhanced Metafile, written record by record into a byte buffer.
//
// Device units are the picture's pixels: the picture is `width` x `height` of them (the header's
// bounds, 0 .. width - 1 inclusive), and `frameWidth` x `frameHeight` hundredths of a millimetre
// on paper (the header's frame, 0 .. frameWidth - 1 inclusive). The reference device stated in
// the header has the same pixel pitch, so a player maps the frame onto the bounds undistorted.
//
// The metafile has no fonts of its own, so text is measured on `measuringCanvas` (the screen
// canvas, in the same font) when one is given; otherwise the sizes are estimated. The measuring
// canvas's font is left as it was.
//
// How the canvas state becomes GDI state:
// - pens: solid and one-unit patterned pens are EMR_CREATEPEN; wider patterned pens are
//   geometric EMR_EXTCREATEPEN with flat caps, because a cosmetic pen wider than one unit is
//   drawn solid; the Clear style is the stock NULL_PEN;
// - the fill is a solid brush or the stock NULL_BRUSH, and the background mode is OPAQUE in the
//   fill colour while the fill is solid (gaps of patterned lines and the text cell show it) and
//   TRANSPARENT while it is none;
// - fonts by name, weight (bold 700) and a positive lfHeight, which is the cell height;
// - setClip is SaveDC + IntersectClipRect, restoreClip RestoreDC(-1).
// Objects are created when a primitive first needs them and deleted as soon as nothing selects
// them, not even a saved DC state; the handle slots are reused.
class EmfCanvas : public scene::Canvas {
public:
    EmfCanvas(std::int32_t width, std::int32_t height, std::int32_t frameWidth,
              std::int32_t frameHeight, scene::Canvas* measuringCanvas = nullptr);
    EmfCanvas(const EmfCanvas&) = delete;
    EmfCanvas& operator=(const EmfCanvas&) = delete;

    // Closes open clips, deletes every object, writes the end-of-file record and completes the
    // header. Drawing afterwards does nothing.
    void finish();
    bool isFinished() const { return m_finished; }
    // The whole metafile; finishes it first.
    const std::vector<std::uint8_t>& bytes();
    // Writes bytes() to `path` atomically: a failure leaves an existing file as it was.
    bool save(const std::string& path, std::string& error);

    std::int32_t width() const { return m_width; }
    std::int32_t height() const { return m_height; }

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

private:
    enum Kind : std::uint8_t { PenKind = 0, BrushKind = 1, FontKind = 2 };
    using Selection = std::array<std::uint32_t, 3>;  // handle selected per kind

    struct Slot {
        bool alive = false;
        Kind kind = PenKind;
        scene::CanvasPen pen;
        scene::TColor brushColor = 0;
        std::string fontName;
        bool fontBold = false;
        std::int32_t fontHeight = 0;
    };

    void beginRecord(std::uint32_t type);
    void endRecord();
    void put32(std::uint32_t v);
    void putI32(std::int32_t v) { put32(static_cast<std::uint32_t>(v)); }
    void put16(std::uint16_t v);
    void putFloat(float v);
    void putRect(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b);
    void patch32(std::size_t offset, std::uint32_t v);
    void simpleRecord(std::uint32_t type, std::uint32_t value);

    std::uint32_t freeSlot();
    void select(Kind kind, std::uint32_t handle);
    void deleteUnselected();
    void applyPen();
    void applyNullPen();
    void applyBrush();
    void applyBackground();
    void applyFont();
    void applyTextColor();
    void polyRecord(std::uint32_t type32, std::uint32_t type16, const scene::PixelPoint* points,
                    std::int32_t count);
    std::vector<std::int32_t> advances(const std::u16string& text);

    std::int32_t m_width;
    std::int32_t m_height;
    std::int32_t m_frameWidth;
    std::int32_t m_frameHeight;
    scene::Canvas* m_measure;

    std::vector<std::uint8_t> m_bytes;
    std::size_t m_recordStart = 0;
    std::uint32_t m_records = 0;
    bool m_finished = false;

    std::vector<Slot> m_slots = std::vector<Slot>(1);  // index = handle; 0 is the metafile
    std::uint32_t m_highestHandle = 0;
    Selection m_selected{};
    std::array<bool, 3> m_selectionKnown{};
    std::vector<Selection> m_saved;  // selections held by SaveDC, innermost last

    // What the playing device holds, as far as known; a RestoreDC makes it unknown.
    std::optional<std::uint32_t> m_bkMode;
    std::optional<scene::TColor> m_bkColor;
    std::optional<scene::TColor> m_textColor;
    std::optional<scene::PixelPoint> m_devicePosition;
    std::size_t m_pathEnd = 0;  // the end of the last MoveTo or LineTo record
    scene::PixelPoint m_current;
};

}  // namespace platform
