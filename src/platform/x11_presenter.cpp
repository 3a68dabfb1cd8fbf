// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/screen_presenter.h"

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractEventDispatcher>
#include <QGuiApplication>

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

template <typename T>
struct FreeReply {
    void operator()(T* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply<T>>;

// What the picture's memory needs when the last image over it goes, which may be after the
// presenter: the server lets go of the segment, then the program does.
struct Segment {
    xcb_connection_t* connection = nullptr;
    xcb_shm_seg_t id = 0;
    void* address = nullptr;
};

void releaseSegment(void* info)
{
    auto* segment = static_cast<Segment*>(info);
    xcb_shm_detach(segment->connection, segment->id);
    xcb_flush(segment->connection);
    shmdt(segment->address);
    delete segment;
}

// The window's pixels must be the picture's words as they are: 32 bits each in the processor's
// order, 0x00RRGGBB, which is what a depth of 24 on a little-endian server has.
bool takesPictureWords(xcb_connection_t* c, xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    const Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    if (!geometry || !attributes || geometry->depth != 24) {
        return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    bool thirtyTwoBits = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
        if (f.data->depth == 24) {
            thirtyTwoBits = f.data->bits_per_pixel == 32;
        }
    }
    if (!thirtyTwoBits) {
        return false;
    }
    for (auto s = xcb_setup_roots_iterator(setup); s.rem > 0; xcb_screen_next(&s)) {
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0; xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == attributes->visual) {
                    return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                           v.data->red_mask == 0xFF0000u && v.data->green_mask == 0x00FF00u &&
                           v.data->blue_mask == 0x0000FFu;
                }
            }
        }
    }
    return false;
}

class X11Presenter final : public ScreenPresenter {
public:
    X11Presenter(xcb_connection_t* connection, xcb_window_t window)
        : m_connection(connection), m_window(window), m_gc(xcb_generate_id(connection))
    {
        const std::uint32_t noExposures = 0;
        xcb_create_gc(m_connection, m_gc, m_window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
            m_flushBeforeWaiting =
                QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                 [connection] { xcb_flush(connection); });
        }
    }
    ~X11Presenter() override
    {
        QObject::disconnect(m_flushBeforeWaiting);
        waitUntilShown();
        xcb_free_gc(m_connection, m_gc);
        xcb_flush(m_connection);
    }

    QImage makePicture(QSize deviceSize) override
    {
        waitUntilShown();
        m_bits = nullptr;
        if (deviceSize.isEmpty() || deviceSize.width() > 32767 || deviceSize.height() > 32767) {
            return QImage();
        }
        const auto bytesPerLine = static_cast<std::size_t>(deviceSize.width()) * 4;
        const std::size_t bytes = bytesPerLine * static_cast<std::size_t>(deviceSize.height());
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0) {
            return QImage();
        }
        void* address = shmat(id, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            shmctl(id, IPC_RMID, nullptr);
            return QImage();
        }
        auto* segment = new Segment{m_connection, xcb_generate_id(m_connection), address};
        const Reply<xcb_generic_error_t> error(xcb_request_check(
            m_connection,
            xcb_shm_attach_checked(m_connection, segment->id, static_cast<std::uint32_t>(id), 1)));
        // Gone once both sides let go; the server holds it from here on.
        shmctl(id, IPC_RMID, nullptr);
        if (error) {
            shmdt(address);
            delete segment;
            return QImage();
        }
        std::memset(address, 0xFF, bytes);
        QImage picture(static_cast<uchar*>(address), deviceSize.width(), deviceSize.height(),
                       static_cast<qsizetype>(bytesPerLine), QImage::Format_RGB32, releaseSegment,
                       segment);
        m_bits = picture.constBits();
        m_segment = segment->id;
        m_size = deviceSize;
        return picture;
    }

    bool show(const QImage& picture, const QRegion& deviceRegion) override
    {
        if (m_bits == nullptr || picture.constBits() != m_bits || picture.size() != m_size) {
            return false;
        }
        const QRect all(QPoint(0, 0), m_size);
        for (const QRect& rect : deviceRegion) {
            const QRect r = rect.intersected(all);
            if (r.isEmpty()) {
                continue;
            }
            m_lastPut = xcb_shm_put_image(
                m_connection, m_window, m_gc, static_cast<std::uint16_t>(m_size.width()),
                static_cast<std::uint16_t>(m_size.height()), static_cast<std::uint16_t>(r.x()),
                static_cast<std::uint16_t>(r.y()), static_cast<std::uint16_t>(r.width()),
                static_cast<std::uint16_t>(r.height()), static_cast<std::int16_t>(r.x()),
                static_cast<std::int16_t>(r.y()), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, m_segment, 0);
            m_outstanding = true;
        }
        // Not flushed here: the rectangles go with Qt's next request on the same step (its
        // backing store asks the server before painting the time bar) in one write, or at the
        // latest when the event loop is about to wait.
        return true;
    }

    void waitUntilShown() override
    {
        if (!m_outstanding) {
            return;
        }
        // Requests are answered in order: once a later one is, the server has read the pictures.
        // Qt's backing store usually asks one after them on the same step, before it paints the
        // time bar; then this returns at once. Otherwise it sends one and waits for the answer.
        // An error of the unchecked request went to Qt's event queue; none comes back here.
        std::free(xcb_request_check(m_connection, m_lastPut));
        m_outstanding = false;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_window;
    xcb_gcontext_t m_gc;
    const uchar* m_bits = nullptr;
    xcb_shm_seg_t m_segment = 0;
    QSize m_size;
    bool m_outstanding = false;
    xcb_void_cookie_t m_lastPut{};
    QMetaObject::Connection m_flushBeforeWaiting;
};

}  // namespace

std::unique_ptr<ScreenPresenter> ScreenPresenter::create(WId window)
{
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
    if (c == nullptr || window == 0) {
        return nullptr;
    }
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    if (shm == nullptr || !shm->present) {
        return nullptr;
    }
    const Reply<xcb_shm_query_version_reply_t> version(
        xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr));
    const auto id = static_cast<xcb_window_t>(window);
    if (!version || !takesPictureWords(c, id)) {
        return nullptr;
    }
    return std::make_unique<X11Presenter>(c, id);
}

}  // namespace platform
