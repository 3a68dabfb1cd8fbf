// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads an enhanced metafile back and plays it the way GDI would: an object table, selections
// that SaveDC and RestoreDC keep and restore, the background and text attributes. It notes every
// shape with the state it was drawn in, and every breach of the format's rules it meets.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace emf_test {

inline std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    if (at + 4 > b.size()) {
        return 0;
    }
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}
inline std::int32_t i32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::int32_t>(u32(b, at));
}
inline std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    if (at + 2 > b.size()) {
        return 0;
    }
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
inline std::int16_t i16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::int16_t>(u16(b, at));
}

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};
struct Point {
    std::int32_t x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Header {
    Rect bounds;
    Rect frame;
    std::uint32_t signature = 0;
    std::uint32_t version = 0;
    std::uint32_t bytes = 0;
    std::uint32_t records = 0;
    std::uint16_t handles = 0;
    std::uint32_t descriptionChars = 0;
    std::uint32_t descriptionOffset = 0;
    std::int32_t deviceWidth = 0, deviceHeight = 0;
    std::int32_t millimetresWidth = 0, millimetresHeight = 0;
    std::int32_t micrometresWidth = 0, micrometresHeight = 0;
    std::u16string description;
};

struct Record {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::size_t offset = 0;
};

namespace type {
constexpr std::uint32_t Header = 1, Polygon = 3, Polyline = 4, Eof = 14, SetBkMode = 18,
                        SetTextAlign = 22, SetTextColor = 24, SetBkColor = 25, MoveToEx = 27,
                        IntersectClipRect = 30, SaveDc = 33, RestoreDc = 34, SelectObject = 37,
                        CreatePen = 38, CreateBrush = 39, DeleteObject = 40, Ellipse = 42,
                        LineTo = 54, CreateFont = 82, ExtTextOutW = 84, Polygon16 = 86,
                        Polyline16 = 87, ExtCreatePen = 95;
}

struct PenState {
    bool null = false;
    std::uint32_t style = 0;  // the style bits without the type, cap and join
    std::uint32_t fullStyle = 0;
    std::int32_t width = 1;
    std::uint32_t color = 0;
    bool extended = false;  // made by EXTCREATEPEN
    friend bool operator==(const PenState&, const PenState&) = default;
};
struct BrushState {
    bool null = false;
    std::uint32_t color = 0xFFFFFF;
    friend bool operator==(const BrushState&, const BrushState&) = default;
};
struct FontState {
    bool stock = true;
    std::int32_t height = 0;
    std::int32_t weight = 0;
    std::u16string face;
    std::uint8_t charset = 0;
};

struct DcState {
    std::uint32_t pen = 0x80000007, brush = 0x80000000, font = 0x8000000D;  // handles
    PenState penState;
    BrushState brushState;
    FontState fontState;
    std::uint32_t bkMode = 2;
    std::uint32_t bkColor = 0xFFFFFF;
    std::uint32_t textColor = 0;
    std::uint32_t textAlign = 0;
    std::vector<Rect> clips;  // intersected, innermost last
    Point position;
};

enum class Shape { Polygon, Polyline, Line, Ellipse, Text };

struct Drawn {
    Shape shape;
    std::vector<Point> points;  // for a line its two ends, for an ellipse the box corners
    bool wide = false;          // 32-bit points
    PenState pen;
    BrushState brush;
    FontState font;
    std::uint32_t bkMode = 0;
    std::uint32_t bkColor = 0;
    std::uint32_t textColor = 0;
    std::uint32_t textAlign = 0;
    std::vector<Rect> clips;
    std::u16string text;
    std::vector<std::int32_t> dx;
    Point reference;
};

struct Played {
    Header header;
    std::vector<Record> records;
    std::vector<Drawn> drawn;
    std::vector<std::string> errors;  // empty when the file keeps every rule checked
    std::size_t created = 0;          // objects created over the whole file
};

// How RestoreDC is played: as GDI does, bringing back everything the SaveDC kept, or as some
// readers do, bringing back only the clip.
enum class Restore { Everything, ClipOnly };

inline Played play(const std::vector<std::uint8_t>& b, Restore restore = Restore::Everything)
{
    Played p;
    const auto fail = [&](std::size_t record, const std::string& what) {
        p.errors.push_back("record " + std::to_string(record) + ": " + what);
    };
    // Walk the records by their sizes.
    std::size_t at = 0;
    while (at < b.size()) {
        Record r{u32(b, at), u32(b, at + 4), at};
        if (r.size < 8 || r.size % 4 != 0 || at + r.size > b.size()) {
            fail(p.records.size(), "bad size " + std::to_string(r.size));
            return p;
        }
        p.records.push_back(r);
        at += r.size;
        if (r.type == type::Eof) {
            break;
        }
    }
    if (at != b.size()) {
        fail(p.records.size(), "bytes after the end-of-file record");
    }
    if (p.records.empty() || p.records.front().type != type::Header) {
        fail(0, "no header first");
        return p;
    }
    if (p.records.back().type != type::Eof) {
        fail(p.records.size(), "no end-of-file record last");
    }
    Header& h = p.header;
    h.bounds = {i32(b, 8), i32(b, 12), i32(b, 16), i32(b, 20)};
    h.frame = {i32(b, 24), i32(b, 28), i32(b, 32), i32(b, 36)};
    h.signature = u32(b, 40);
    h.version = u32(b, 44);
    h.bytes = u32(b, 48);
    h.records = u32(b, 52);
    h.handles = u16(b, 56);
    h.descriptionChars = u32(b, 60);
    h.descriptionOffset = u32(b, 64);
    h.deviceWidth = i32(b, 72);
    h.deviceHeight = i32(b, 76);
    h.millimetresWidth = i32(b, 80);
    h.millimetresHeight = i32(b, 84);
    const std::uint32_t headerSize = p.records.front().size;
    if (headerSize >= 108) {
        h.micrometresWidth = i32(b, 100);
        h.micrometresHeight = i32(b, 104);
    }
    if (h.descriptionOffset + 2 * std::size_t{h.descriptionChars} > headerSize) {
        fail(0, "the description lies outside the header");
    } else {
        for (std::uint32_t i = 0; i < h.descriptionChars; ++i) {
            h.description.push_back(static_cast<char16_t>(u16(b, h.descriptionOffset + 2 * i)));
        }
    }
    if (h.bytes != b.size()) {
        fail(0,
             "nBytes " + std::to_string(h.bytes) + " but the file has " + std::to_string(b.size()));
    }
    if (h.records != p.records.size()) {
        fail(0, "nRecords " + std::to_string(h.records) + " but there are " +
                    std::to_string(p.records.size()));
    }

    struct Object {
        bool alive = false;
        int kind = 0;  // 1 pen, 2 brush, 3 font
        PenState pen;
        BrushState brush;
        FontState font;
    };
    std::vector<Object> table(h.handles);
    DcState dc;
    std::vector<DcState> saved;
    const auto selectedAnywhere = [&](std::uint32_t handle) {
        if (dc.pen == handle || dc.brush == handle || dc.font == handle) {
            return true;
        }
        for (const DcState& s : saved) {
            if (s.pen == handle || s.brush == handle || s.font == handle) {
                return true;
            }
        }
        return false;
    };
    const auto drawn = [&](Shape shape) {
        Drawn d;
        d.shape = shape;
        d.pen = dc.penState;
        d.brush = dc.brushState;
        d.font = dc.fontState;
        d.bkMode = dc.bkMode;
        d.bkColor = dc.bkColor;
        d.textColor = dc.textColor;
        d.textAlign = dc.textAlign;
        d.clips = dc.clips;
        return d;
    };
    const auto newObject = [&](std::size_t index, std::uint32_t ih) -> Object* {
        if (ih == 0 || ih >= table.size()) {
            fail(index, "object index " + std::to_string(ih) + " outside the table of " +
                            std::to_string(table.size()));
            return nullptr;
        }
        if (table[ih].alive) {
            fail(index, "object " + std::to_string(ih) + " created over a live one");
        }
        table[ih] = Object{};
        table[ih].alive = true;
        ++p.created;
        return &table[ih];
    };

    for (std::size_t index = 1; index < p.records.size(); ++index) {
        const Record& r = p.records[index];
        const std::size_t o = r.offset;
        switch (r.type) {
            case type::Header:
                fail(index, "a second header");
                break;
            case type::CreatePen: {
                if (Object* obj = newObject(index, u32(b, o + 8))) {
                    obj->kind = 1;
                    obj->pen.fullStyle = u32(b, o + 12);
                    obj->pen.style = obj->pen.fullStyle & 0xFu;
                    obj->pen.null = obj->pen.style == 5;
                    obj->pen.width = std::max(i32(b, o + 16), 1);
                    obj->pen.color = u32(b, o + 24);
                }
                break;
            }
            case type::ExtCreatePen: {
                if (Object* obj = newObject(index, u32(b, o + 8))) {
                    obj->kind = 1;
                    obj->pen.extended = true;
                    obj->pen.fullStyle = u32(b, o + 28);
                    obj->pen.style = obj->pen.fullStyle & 0xFu;
                    obj->pen.null = obj->pen.style == 5;
                    obj->pen.width = i32(b, o + 32);
                    obj->pen.color = u32(b, o + 40);
                    if (r.size != 52 + 4 * u32(b, o + 48)) {
                        fail(index, "EXTCREATEPEN size does not match its style entries");
                    }
                }
                break;
            }
            case type::CreateBrush: {
                if (Object* obj = newObject(index, u32(b, o + 8))) {
                    obj->kind = 2;
                    obj->brush.null = u32(b, o + 12) == 1;
                    obj->brush.color = u32(b, o + 16);
                }
                break;
            }
            case type::CreateFont: {
                if (r.size < 12 + 92) {
                    fail(index, "font record too small for a LOGFONTW");
                    break;
                }
                if (Object* obj = newObject(index, u32(b, o + 8))) {
                    obj->kind = 3;
                    obj->font.stock = false;
                    obj->font.height = i32(b, o + 12);
                    obj->font.weight = i32(b, o + 28);
                    obj->font.charset = b[o + 12 + 23];
                    for (std::size_t i = 0; i < 32; ++i) {
                        const char16_t c = static_cast<char16_t>(u16(b, o + 12 + 28 + 2 * i));
                        if (c == 0) {
                            break;
                        }
                        obj->font.face.push_back(c);
                        if (i == 31) {
                            fail(index, "face name without its null");
                        }
                    }
                }
                break;
            }
            case type::SelectObject: {
                const std::uint32_t ih = u32(b, o + 8);
                if ((ih & 0x80000000u) != 0) {
                    switch (ih & 0x7FFFFFFFu) {
                        case 0:
                            dc.brush = ih;
                            dc.brushState = {false, 0xFFFFFF};
                            break;
                        case 5:
                            dc.brush = ih;
                            dc.brushState = {true, 0};
                            break;
                        case 7:
                            dc.pen = ih;
                            dc.penState = PenState{};
                            break;
                        case 8:
                            dc.pen = ih;
                            dc.penState = PenState{true, 5, 5, 1, 0, false};
                            break;
                        case 13:
                            dc.font = ih;
                            dc.fontState = FontState{};
                            break;
                        default:
                            fail(index, "an unexpected stock object");
                    }
                    break;
                }
                if (ih >= table.size() || !table[ih].alive) {
                    fail(index, "selects object " + std::to_string(ih) + " that does not exist");
                    break;
                }
                const Object& obj = table[ih];
                if (obj.kind == 1) {
                    dc.pen = ih;
                    dc.penState = obj.pen;
                } else if (obj.kind == 2) {
                    dc.brush = ih;
                    dc.brushState = obj.brush;
                } else {
                    dc.font = ih;
                    dc.fontState = obj.font;
                }
                break;
            }
            case type::DeleteObject: {
                const std::uint32_t ih = u32(b, o + 8);
                if (ih >= table.size() || !table[ih].alive) {
                    fail(index, "deletes object " + std::to_string(ih) + " that does not exist");
                } else if (restore == Restore::Everything && selectedAnywhere(ih)) {
                    fail(index, "deletes object " + std::to_string(ih) + " while it is selected");
                } else {
                    table[ih].alive = false;
                }
                break;
            }
            case type::SetBkMode:
                dc.bkMode = u32(b, o + 8);
                break;
            case type::SetBkColor:
                dc.bkColor = u32(b, o + 8);
                break;
            case type::SetTextColor:
                dc.textColor = u32(b, o + 8);
                break;
            case type::SetTextAlign:
                dc.textAlign = u32(b, o + 8);
                break;
            case type::SaveDc:
                if (r.size != 8) {
                    fail(index, "SAVEDC of size " + std::to_string(r.size));
                }
                saved.push_back(dc);
                break;
            case type::RestoreDc:
                if (i32(b, o + 8) != -1) {
                    fail(index, "RESTOREDC other than -1");
                }
                if (saved.empty()) {
                    fail(index, "RESTOREDC without SAVEDC");
                } else if (restore == Restore::Everything) {
                    dc = saved.back();
                    saved.pop_back();
                } else {
                    dc.clips = saved.back().clips;
                    saved.pop_back();
                }
                break;
            case type::IntersectClipRect:
                dc.clips.push_back({i32(b, o + 8), i32(b, o + 12), i32(b, o + 16), i32(b, o + 20)});
                break;
            case type::MoveToEx:
                dc.position = {i32(b, o + 8), i32(b, o + 12)};
                break;
            case type::LineTo: {
                Drawn d = drawn(Shape::Line);
                const Point to{i32(b, o + 8), i32(b, o + 12)};
                d.points = {dc.position, to};
                dc.position = to;
                p.drawn.push_back(std::move(d));
                break;
            }
            case type::Polygon:
            case type::Polyline:
            case type::Polygon16:
            case type::Polyline16: {
                const bool wide = r.type == type::Polygon || r.type == type::Polyline;
                const bool closed = r.type == type::Polygon || r.type == type::Polygon16;
                const std::uint32_t count = u32(b, o + 24);
                const std::size_t expected = (28 + count * (wide ? 8u : 4u) + 3) / 4 * 4;
                if (r.size != expected) {
                    fail(index, "point record of size " + std::to_string(r.size) + " for " +
                                    std::to_string(count) + " points");
                    break;
                }
                Drawn d = drawn(closed ? Shape::Polygon : Shape::Polyline);
                d.wide = wide;
                Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
                for (std::uint32_t i = 0; i < count; ++i) {
                    const Point pt = wide ? Point{i32(b, o + 28 + 8 * i), i32(b, o + 32 + 8 * i)}
                                          : Point{i16(b, o + 28 + 4 * i), i16(b, o + 30 + 4 * i)};
                    d.points.push_back(pt);
                    box = {std::min(box.left, pt.x), std::min(box.top, pt.y),
                           std::max(box.right, pt.x), std::max(box.bottom, pt.y)};
                }
                const Rect stated{i32(b, o + 8), i32(b, o + 12), i32(b, o + 16), i32(b, o + 20)};
                if (count > 0 && !(stated == box)) {
                    fail(index, "bounds do not enclose the points");
                }
                p.drawn.push_back(std::move(d));
                break;
            }
            case type::Ellipse: {
                Drawn d = drawn(Shape::Ellipse);
                d.points = {{i32(b, o + 8), i32(b, o + 12)}, {i32(b, o + 16), i32(b, o + 20)}};
                p.drawn.push_back(std::move(d));
                break;
            }
            case type::ExtTextOutW: {
                Drawn d = drawn(Shape::Text);
                d.reference = {i32(b, o + 36), i32(b, o + 40)};
                const std::uint32_t chars = u32(b, o + 44);
                const std::uint32_t offString = u32(b, o + 48);
                const std::uint32_t offDx = u32(b, o + 72);
                if (offString % 4 != 0 || offString + 2 * chars > r.size ||
                    (offDx != 0 && (offDx % 4 != 0 || offDx + 4 * chars > r.size))) {
                    fail(index, "text or spacing outside the record");
                    break;
                }
                for (std::uint32_t i = 0; i < chars; ++i) {
                    d.text.push_back(static_cast<char16_t>(u16(b, o + offString + 2 * i)));
                    if (offDx != 0) {
                        d.dx.push_back(i32(b, o + offDx + 4 * i));
                    }
                }
                p.drawn.push_back(std::move(d));
                break;
            }
            case type::Eof:
                if (index + 1 != p.records.size()) {
                    fail(index, "end of file before the last record");
                }
                if (u32(b, o + 16) != r.size) {
                    fail(index, "end of file states the wrong size of itself");
                }
                if (!saved.empty()) {
                    fail(index, std::to_string(saved.size()) + " SAVEDC left open");
                }
                for (std::size_t ih = 1; ih < table.size(); ++ih) {
                    if (table[ih].alive) {
                        fail(index, "object " + std::to_string(ih) + " never deleted");
                    }
                }
                break;
            default:
                fail(index, "unexpected record type " + std::to_string(r.type));
        }
    }
    return p;
}

}  // namespace emf_test
