#pragma once

// A ready scene measured and drawn as the window does (on a QImage), and fakes of the window and
// of the desktop services the output commands use.

#include <QByteArray>
#include <QImage>
#include <QMimeData>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "output/output_window.h"
#include "output/printing.h"
#include "output/services.h"
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

class FakeWindow : public output::OutputWindow {
public:
    explicit FakeWindow(scene::SceneState& s) : m_scene(s) { app.GraphFilePath = "/nowhere/"; }

    scene::SceneState& scene() override { return m_scene; }
    void setProgramState(output::TOutputState state) override { states.push_back(state); }
    common::TAppSettings& appSettings() override { return app; }
    common::TPrinterSettings& printerSettings() override { return printer; }
    std::string graphFileName() const override { return fileName; }
    void setGraphFileName(const std::string& path) override { fileName = path; }
    bool saveEnabled() const override { return saveButton; }
    void enableSave() override { saveButton = true; }
    QWidget* dialogParent() override { return nullptr; }
    void showError(const QString& message) override { errors.push_back(message); }

    output::TOutputState state() const
    {
        return states.empty() ? output::TOutputState::Idle : states.back();
    }

    common::TAppSettings app;
    common::TPrinterSettings printer;
    std::string fileName = "/nowhere/NoName";
    bool saveButton = false;
    std::vector<output::TOutputState> states;
    std::vector<QString> errors;

private:
    scene::SceneState& m_scene;
};

class FakeClipboard : public output::ClipboardService {
public:
    void setMimeData(std::unique_ptr<QMimeData> data) override { content = std::move(data); }
    std::unique_ptr<QMimeData> content;
};

class FakeSaveDialog : public output::SaveDialogService {
public:
    std::optional<output::SaveDialogChoice> run(const output::SaveDialogRequest& request,
                                                QWidget*) override
    {
        requests.push_back(request);
        return answer;
    }
    std::optional<output::SaveDialogChoice> answer;
    std::vector<output::SaveDialogRequest> requests;
};

class FakeAlerts : public output::AlertService {
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

// A print dialog that confirms or cancels, and may choose an orientation as the user would.
class FakePrintDialogs : public output::PrintDialogService {
public:
    bool print(output::PrinterDevice& device, QWidget*) override
    {
        ++shown;
        orientationShown = device.orientation();
        if (chooseOrientation) {
            device.setOrientation(*chooseOrientation);
        }
        return confirm;
    }
    bool pageSetup(output::PrinterDevice&, QWidget*) override { return false; }
    bool confirm = true;
    std::optional<std::uint8_t> chooseOrientation;
    int shown = 0;
    std::uint8_t orientationShown = 255;
};

// A printer with chosen device values per orientation that prints onto a picture.
class FakePrinterDevice : public output::PrinterDevice {
public:
    FakePrinterDevice(const output::TPrinterDeviceValues& portrait,
                      const output::TPrinterDeviceValues& landscape)
        : m_values{portrait, landscape}
    {
    }
    std::uint8_t orientation() const override { return m_orientation; }
    void setOrientation(std::uint8_t orientation) override
    {
        m_orientation = orientation == 0 ? 0 : 1;
    }
    output::TPrinterDeviceValues deviceValues() const override { return m_values[m_orientation]; }
    // The printable area of the current orientation, filled with `Unprinted` until a page comes.
    QPaintDevice& paintDevice() override
    {
        const output::TPrinterDeviceValues& v = m_values[m_orientation];
        page = QImage(std::max(v.HORZRES, 1), std::max(v.VERTRES, 1), QImage::Format_RGB32);
        page.fill(Unprinted);
        ++jobs;
        return page;
    }
    QString jobError() const override { return error; }

    static constexpr QRgb Unprinted = 0xFF123456;
    QImage page;
    int jobs = 0;
    QString error;

private:
    std::array<output::TPrinterDeviceValues, 2> m_values;
    std::uint8_t m_orientation = 1;
};

}  // namespace output_test
