// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/animation_frames.h"

#include "platform/painter_canvas.h"
#include "scene/geometry.h"
#include "scene/projection.h"

namespace output {

AnimationFrames::AnimationFrames(const scene::SceneState& s, const AnimationDescription& d)
    : m_description(d),
      m_startAzimuth(s.Params.Azimuth),
      m_measuring(1, 1),
      m_scene(std::make_unique<scene::SceneState>(s)),
      m_image(d.width, d.height, QImage::Format_RGB32)
{
    scene::SceneState& copy = *m_scene;
    copy.Host = &m_measuring;
    copy.DrawingInProgress = false;
    copy.DrawWidth = d.width;
    copy.DrawHeight = d.height;
}

AnimationFrames::~AnimationFrames() = default;

const QImage& AnimationFrames::frame(std::int32_t k)
{
    scene::SceneState& s = *m_scene;
    if (m_description.motion == AnimationMotion::Time) {
        s.Params.TimeStep = frameTimeStep(m_description, k);
        scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
    } else {
        scene::setAzimuth(s, frameAzimuth(m_description, m_startAzimuth, k));
        scene::updateViewMatrix(s);
    }
    const std::int32_t width = m_description.width;
    const std::int32_t height = m_description.height;
    scene::projectScene(s, width, height, s.PixelsPerUnit, 1.0);
    const VectorPicture picture =
        scenePicture(s, screenSizedPicture(s, width, height), &m_measuring.screenCanvas());
    platform::PainterCanvas canvas(m_image);
    picture.draw(canvas);
    canvas.finish();
    return m_image;
}

}  // namespace output
