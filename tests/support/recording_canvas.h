// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A canvas that remembers what was drawn, with the pen, fill and font in force at each call, so
// rendering tests can check order, colours and widths without looking at pixels.

#include <functional>
#include <string>
#include <vector>

#include "scene/canvas.h"

namespace testing_support {

enum class Op { FillRect, Polygon, Polyline, MoveTo, LineTo, Ellipse, TextOut, SetClip, RestoreClip };

struct Call {
    Op op;
    scene::CanvasPen pen;
    scene::CanvasFill fill;
    scene::CanvasFont font;
    std::vector<scene::PixelPoint> points;  // the points, or the rectangle's two corners
    std::string text;
};

class RecordingCanvas : public scene::Canvas {
public:
    std::vector<Call> calls;
    // Answers readPixel; by default the device cannot read back.
    std::function<scene::TColor(std::int32_t, std::int32_t)> pixel = [](std::int32_t, std::int32_t) {
        return common::NoColor;
    };
    // Fake font metrics: every character is 6/10 of the cell height wide.
    static std::int32_t widthOf(std::string_view text, std::int32_t height)
    {
        return static_cast<std::int32_t>(text.size()) * height * 6 / 10;
    }

    void fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override
    {
        record(Op::FillRect, {{x1, y1}, {x2, y2}});
    }
    void polygon(const scene::PixelPoint* p, std::int32_t n) override
    {
        record(Op::Polygon, {p, p + n});
    }
    void polyline(const scene::PixelPoint* p, std::int32_t n) override
    {
        record(Op::Polyline, {p, p + n});
    }
    void moveTo(scene::PixelPoint p) override { record(Op::MoveTo, {p}); }
    void lineTo(scene::PixelPoint p) override { record(Op::LineTo, {p}); }
    void ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override
    {
        record(Op::Ellipse, {{x1, y1}, {x2, y2}});
    }
    void textOut(std::int32_t x, std::int32_t y, std::string_view text) override
    {
        record(Op::TextOut, {{x, y}}, std::string(text));
    }
    std::int32_t textWidth(std::string_view text) override
    {
        return widthOf(text, font().pixelHeight);
    }
    std::int32_t textHeight(std::string_view) override { return font().pixelHeight; }
    scene::TColor readPixel(std::int32_t x, std::int32_t y) override { return pixel(x, y); }
    void setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override
    {
        record(Op::SetClip, {{x1, y1}, {x2, y2}});
    }
    void restoreClip() override { record(Op::RestoreClip, {}); }

    std::vector<const Call*> of(Op op) const
    {
        std::vector<const Call*> found;
        for (const Call& c : calls) {
            if (c.op == op) {
                found.push_back(&c);
            }
        }
        return found;
    }

private:
    void record(Op op, std::vector<scene::PixelPoint> points, std::string text = {})
    {
        calls.push_back({op, pen(), fill(), font(), std::move(points), std::move(text)});
    }
};

}  // namespace testing_support
