// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/animation_export_command.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

#include "common/animation_texts.h"
#include "common/texts.h"
#include "platform/qt_services.h"

namespace commands {

namespace {

using common::TLanguage;
using common::TTextProperty;

QString text(const char* control, TTextProperty property, TLanguage language)
{
    const std::string_view t = common::formMainText(control, property, language);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

QString caption(const char* control, TLanguage language)
{
    return text(control, TTextProperty::Caption, language);
}

}  // namespace

// --- The dialog ----------------------------------------------------------------------------------

TFormExportAnimation::TFormExportAnimation(const AnimationDefaults& defaults,
                                           platform::SaveDialogService& saveDialog, QWidget* parent)
    : QDialog(parent), m_defaults(defaults), m_saveDialog(saveDialog)
{
    const TLanguage language = defaults.language;
    setObjectName(QStringLiteral("FormExportAnimation"));
    setWindowTitle(caption("FormExportAnimation", language));
    auto* form = new QFormLayout;

    m_motion = new QComboBox(this);
    m_motion->setObjectName(QStringLiteral("ComboBoxAnimationMotion"));
    m_motion->addItem(QString::fromStdString(
        common::animationText(common::TAnimationText::MotionTime, language)));
    m_motion->addItem(QString::fromStdString(
        common::animationText(common::TAnimationText::MotionAzimuth, language)));
    form->addRow(caption("LabelAnimationMotion", language), m_motion);

    m_frames = new QComboBox(this);
    m_frames->setObjectName(QStringLiteral("ComboBoxAnimationFrames"));
    form->addRow(caption("LabelAnimationFrames", language), m_frames);

    m_rate = new QSpinBox(this);
    m_rate->setObjectName(QStringLiteral("SpinEditAnimationRate"));
    m_rate->setRange(output::MinFramesPerSecond, output::MaxFramesPerSecond);
    m_rate->setValue(defaults.framesPerSecond);
    form->addRow(caption("LabelAnimationRate", language), m_rate);

    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("ComboBoxAnimationSize"));
    m_size->addItem(caption("AnimationSizeDrawingArea", language)
                        .arg(defaults.areaWidth)
                        .arg(defaults.areaHeight));
    m_size->addItem(QStringLiteral("1280 × 720"));
    m_size->addItem(QStringLiteral("1920 × 1080"));
    form->addRow(caption("LabelAnimationSize", language), m_size);

    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("ComboBoxAnimationFormat"));
    for (const auto& exporter : output::animationExporters()) {
        m_format->addItem(exporter->name(language));
    }
    form->addRow(caption("LabelAnimationFormat", language), m_format);

    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("EditAnimationFile"));
    m_file->setText(QDir(defaults.folder).filePath(defaults.baseName + QStringLiteral(".gif")));
    auto* browse = new QPushButton(caption("ButtonAnimationFile", language), this);
    browse->setObjectName(QStringLiteral("ButtonAnimationFile"));
    browse->setAutoDefault(false);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    form->addRow(caption("LabelAnimationFile", language), fileRow);

    auto* notes = new QLabel(this);
    notes->setObjectName(QStringLiteral("LabelAnimationNotes"));
    notes->setWordWrap(true);
    form->addRow(notes);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(caption("ButtonAnimationExport", language));
    buttons->button(QDialogButtonBox::Cancel)->setText(caption("ButtonAnimationCancel", language));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    const auto showNotes = [this, notes] {
        const AnimationChoice c = choice();
        QStringList lines;
        for (const std::string& line : output::planNotes(
                 output::planAnimation(c.format, c.description), m_defaults.language)) {
            lines.push_back(QString::fromStdString(line));
        }
        const output::AnimationExporter& exporter = output::animationExporterFor(c.format);
        if (!exporter.available()) {
            lines.push_back(QString::fromStdString(common::animationText(
                common::TAnimationText::EncoderUnavailable, m_defaults.language,
                {exporter.encoderName().toStdString()})));
        }
        notes->setText(lines.join(QLatin1Char('\n')));
        notes->setVisible(!lines.isEmpty());
    };
    connect(m_motion, &QComboBox::currentIndexChanged, this, [this, showNotes] {
        fillFrames();
        showNotes();
    });
    connect(m_format, &QComboBox::currentIndexChanged, this, [this, showNotes] {
        followFormat();
        showNotes();
    });
    connect(m_rate, &QSpinBox::valueChanged, this, showNotes);
    connect(m_size, &QComboBox::currentIndexChanged, this, showNotes);
    connect(browse, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fillFrames();
    showNotes();
}

void TFormExportAnimation::fillFrames()
{
    const auto motion = m_motion->currentIndex() == 1 ? output::AnimationMotion::Azimuth
                                                      : output::AnimationMotion::Time;
    m_frames->clear();
    for (const std::int32_t count : output::frameCounts(motion)) {
        m_frames->addItem(QString::number(count), count);
    }
}

void TFormExportAnimation::followFormat()
{
    const QString extension =
        output::animationExporters()[static_cast<std::size_t>(m_format->currentIndex())]
            ->extension();
    m_file->setText(platform::changeExtension(m_file->text(), extension));
}

void TFormExportAnimation::chooseFile()
{
    platform::SaveDialogRequest request;
    request.title = windowTitle();
    const QFileInfo current(m_file->text());
    request.folder = current.absolutePath();
    request.fileName = current.fileName();
    for (const auto& exporter : output::animationExporters()) {
        request.filters.push_back(exporter->filter(m_defaults.language));
        request.extensions.push_back(exporter->extension());
    }
    request.type = m_format->currentIndex() + 1;
    if (const std::optional<platform::SaveDialogChoice> chosen = m_saveDialog.run(request, this)) {
        m_format->setCurrentIndex(chosen->type - 1);  // the type decides the extension
        m_file->setText(
            platform::changeExtension(chosen->path, request.extensions[chosen->type - 1]));
    }
}

AnimationChoice TFormExportAnimation::choice() const
{
    AnimationChoice c;
    c.description.motion = m_motion->currentIndex() == 1 ? output::AnimationMotion::Azimuth
                                                         : output::AnimationMotion::Time;
    c.description.frames = m_frames->currentData().toInt();
    c.description.framesPerSecond = m_rate->value();
    switch (m_size->currentIndex()) {
        case 1:
            c.description.width = 1280;
            c.description.height = 720;
            break;
        case 2:
            c.description.width = 1920;
            c.description.height = 1080;
            break;
        default:
            c.description.width = m_defaults.areaWidth;
            c.description.height = m_defaults.areaHeight;
            break;
    }
    c.format =
        output::animationExporters()[static_cast<std::size_t>(m_format->currentIndex())]->format();
    c.path = m_file->text();
    return c;
}

// --- Progress ------------------------------------------------------------------------------------

struct DialogExportProgress::State {
    QProgressDialog dialog;
    QElapsedTimer clock;
    TLanguage language = TLanguage::English;
    explicit State(QWidget* parent) : dialog(parent) {}
};

DialogExportProgress::~DialogExportProgress()
{
    delete m_state;
}

void DialogExportProgress::start(std::int32_t total, TLanguage language, QWidget* parent)
{
    delete m_state;
    m_state = new State(parent);
    m_state->language = language;
    QProgressDialog& dialog = m_state->dialog;
    dialog.setObjectName(QStringLiteral("ProgressAnimation"));
    dialog.setWindowTitle(caption("FormExportAnimation", language));
    dialog.setCancelButtonText(caption("ButtonAnimationCancel", language));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setRange(0, total);
    dialog.setValue(0);
    m_state->clock.start();
}

bool DialogExportProgress::step(std::int32_t done, std::int32_t total)
{
    QProgressDialog& dialog = m_state->dialog;
    QString label = QString::fromStdString(
        common::animationText(common::TAnimationText::Progress, m_state->language,
                              {std::to_string(done), std::to_string(total)}));
    if (done > 0) {
        const double perFrame = static_cast<double>(m_state->clock.elapsed()) / done;
        const auto left = static_cast<long long>(std::ceil(perFrame * (total - done) / 1000.0));
        label += QStringLiteral(", ") + QString::fromStdString(common::messageText(
                                            common::TMessage::AnimationTimeLeft, m_state->language,
                                            {std::to_string(left)}));
    }
    dialog.setLabelText(label);
    dialog.setValue(done);
    // The window and its animation go on between the frames.
    QCoreApplication::processEvents();
    return !dialog.wasCanceled();
}

void DialogExportProgress::finish()
{
    if (m_state != nullptr) {
        m_state->dialog.reset();
    }
    delete m_state;
    m_state = nullptr;
}

// --- The command ---------------------------------------------------------------------------------

AnimationDefaults animationDefaults(OutputWindow& window)
{
    AnimationDefaults d;
    const common::TAppSettings& app = window.appSettings();
    d.framesPerSecond = output::framesPerSecondOf(app.AnimationTimeInterval);
    const scene::SceneState& s = window.scene();
    d.areaWidth = std::max(1, s.DrawWidth);
    d.areaHeight = std::max(1, s.DrawHeight);
    d.folder = QString::fromStdString(app.GraphFilePath);
    d.baseName = caption("AnimationFileName", app.Language);
    d.language = app.Language;
    return d;
}

std::optional<output::AnimationResult> SpeedButtonExportAnimationOnClick(
    OutputWindow& window, const AskAnimationChoice& ask, ExportProgress& progress)
{
    const AnimationDefaults defaults = animationDefaults(window);
    const std::optional<AnimationChoice> chosen = ask(defaults);
    if (!chosen) {
        return std::nullopt;
    }
    window.setProgramState(TOutputState::Saving);
    const output::AnimationExporter& exporter = output::animationExporterFor(chosen->format);
    progress.start(chosen->description.frames, defaults.language, window.dialogParent());
    const output::AnimationResult result = output::exportAnimation(
        exporter, window.scene(), chosen->description, chosen->path, defaults.language,
        [&progress](std::int32_t done, std::int32_t total) { return progress.step(done, total); });
    progress.finish();
    window.setProgramState(TOutputState::Idle);
    if (result.outcome == output::AnimationOutcome::Failed) {
        window.showError(result.error);
    }
    return result;
}

}  // namespace commands
