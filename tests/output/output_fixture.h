// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A ready scene measured and drawn as the window does (on a QImage).

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

#include "platform/painter_canvas.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene/scene.h"

namespace output_test {

// A little-endian 32-bit field of a file, as a reader of the format takes it; 0 beyond the end.
inline std::int32_t le32(const QByteArray& data, int offset)
{
    if (offset < 0 || data.size() < offset + 4) {
        return 0;
    }
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(data.at(offset + i));
    }
    return static_cast<std::int32_t>(value);
}

// The drawing area's picture: labels are measured on it, and the scene is drawn into it.
class ImageHost : public scene::SceneHost {
public:
    ImageHost(int width, int height)
        : m_image(width, height, QImage::Format_RGB32),
          m_canvas(std::make_unique<platform::PainterCanvas>(m_image))
    {
    }
    scene::Canvas& screenCanvas() override { return *m_canvas; }
    void processPendingEvents() override { ++eventRuns; }
    // The picture as last drawn, painting ended so that it can be read.
    QImage picture()
    {
        m_canvas.reset();
        QImage copy = m_image.copy();
        m_canvas = std::make_unique<platform::PainterCanvas>(m_image);
        return copy;
    }
    int eventRuns = 0;

private:
    QImage m_image;
    std::unique_ptr<platform::PainterCanvas> m_canvas;
};

// The program's defaults: an 800 x 600 area of a 1280-pixel desktop 0.3 m wide at 1 : 40.
struct TestScene {
    std::unique_ptr<scene::SceneState> state = std::make_unique<scene::SceneState>();
    ImageHost host;

    explicit TestScene(int width = 800, int height = 600,
                       const std::function<void(scene::SceneState&)>& configure = {})
        : host(width, height)
    {
        scene::SceneState& s = *state;
        s.Host = &host;
        s.DesktopWidthPixels = 1280;
        s.ScreenWidth = 0.3;
        s.ScaleDenominator = 40;
        s.DrawWidth = width;
        s.DrawHeight = height;
        scene::setAzimuth(s, -45);
        scene::setElevation(s, 30);
        scene::setPhaseShift(s, -90);
        if (configure) {
            configure(s);
        }
        scene::startScene(s);
    }
    scene::SceneState& s() { return *state; }
    // Projects and draws the main view again, as the window does after a change.
    void redraw()
    {
        scene::SceneState& st = *state;
        scene::updateScreenScale(st);
        scene::updateLabelFontMetrics(st);
        scene::projectScene(st, st.DrawWidth, st.DrawHeight, st.PixelsPerUnit, 1.0);
        scene::drawScene(st, 0, 0, st.DrawWidth, st.DrawHeight, host.screenCanvas(), 1.0);
    }
};

}  // namespace output_test
