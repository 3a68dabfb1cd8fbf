// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QRegion>

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/colors.h"
#include "platform/kept_layer.h"
#include "platform/line_raster.h"
#include "scene/canvas.h"

class QImage;
class QPaintDevice;

namespace platform {

// The device pixels that a rectangle of device-independent pixels touches at this ratio.
QRect toDevicePixels(const QRect& r, qreal ratio);

// The engine's colours (0x00BBGGRR) and Qt's, both ways; alpha is dropped.
QColor toQColor(common::TColor color);
common::TColor fromQColor(const QColor& color);

// Which part of a picture may have changed, in tiles. The moving parts of the scene run
// obliquely across the picture and cross each band of rows several times: a band's stretch
// from the first crossing to the last is most of its width, while the tiles they cross are a
// small part.
class ChangedTiles {
public:
    // Small enough to follow a slanting line closely, large enough that a tile holds more than
    // a sliver and a copy of one costs more than finding it.
    static constexpr int TileSize = 16;

    // A rectangle of pixels at non-negative coordinates; an empty one changes nothing.
    void add(const QRect& r);
    void unite(const ChangedTiles& other);
    void clear();
    bool isEmpty() const { return m_end <= m_first; }
    // The changed tiles, a band of rows after another from the top down, each band's from the
    // left, tiles side by side as one rectangle. Gaps of up to `gapTiles` are taken in as well:
    // where each rectangle has a price of its own, fewer and larger ones cost less.
    template <typename F>
    void forEachRect(int gapTiles, F&& f) const
    {
        for (int b = m_first; b < m_end; ++b) {
            const Band& band = m_bands[static_cast<std::size_t>(b)];
            int runStart = -1;
            int runEnd = -1;
            for (int w = band.firstWord; w < band.endWord; ++w) {
                std::uint64_t bits = band.words[static_cast<std::size_t>(w)];
                while (bits != 0) {
                    const int bit = std::countr_zero(bits);
                    const int length = std::countr_one(bits >> bit);
                    const int first = w * 64 + bit;
                    const int end = first + length;
                    bits = bit + length >= 64 ? 0 : bits & (~std::uint64_t{0} << (bit + length));
                    if (runEnd >= 0 && first - runEnd <= gapTiles) {
                        runEnd = end;
                        continue;
                    }
                    if (runEnd >= 0) {
                        f(tileRect(b, runStart, runEnd));
                    }
                    runStart = first;
                    runEnd = end;
                }
            }
            if (runEnd >= 0) {
                f(tileRect(b, runStart, runEnd));
            }
        }
    }
    QRegion region(int gapTiles) const;

private:
    struct Band {
        std::vector<std::uint64_t> words;  // a bit per tile, kept at its largest size
        int firstWord = 0;                 // the words in use
        int endWord = 0;
    };
    static QRect tileRect(int band, int firstTile, int endTile)
    {
        return QRect(firstTile * TileSize, band * TileSize, (endTile - firstTile) * TileSize,
                     TileSize);
    }
    std::vector<Band> m_bands;  // kept at its largest size, so that frames do not allocate
    int m_first = 0;            // the bands in use
    int m_end = 0;
};

// The engine's canvas over a QPainter: a QImage (with read-back), a QSvgGenerator, a QPrinter or
// a QPdfWriter. Painting starts in the constructor and ends in the destructor or finish().
// The device must outlive the canvas. Coordinates are the device's pixels with integers at
// pixel centres; for an SVG in pixel units give the generator setSize(w, h) and
// setViewBox(0, 0, w, h).
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
    // Draws the canvas's units at `scale` device pixels each, moved by dx, dy device pixels: a
    // picture of its own units on a page of another resolution. Call before drawing.
    void setPlacement(double scale, double dx, double dy);

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

    // Layers are kept on pictures only, and only once asked for: a copy of the picture is the
    // price of each.
    void setKeepsLayers(bool keeps) { m_keepsLayers = keeps && m_image != nullptr; }
    bool keepsLayers() const override { return m_keepsLayers; }
    bool keepLayer(std::span<const std::byte> key) override;
    bool restoreLayer(std::span<const std::byte> key) override;
    // The part of the picture that drawing and putting back layers may have changed since the
    // last call, in the canvas's units and within the picture: what a window must show again.
    QRegion takeChanged();

private:
    // Notes that drawing may have changed the pixels of r, and those within `spread` of it.
    void touch(QRect r, int spread);
    // The picture within the clip: what touching can change.
    QRect touchBounds() const;
    void touchWithin(const QRect& r, const QRect& bounds);
    // Of a polyline only its segments' boxes are noted, of any other shape its whole box; a line
    // drawn with round joins reaches less far from its points than a mitred one.
    void touchPoints(const scene::PixelPoint* points, std::int32_t count, bool segments = false,
                     bool roundJoins = false);

    PainterCanvas(QPaintDevice& device, QImage* image);

    // Bring the painter's pen, brush and background in line with the canvas state; the Qt
    // objects are rebuilt only when that state changed since they were last built.
    void applyLinePen();
    void applyFill();
    void applyFont();
    const QPointF* strokePoints(const scene::PixelPoint* points, std::int32_t count);
    // Draws a wide solid polyline straight into the picture; false where Qt must stroke it.
    bool strokeOnPicture(const scene::PixelPoint* points, std::int32_t count);

    QPaintDevice* m_device;
    QImage* m_image;  // null where the device cannot be read back
    QPainter m_painter;

    std::optional<scene::CanvasPen> m_builtPen;
    QPen m_linePen;
    qreal m_strokeOffset = 0.5;  // moves pixel centres onto the stroke's axis

    std::optional<scene::CanvasFill> m_builtFill;
    QBrush m_fillBrush;

    std::optional<scene::CanvasFont> m_builtFont;
    QFont m_font;
    std::optional<QFontMetrics> m_metrics;
    QPen m_textPen;

    scene::PixelPoint m_current;
    // The engine measures and draws the same three labels on every frame; keeping their widths
    // and their glyphs keeps the frames free of text conversions and allocations, and shaping
    // them anew on every frame cost more than drawing them.
    struct KeptText {
        std::string fontName;
        bool bold = false;
        std::int32_t pixelHeight = 0;
        std::string text;
        std::int32_t width = -1;  // not measured yet
        bool shaped = false;
        QList<QGlyphRun> runs;
        qreal baseline = 0;  // of the runs, below their origin
    };
    // The slot of this text in the current font, an empty one if it has none.
    KeptText& keptText(std::string_view utf8);
    const KeptText& shaped(std::string_view utf8);
    std::array<KeptText, 8> m_kept;
    std::size_t m_nextKept = 0;

    std::vector<QPointF> m_points;  // reused so that frames do not allocate
    std::vector<LineRaster::Point> m_devicePoints;
    LineRaster m_lineRaster;

    bool m_keepsLayers = false;
    KeptLayer m_layer;
    std::vector<std::byte> m_layerKey;
    bool m_hasLayer = false;
    ChangedTiles m_sinceLayer;    // changed since the layer was kept or put back
    ChangedTiles m_changed;       // changed since takeChanged()
    std::optional<QRect> m_clip;  // none: no clipping
    std::vector<std::optional<QRect>> m_clipStack;
};

}  // namespace platform
