// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QWindow>

#include <memory>

namespace platform {

// Shows a picture on a native window from memory that the window system reads itself, instead
// of copying the picture into the toolkit's buffer first: on X11 a shared-memory segment. Where
// the window system offers no such way, create() answers null and the caller paints as usual.
class ScreenPresenter {
public:
    virtual ~ScreenPresenter() = default;
    static std::unique_ptr<ScreenPresenter> create(WId window);

    // A white picture of 32-bit pixels (QImage::Format_RGB32) in such memory; a null image
    // where none can be had. Only the latest picture made can be shown.
    virtual QImage makePicture(QSize deviceSize) = 0;
    // Shows these rectangles of the latest picture made, in device pixels, at the same place in
    // the window. False, showing nothing, for any other picture.
    virtual bool show(const QImage& picture, const QRegion& deviceRegion) = 0;
    // Returns once the window system has read all that was shown, so that the picture may
    // change; at once when nothing is outstanding.
    virtual void waitUntilShown() = 0;
};

}  // namespace platform
