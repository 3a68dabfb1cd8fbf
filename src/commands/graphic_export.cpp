// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/graphic_export.h"

#include <QFileInfo>
#include <QMimeData>

#include "common/texts.h"
#include "output/export_formats.h"
#include "output/export_pictures.h"

namespace commands {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString saveFailure(common::TLanguage language, const QString& path, const QString& reason)
{
    return QString::fromStdString(common::messageText(common::TMessage::GraphicNotSaved, language,
                                                      {path.toStdString(), reason.toStdString()}));
}

}  // namespace

std::unique_ptr<QMimeData> clipboardContent(const output::ExportPictures& pictures)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("image/svg+xml"), pictures.svg());
    data->setData(QStringLiteral("image/emf"), pictures.emf());
    data->setImageData(pictures.bitmap());
    return data;
}

GraphicExport::GraphicExport(OutputWindow& window, platform::ClipboardService& clipboard,
                             platform::SaveDialogService& saveDialog,
                             platform::AlertService& alerts, std::int32_t primaryScreenWidthPixels)
    : m_window(window),
      m_clipboard(clipboard),
      m_saveDialog(saveDialog),
      m_alerts(alerts),
      m_primaryScreenWidth(primaryScreenWidthPixels)
{
}

bool GraphicExport::SpeedButtonCopyOnClick(ExportSender sender)
{
    m_window.setProgramState(TOutputState::Copying);
    bool delivered = true;
    {
        const output::ExportPictures pictures(m_window.scene(), m_primaryScreenWidth);
        if (sender == ExportSender::Save) {
            // The type alone decides the content, whatever the name's extension says.
            const output::GraphicExporter* exporter =
                output::exporterForType(m_window.appSettings().GraphFileType);
            if (exporter == nullptr) {
                exporter = output::exporterForType(1);
            }
            const QString path = QString::fromStdString(m_window.graphFileName());
            const common::TLanguage language = m_window.appSettings().Language;
            QString error;
            delivered = output::savePicture(*exporter, pictures, path, language, error);
            if (!delivered) {
                m_window.showError(saveFailure(language, path, error));
            }
        } else {
            m_clipboard.setMimeData(clipboardContent(pictures));
        }
    }
    m_window.setProgramState(TOutputState::Idle);
    return delivered;
}

void GraphicExport::SpeedButtonSaveOnClick()
{
    if (!m_window.saveEnabled()) {
        m_alerts.beep();
        return;
    }
    m_window.setProgramState(TOutputState::Saving);
    SpeedButtonCopyOnClick(ExportSender::Save);
    m_window.setProgramState(TOutputState::Idle);
}

platform::SaveDialogRequest GraphicExport::saveDialogRequest() const
{
    const common::TAppSettings& app = m_window.appSettings();
    platform::SaveDialogRequest request;
    request.title =
        fromUtf8(common::formMainText("SaveDialog", common::TTextProperty::Title, app.Language));
    request.folder = QString::fromStdString(app.GraphFilePath);
    request.fileName = QString::fromStdString(m_window.graphFileName());
    for (const auto& exporter : output::graphicExporters()) {
        request.filters.append(exporter->filter());
        request.extensions.append(exporter->extension());
    }
    request.type = output::exporterForType(app.GraphFileType) != nullptr ? app.GraphFileType : 1;
    return request;
}

void GraphicExport::SpeedButtonSaveAsOnClick()
{
    m_window.setProgramState(TOutputState::Saving);
    const std::optional<platform::SaveDialogChoice> choice =
        m_saveDialog.run(saveDialogRequest(), m_window.dialogParent());
    if (choice && output::exporterForType(choice->type) != nullptr) {
        const QFileInfo chosen(choice->path);
        m_window.setGraphFileName(chosen.absoluteFilePath().toStdString());
        common::TAppSettings& app = m_window.appSettings();
        app.GraphFilePath = chosen.absolutePath().toStdString();
        if (app.GraphFilePath.empty() || app.GraphFilePath.back() != '/') {
            app.GraphFilePath += '/';
        }
        app.GraphFileType = choice->type;
        if (SpeedButtonCopyOnClick(ExportSender::Save)) {
            m_window.enableSave();
        }
    }
    m_window.setProgramState(TOutputState::Idle);
}

}  // namespace commands
