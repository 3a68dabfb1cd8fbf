// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The page's two drawing surfaces: the HTML canvas' 2D context, driven through the page's
// script, and an SVG document written here. Both measure text in the page's label font.

#include <string>
#include <vector>

#include "scene/canvas.h"

namespace web {

class HtmlCanvas : public scene::Canvas {
public:
    void fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void polygon(const scene::PixelPoint* points, std::int32_t count) override;
    void polyline(const scene::PixelPoint* points, std::int32_t count) override;
    void moveTo(scene::PixelPoint p) override { m_current = p; }
    void lineTo(scene::PixelPoint p) override;
    void ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void textOut(std::int32_t x, std::int32_t y, std::string_view utf8) override;
    std::int32_t textWidth(std::string_view utf8) override;
    std::int32_t textHeight(std::string_view utf8) override;
    scene::TColor readPixel(std::int32_t x, std::int32_t y) override;
    void setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void restoreClip() override;

private:
    void applyStyle();
    scene::PixelPoint m_current;
};

class SvgCanvas : public scene::Canvas {
public:
    SvgCanvas(std::int32_t width, std::int32_t height);
    void fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void polygon(const scene::PixelPoint* points, std::int32_t count) override;
    void polyline(const scene::PixelPoint* points, std::int32_t count) override;
    void moveTo(scene::PixelPoint p) override { m_current = p; }
    void lineTo(scene::PixelPoint p) override;
    void ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void textOut(std::int32_t x, std::int32_t y, std::string_view utf8) override;
    std::int32_t textWidth(std::string_view utf8) override;
    std::int32_t textHeight(std::string_view utf8) override;
    scene::TColor readPixel(std::int32_t, std::int32_t) override { return common::NoColor; }
    void setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void restoreClip() override;

    // The whole document; closes any group still open.
    std::string finish();

private:
    void stroke(const std::string& element, bool filled);
    std::string m_body;
    std::int32_t m_width;
    std::int32_t m_height;
    std::int32_t m_openGroups = 0;
    std::int32_t m_nextClip = 0;
    scene::PixelPoint m_current;
};

}  // namespace web
