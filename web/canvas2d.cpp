// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas2d.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>

// The page's script (ondulix.js, object draw2d) does the drawing; colours pass as 0x00BBGGRR.
// clang-format off
EM_JS(void, js_style, (std::uint32_t pen, int style, int width, std::uint32_t fill, int solid), {
    Module.draw2d.style(pen, style, width, fill, solid);
});
EM_JS(void, js_fill_rect, (int x1, int y1, int x2, int y2), {
    Module.draw2d.fillRect(x1, y1, x2, y2);
});
EM_JS(void, js_path, (const std::int32_t* points, int count, int closed), {
    Module.draw2d.path(HEAP32.subarray(points >> 2, (points >> 2) + 2 * count), count, closed);
});
EM_JS(void, js_ellipse, (int x1, int y1, int x2, int y2), {
    Module.draw2d.ellipse(x1, y1, x2, y2);
});
EM_JS(void, js_font, (const char* name, int bold, int height, std::uint32_t color), {
    Module.draw2d.font(UTF8ToString(name), bold, height, color);
});
EM_JS(void, js_text, (int x, int y, const char* text, int length), {
    Module.draw2d.text(x, y, UTF8ToString(text, length));
});
EM_JS(int, js_text_width, (const char* text, int length), {
    return Module.draw2d.textWidth(UTF8ToString(text, length));
});
EM_JS(int, js_text_height, (), {
    return Module.draw2d.textHeight();
});
EM_JS(std::uint32_t, js_read_pixel, (int x, int y), {
    return Module.draw2d.readPixel(x, y);
});
EM_JS(void, js_clip, (int x1, int y1, int x2, int y2), {
    Module.draw2d.clip(x1, y1, x2, y2);
});
EM_JS(void, js_restore_clip, (), {
    Module.draw2d.restoreClip();
});
// clang-format on

namespace web {

namespace {

void applyFont(const scene::CanvasFont& font)
{
    js_font(font.name.c_str(), font.bold ? 1 : 0, font.pixelHeight, font.color);
}

int length(std::string_view text)
{
    return static_cast<int>(text.size());
}

std::string colour(scene::TColor c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", common::redOf(c), common::greenOf(c),
                  common::blueOf(c));
    return buffer;
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// As the desktop pens: lengths in pen widths.
const char* dashes(common::TPenStyle style)
{
    switch (style) {
        case common::TPenStyle::Dash:
            return "18 6";
        case common::TPenStyle::Dot:
            return "3 3";
        case common::TPenStyle::DashDot:
            return "9 6 3 6";
        case common::TPenStyle::DashDotDot:
            return "9 3 3 3 3 3";
        case common::TPenStyle::Solid:
        case common::TPenStyle::Clear:
            break;
    }
    return nullptr;
}

}  // namespace

// ---- HtmlCanvas ----

void HtmlCanvas::applyStyle()
{
    js_style(pen().color, static_cast<int>(pen().style), pen().width, fill().color,
             fill().solid ? 1 : 0);
}

void HtmlCanvas::fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (!fill().solid || x2 <= x1 || y2 <= y1) {
        return;
    }
    applyStyle();
    js_fill_rect(x1, y1, x2, y2);
}

void HtmlCanvas::polygon(const scene::PixelPoint* points, std::int32_t count)
{
    if (points == nullptr || count < 2) {
        return;
    }
    applyStyle();
    js_path(&points[0].x, count, 1);
}

void HtmlCanvas::polyline(const scene::PixelPoint* points, std::int32_t count)
{
    if (points == nullptr || count < 2 || pen().style == common::TPenStyle::Clear) {
        return;
    }
    applyStyle();
    js_path(&points[0].x, count, 0);
}

void HtmlCanvas::lineTo(scene::PixelPoint p)
{
    const scene::PixelPoint line[2] = {m_current, p};
    m_current = p;
    polyline(line, 2);
}

void HtmlCanvas::ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    applyStyle();
    js_ellipse(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

void HtmlCanvas::textOut(std::int32_t x, std::int32_t y, std::string_view utf8)
{
    if (utf8.empty()) {
        return;
    }
    applyStyle();
    applyFont(font());
    js_text(x, y, utf8.data(), length(utf8));
}

std::int32_t HtmlCanvas::textWidth(std::string_view utf8)
{
    applyFont(font());
    return js_text_width(utf8.data(), length(utf8));
}

std::int32_t HtmlCanvas::textHeight(std::string_view /*utf8*/)
{
    applyFont(font());
    return js_text_height();
}

scene::TColor HtmlCanvas::readPixel(std::int32_t x, std::int32_t y)
{
    return js_read_pixel(x, y);
}

void HtmlCanvas::setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    js_clip(x1, y1, x2, y2);
}

void HtmlCanvas::restoreClip()
{
    js_restore_clip();
}

// ---- SvgCanvas ----

SvgCanvas::SvgCanvas(std::int32_t width, std::int32_t height) : m_width(width), m_height(height) {}

void SvgCanvas::fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    if (!fill().solid || x2 <= x1 || y2 <= y1) {
        return;
    }
    m_body += "<rect x=\"" + std::to_string(x1) + "\" y=\"" + std::to_string(y1) + "\" width=\"" +
              std::to_string(x2 - x1) + "\" height=\"" + std::to_string(y2 - y1) + "\" fill=\"" +
              colour(fill().color) + "\"/>\n";
}

// The element without its closing "/>", then the outline: gaps of a patterned line in the fill
// colour by a solid line beneath it, as on the screen.
void SvgCanvas::stroke(const std::string& element, bool filled)
{
    const std::string fillPart =
        filled && fill().solid ? " fill=\"" + colour(fill().color) + "\"" : " fill=\"none\"";
    if (pen().style == common::TPenStyle::Clear) {
        if (filled && fill().solid) {
            m_body += element + fillPart + "/>\n";
        }
        return;
    }
    const std::string width = std::to_string(std::max(1, pen().width));
    const char* pattern = dashes(pen().style);
    if (pattern != nullptr && fill().solid) {
        m_body += element + fillPart + " stroke=\"" + colour(fill().color) + "\" stroke-width=\"" +
                  width + "\"/>\n";
    }
    std::string dash;
    if (pattern != nullptr) {
        dash = " stroke-dasharray=\"";
        std::string number;
        const std::int32_t w = std::max(1, pen().width);
        for (const char* c = pattern;; ++c) {
            if (*c == ' ' || *c == '\0') {
                dash += std::to_string(std::stoi(number) * w);
                number.clear();
                if (*c == '\0') {
                    break;
                }
                dash += ' ';
            } else {
                number += *c;
            }
        }
        dash += "\"";
    }
    const bool filledBelow = pattern != nullptr && fill().solid;
    m_body += element + (filledBelow ? std::string(" fill=\"none\"") : fillPart) + " stroke=\"" +
              colour(pen().color) + "\" stroke-width=\"" + width + "\"" + dash +
              (pattern != nullptr ? " stroke-linecap=\"butt\"" : " stroke-linecap=\"round\"") +
              " stroke-linejoin=\"miter\"/>\n";
}

namespace {

std::string pointList(const scene::PixelPoint* points, std::int32_t count, double offset)
{
    std::string out;
    char buffer[32];
    for (std::int32_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, "%s%g,%g", i == 0 ? "" : " ", points[i].x + offset,
                      points[i].y + offset);
        out += buffer;
    }
    return out;
}

double strokeOffset(const scene::CanvasPen& pen)
{
    return (pen.style == common::TPenStyle::Clear || std::max(1, pen.width) % 2 == 1) ? 0.5 : 0.0;
}

}  // namespace

void SvgCanvas::polygon(const scene::PixelPoint* points, std::int32_t count)
{
    if (points == nullptr || count < 2) {
        return;
    }
    stroke("<polygon points=\"" + pointList(points, count, strokeOffset(pen())) + "\"", true);
}

void SvgCanvas::polyline(const scene::PixelPoint* points, std::int32_t count)
{
    if (points == nullptr || count < 2 || pen().style == common::TPenStyle::Clear) {
        return;
    }
    stroke("<polyline points=\"" + pointList(points, count, strokeOffset(pen())) + "\"", false);
}

void SvgCanvas::lineTo(scene::PixelPoint p)
{
    const scene::PixelPoint line[2] = {m_current, p};
    m_current = p;
    polyline(line, 2);
}

void SvgCanvas::ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    const double left = std::min(x1, x2);
    const double top = std::min(y1, y2);
    const double width = std::abs(x2 - x1);
    const double height = std::abs(y2 - y1);
    if (width <= 0 || height <= 0) {
        return;
    }
    const double inset =
        pen().style == common::TPenStyle::Clear ? 0.0 : std::max(1, pen().width) / 2.0;
    const double rx = std::max(width / 2 - inset, 0.0);
    const double ry = std::max(height / 2 - inset, 0.0);
    char buffer[128];
    if (rx <= 0 || ry <= 0) {
        // The outline alone fills the box: a dot.
        std::snprintf(buffer, sizeof buffer,
                      "<ellipse cx=\"%g\" cy=\"%g\" rx=\"%g\" ry=\"%g\" fill=\"%s\"/>\n",
                      left + width / 2, top + height / 2, width / 2, height / 2,
                      colour(pen().color).c_str());
        m_body += buffer;
        return;
    }
    std::snprintf(buffer, sizeof buffer, "<ellipse cx=\"%g\" cy=\"%g\" rx=\"%g\" ry=\"%g\"",
                  left + width / 2, top + height / 2, rx, ry);
    stroke(buffer, true);
}

void SvgCanvas::textOut(std::int32_t x, std::int32_t y, std::string_view utf8)
{
    if (utf8.empty()) {
        return;
    }
    applyFont(font());
    const std::int32_t width = js_text_width(utf8.data(), length(utf8));
    const std::int32_t height = js_text_height();
    if (fill().solid) {
        fillRect(x, y, x + width, y + height);
    }
    // The page's script tells where the baseline lies for the cell height.
    const std::int32_t ascent = EM_ASM_INT({ return Module.draw2d.ascent(); });
    const std::int32_t size = EM_ASM_INT({ return Module.draw2d.fontPixels(); });
    m_body += "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y + ascent) +
              "\" font-family=\"Liberation Sans, Arial, sans-serif\" font-size=\"" +
              std::to_string(size) + "px\"" + (font().bold ? " font-weight=\"bold\"" : "") +
              " fill=\"" + colour(font().color) + "\">" + escaped(utf8) + "</text>\n";
}

std::int32_t SvgCanvas::textWidth(std::string_view utf8)
{
    applyFont(font());
    return js_text_width(utf8.data(), length(utf8));
}

std::int32_t SvgCanvas::textHeight(std::string_view /*utf8*/)
{
    applyFont(font());
    return js_text_height();
}

void SvgCanvas::setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    const std::string id = "clip" + std::to_string(m_nextClip++);
    m_body += "<clipPath id=\"" + id + "\"><rect x=\"" + std::to_string(x1) + "\" y=\"" +
              std::to_string(y1) + "\" width=\"" + std::to_string(std::max(0, x2 - x1)) +
              "\" height=\"" + std::to_string(std::max(0, y2 - y1)) +
              "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
    ++m_openGroups;
}

void SvgCanvas::restoreClip()
{
    if (m_openGroups > 0) {
        m_body += "</g>\n";
        --m_openGroups;
    }
}

std::string SvgCanvas::finish()
{
    while (m_openGroups > 0) {
        restoreClip();
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "width=\"" +
           std::to_string(m_width) + "\" height=\"" + std::to_string(m_height) +
           "\" viewBox=\"0 0 " + std::to_string(m_width) + " " + std::to_string(m_height) +
           "\">\n" + m_body + "</svg>\n";
}

}  // namespace web
