// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window's "Export animation" command (toolbar button, Ctrl+M): a dialog chooses what moves,
// the frames, the rate, the size, the format and the file; the export runs with a progress
// dialog that shows the frames done and the time left and can be cancelled, while the window
// goes on; the window's own scene is copied, not moved.

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "commands/output_window.h"
#include "output/animation_export.h"
#include "output/animation_format.h"
#include "platform/services.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace commands {

struct AnimationChoice {
    output::AnimationDescription description;
    output::AnimationFormat format = output::AnimationFormat::Gif;
    QString path;
};

// What the dialog starts with.
struct AnimationDefaults {
    std::int32_t framesPerSecond = 50;  // the window's animation interval
    std::int32_t areaWidth = 800;       // the drawing area's size
    std::int32_t areaHeight = 600;
    QString folder;    // the documents folder
    QString baseName;  // the proposed file without extension
    common::TLanguage language = common::TLanguage::English;
};

class TFormExportAnimation : public QDialog {
public:
    TFormExportAnimation(const AnimationDefaults& defaults, platform::SaveDialogService& saveDialog,
                         QWidget* parent);
    AnimationChoice choice() const;

    // The sizes offered: the drawing area's, 1280 x 720, 1920 x 1080.
    static constexpr int SizeCount = 3;

private:
    void fillFrames();
    void followFormat();
    void chooseFile();

    AnimationDefaults m_defaults;
    platform::SaveDialogService& m_saveDialog;
    QComboBox* m_motion = nullptr;
    QComboBox* m_frames = nullptr;
    QSpinBox* m_rate = nullptr;
    QComboBox* m_size = nullptr;
    QComboBox* m_format = nullptr;
    QLineEdit* m_file = nullptr;
};

// How the export shows its progress; tests answer without a dialog.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void start(std::int32_t total, common::TLanguage language, QWidget* parent) = 0;
    // False when the user cancelled.
    virtual bool step(std::int32_t done, std::int32_t total) = 0;
    virtual void finish() = 0;
};

// A QProgressDialog with Cancel: frames done and the time left; the event loop runs between
// frames, so the window stays responsive.
class DialogExportProgress : public ExportProgress {
public:
    ~DialogExportProgress() override;
    void start(std::int32_t total, common::TLanguage language, QWidget* parent) override;
    bool step(std::int32_t done, std::int32_t total) override;
    void finish() override;

private:
    struct State;
    State* m_state = nullptr;
};

// The command. `ask` shows the dialog (empty: cancelled); the result of the export, or none when
// the dialog was cancelled. A failure is shown through the window.
using AskAnimationChoice = std::function<std::optional<AnimationChoice>(const AnimationDefaults&)>;
std::optional<output::AnimationResult> SpeedButtonExportAnimationOnClick(
    OutputWindow& window, const AskAnimationChoice& ask, ExportProgress& progress);

// The dialog's defaults for the window as it stands.
AnimationDefaults animationDefaults(OutputWindow& window);

}  // namespace commands
