// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fakes of the window and of the desktop services the window's commands use, on the scene of
// output_fixture.h.

#include <QMimeData>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/output_window.h"
#include "fake_printer_device.h"
#include "output_fixture.h"
#include "platform/services.h"

namespace output_test {

class FakeWindow : public commands::OutputWindow {
public:
    explicit FakeWindow(scene::SceneState& s) : m_scene(s) { app.GraphFilePath = "/nowhere/"; }

    scene::SceneState& scene() override { return m_scene; }
    void setProgramState(commands::TOutputState state) override { states.push_back(state); }
    common::TAppSettings& appSettings() override { return app; }
    common::TPrinterSettings& printerSettings() override { return printer; }
    std::string graphFileName() const override { return fileName; }
    void setGraphFileName(const std::string& path) override { fileName = path; }
    bool saveEnabled() const override { return saveButton; }
    void enableSave() override { saveButton = true; }
    QWidget* dialogParent() override { return nullptr; }
    void showError(const QString& message) override { errors.push_back(message); }

    commands::TOutputState state() const
    {
        return states.empty() ? commands::TOutputState::Idle : states.back();
    }

    common::TAppSettings app;
    common::TPrinterSettings printer;
    std::string fileName = "/nowhere/NoName";
    bool saveButton = false;
    std::vector<commands::TOutputState> states;
    std::vector<QString> errors;

private:
    scene::SceneState& m_scene;
};

class FakeClipboard : public platform::ClipboardService {
public:
    void setMimeData(std::unique_ptr<QMimeData> data) override { content = std::move(data); }
    std::unique_ptr<QMimeData> content;
};

class FakeSaveDialog : public platform::SaveDialogService {
public:
    std::optional<platform::SaveDialogChoice> run(const platform::SaveDialogRequest& request,
                                                  QWidget*) override
    {
        requests.push_back(request);
        return answer;
    }
    std::optional<platform::SaveDialogChoice> answer;
    std::vector<platform::SaveDialogRequest> requests;
};

class FakeAlerts : public platform::AlertService {
public:
    void beep() override { ++beeps; }
    void showError(QWidget*, const QString& message) override { errors.push_back(message); }
    void showWarning(QWidget*, const QString& message) override { warnings.push_back(message); }
    int beeps = 0;
    std::vector<QString> errors;
    std::vector<QString> warnings;
};

// A print dialog that confirms or cancels, and may choose an orientation as the user would.
class FakePrintDialogs : public platform::PrintDialogService {
public:
    bool print(platform::PrinterDevice& device, QWidget*) override
    {
        ++shown;
        orientationShown = device.orientation();
        if (chooseOrientation) {
            device.setOrientation(*chooseOrientation);
        }
        return confirm;
    }
    bool pageSetup(platform::PrinterDevice&, QWidget*) override { return false; }
    bool confirm = true;
    std::optional<std::uint8_t> chooseOrientation;
    int shown = 0;
    std::uint8_t orientationShown = 255;
};

}  // namespace output_test
