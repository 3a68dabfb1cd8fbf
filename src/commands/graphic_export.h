// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The export commands of the main window: Copy (SpeedButtonCopy, the popup item, Ctrl+C), Save
// (Ctrl+S) and Save As (Ctrl+U).
//
//   commands::GraphicExport exportCommands(window, clipboard, saveDialog, alerts, primaryWidth);
//   form.onCopy = [&] { exportCommands.SpeedButtonCopyOnClick(commands::ExportSender::Copy); };
//   form.onSave = [&] { exportCommands.SpeedButtonSaveOnClick(); };
//   form.onSaveAs = [&] { exportCommands.SpeedButtonSaveAsOnClick(); };

#include <cstdint>
#include <memory>

#include "commands/output_window.h"
#include "platform/services.h"

namespace output {
class ExportPictures;
}

namespace commands {

// The control that invoked SpeedButtonCopyOnClick: SpeedButtonSave saves, anything else copies.
enum class ExportSender : std::uint8_t { Copy, Save };

class GraphicExport {
public:
    // primaryScreenWidthPixels: the width of the primary display alone, not of the desktop.
    GraphicExport(OutputWindow& window, platform::ClipboardService& clipboard,
                  platform::SaveDialogService& saveDialog, platform::AlertService& alerts,
                  std::int32_t primaryScreenWidthPixels);

    // Builds the vector picture and the bitmap; saves one of them to GraphFileName when the
    // sender is Save, else puts both on the clipboard. True when the file was written or the
    // clipboard filled; a failure has been shown.
    bool SpeedButtonCopyOnClick(ExportSender sender);
    // Saves again to the last confirmed file and type; only a beep before the first Save As.
    void SpeedButtonSaveOnClick();
    // SaveDialog, then a save; a cancelled dialog changes nothing.
    void SpeedButtonSaveAsOnClick();

    // What SaveDialog shows for the current settings and GraphFileName.
    platform::SaveDialogRequest saveDialogRequest() const;

private:
    OutputWindow& m_window;
    platform::ClipboardService& m_clipboard;
    platform::SaveDialogService& m_saveDialog;
    platform::AlertService& m_alerts;
    std::int32_t m_primaryScreenWidth;
};

// The clipboard content of one copy: the vector picture as image/svg+xml and image/emf, and the
// bitmap as image data.
std::unique_ptr<QMimeData> clipboardContent(const output::ExportPictures& pictures);

}  // namespace commands
