// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/scene_picture.h"

#include <algorithm>
#include <cmath>

#include "scene/render.h"

namespace output {

namespace {

// Hundredths of a millimetre that `pixels` screen pixels cover.
std::int32_t frameLength(const scene::SceneState& s, std::int32_t pixels)
{
    const double length = std::round(pixels / s.ScreenPixelsPerMetre * 1e5);
    return static_cast<std::int32_t>(std::clamp(length, 1.0, 2147483647.0));
}

}  // namespace

PictureDescription screenSizedPicture(const scene::SceneState& s, std::int32_t width,
                                      std::int32_t height)
{
    PictureDescription d;
    d.width = width;
    d.height = height;
    d.deviceFactor = 1.0;
    d.widthMm = width / s.ScreenPixelsPerMetre * 1000.0;
    d.heightMm = height / s.ScreenPixelsPerMetre * 1000.0;
    d.frameWidth = frameLength(s, width);
    d.frameHeight = frameLength(s, height);
    d.pixelsPerMetre = s.ScreenPixelsPerMetre;
    return d;
}

VectorPicture scenePicture(scene::SceneState& s, const PictureDescription& picture,
                           scene::Canvas* measuringCanvas)
{
    VectorPicture p;
    p.width = picture.width;
    p.height = picture.height;
    p.widthMm = picture.widthMm;
    p.heightMm = picture.heightMm;
    p.frameWidth = picture.frameWidth;
    p.frameHeight = picture.frameHeight;
    p.measuringCanvas = measuringCanvas;
    p.draw = [&s, picture](scene::Canvas& canvas) {
        scene::drawScene(s, 0, 0, picture.width, picture.height, canvas, picture.deviceFactor);
    };
    return p;
}

PictureHost::PictureHost(std::int32_t width, std::int32_t height)
    : m_image(width, height, QImage::Format_RGB32), m_canvas(m_image)
{
}

QImage& PictureHost::image()
{
    m_canvas.finish();
    return m_image;
}

HostedPicture::HostedPicture(scene::SceneState& s, PictureHost& host,
                             const PictureDescription& description, QString creator)
    : m_scene(s), m_host(host), m_description(description), m_creator(std::move(creator))
{
}

VectorPicture HostedPicture::vectorPicture() const
{
    VectorPicture p = scenePicture(m_scene, m_description, &m_host.screenCanvas());
    p.creator = m_creator;
    return p;
}

const QImage& HostedPicture::bitmap() const
{
    QImage& image = m_host.image();
    // Records the screen's pixel pitch, so that the picture prints at the true scale.
    const int dotsPerMetre = qRound(m_description.pixelsPerMetre);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

PhysicalSize HostedPicture::statedSize(PictureFormat format) const
{
    if (format == PictureFormat::Emf) {
        return {m_description.frameWidth / 100.0, m_description.frameHeight / 100.0, 0.0};
    }
    return {m_description.widthMm, m_description.heightMm, m_description.pixelsPerMetre};
}

}  // namespace output
