// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The frames of an animation of the scene, drawn one at a time as the still pictures are drawn:
// through scenePicture, from a private copy of the scene, so that the window's own scene and
// its animation are never touched, and frame k of a Time animation is the picture that
// ondulix-render draws for its time step.

#include <QImage>

#include <cstdint>
#include <memory>

#include "output/animation_format.h"
#include "output/scene_picture.h"
#include "scene/scene.h"

namespace output {

class AnimationFrames {
public:
    // Copies the scene as it stands; every other value stays as the window shows it.
    AnimationFrames(const scene::SceneState& s, const AnimationDescription& d);
    ~AnimationFrames();
    AnimationFrames(const AnimationFrames&) = delete;
    AnimationFrames& operator=(const AnimationFrames&) = delete;

    std::int32_t count() const { return m_description.frames; }
    // Frame k, 0 .. count() - 1, in the display's colour format; valid until the next call.
    const QImage& frame(std::int32_t k);

private:
    AnimationDescription m_description;
    std::int32_t m_startAzimuth = 0;
    // Labels are measured on a picture of the frames' own, so that nothing of the window's is
    // used while it goes on between the frames.
    PictureHost m_measuring;
    std::unique_ptr<scene::SceneState> m_scene;
    QImage m_image;
};

}  // namespace output
