// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A picture of the scene whatever its format: its description (size, resolution, frame, device
// factor) and the one function that draws the scene into it. The window's export pictures
// (export_pictures.h) and ondulix-render both draw through it.

#include <QImage>
#include <QString>

#include <cstdint>

#include "output/export_formats.h"
#include "platform/painter_canvas.h"
#include "scene/scene.h"

namespace output {

struct PictureDescription {
    std::int32_t width = 1;  // device units
    std::int32_t height = 1;
    // Device units per screen pixel: 10 for the window's vector picture, 1 for ondulix-render.
    double deviceFactor = 1.0;
    // The size on paper that SVG and PDF state.
    double widthMm = 1.0;
    double heightMm = 1.0;
    // The EMF frame in hundredths of a millimetre.
    std::int32_t frameWidth = 1;
    std::int32_t frameHeight = 1;
    // The resolution a bitmap records.
    double pixelsPerMetre = 0.0;
};

// The picture of `width` x `height` screen pixels, one device unit a pixel, at the size on paper
// that the screen's pixel pitch gives; the frame rounded to hundredths of a millimetre.
PictureDescription screenSizedPicture(const scene::SceneState& s, std::int32_t width,
                                      std::int32_t height);

// The scene drawn into `picture`: `s` is projected for the picture's size and device factor
// with its top left at 0, 0, and must outlive the result. Texts are measured on
// `measuringCanvas`, which may be null.
VectorPicture scenePicture(scene::SceneState& s, const PictureDescription& picture,
                           scene::Canvas* measuringCanvas);

// The drawing area as a picture of its own, for a scene without a window: labels are measured
// on it as the window measures them on the screen, and no event ever runs.
class PictureHost : public scene::SceneHost {
public:
    PictureHost(std::int32_t width, std::int32_t height);
    scene::Canvas& screenCanvas() override { return m_canvas; }
    void processPendingEvents() override {}
    // The picture as drawn; painting on it ends.
    QImage& image();

private:
    QImage m_image;
    platform::PainterCanvas m_canvas;
};

// A scene drawn on a PictureHost as the pictures the exporters take: the vector picture drawn
// from the scene as it stands, the bitmap the host's own picture.
class HostedPicture : public PictureSource {
public:
    HostedPicture(scene::SceneState& s, PictureHost& host, const PictureDescription& description,
                  QString creator);

    VectorPicture vectorPicture() const override;
    // The host's picture, ending its painting; it records the description's resolution.
    const QImage& bitmap() const override;
    PhysicalSize statedSize(PictureFormat format) const override;

private:
    scene::SceneState& m_scene;
    PictureHost& m_host;
    PictureDescription m_description;
    QString m_creator;
};

}  // namespace output
