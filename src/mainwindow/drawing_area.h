// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

#include "platform/painter_canvas.h"
#include "platform/screen_presenter.h"
#include "scene/scene.h"

namespace mainwindow {

// The main drawing area: owns the off-screen picture the scene is drawn into and shows it on
// repaint without drawing the scene again. The picture keeps the scene's fixed parts as a layer
// while the time runs, and only the part a drawing changed goes to the screen: on X11 straight
// from the picture's memory, elsewhere copied into the window's buffer first. It is the
// scene's host, so the engine measures its labels on this picture and lets queued events run
// through it. The state must outlive it.
class DrawingArea : public QWidget, public scene::SceneHost {
public:
    DrawingArea(scene::SceneState& state, QWidget* parent = nullptr);
    ~DrawingArea() override;

    scene::Canvas& screenCanvas() override;
    void processPendingEvents() override;
    // Only what the drawing changed is shown again.
    void screenCanvasDrawn() override { update(m_canvas->takeChanged()); }

    // Projects and draws the scene for the area's current size.
    void reprojectAndRedraw();
    const QImage& picture() const { return m_picture; }

    // Whether the picture goes to the screen from memory the window system reads itself.
    bool showsDirectly() const { return m_presenter != nullptr; }
    QPaintEngine* paintEngine() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void makePicture(QSize size);
    void stopShowingDirectly();

    scene::SceneState& m_state;
    // Outlives the picture it made, which is let go of first.
    std::unique_ptr<platform::ScreenPresenter> m_presenter;
    bool m_presenterTried = false;
    QImage m_picture;
    std::unique_ptr<platform::PainterCanvas> m_canvas;
    bool m_resizePending = false;
};

}  // namespace mainwindow
