// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls: how they are made, named and connected, and where they stand.

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

#include "mainwindow/drawing_area.h"
#include "mainwindow/form_main.h"
#include "mainwindow/glyphs.h"
#include "mainwindow/track_bar.h"
#include "mainwindow/up_down.h"

namespace mainwindow {

namespace {

constexpr int BottomRowHeight = 32;
constexpr int ButtonSize = 32;
constexpr int PanelImageLeft = 54;
constexpr int PanelImageTop = 2 + ToolbarButtonSize + 3;

QString angleText(int degrees)
{
    return (degrees > 0 ? QStringLiteral("+") : QString()) + QString::number(degrees) +
           QStringLiteral("°");
}

QLabel* tickLabel(const QString& text, QWidget* parent, bool transparent)
{
    auto* label = new QLabel(text, parent);
    // The layout leaves 22 pixels left of the elevation bar and about 120 under each amplitude
    // bar; a small face keeps "+90°" and "100" within them.
    QFont font = label->font();
    font.setPixelSize(10);
    label->setFont(font);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setAutoFillBackground(!transparent);
    label->adjustSize();
    return label;
}

}  // namespace

void TFormMain::createControls()
{
    const auto toolButton = [this](const char* name, const char* icon, bool checkable) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setCheckable(checkable);
        button->setAutoRaise(true);
        button->setIconSize(QSize(GlyphSize, GlyphSize));
        if (icon != nullptr) {
            button->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
        }
        return button;
    };
    SpeedButtonCopy = toolButton("SpeedButtonCopy", "copy.svg", false);
    SpeedButtonSave = toolButton("SpeedButtonSave", "save.svg", false);
    SpeedButtonSaveAs = toolButton("SpeedButtonSaveAs", "save-as.svg", false);
    SpeedButtonPrint = toolButton("SpeedButtonPrint", "print.svg", false);
    SpeedButtonCoordinateSystemCentered =
        toolButton("SpeedButtonCoordinateSystemCentered", nullptr, true);
    SpeedButtonShowHorizontalWave = toolButton("SpeedButtonShowHorizontalWave", nullptr, true);
    SpeedButtonShowVerticalWave = toolButton("SpeedButtonShowVerticalWave", nullptr, true);
    SpeedButtonShowResultantWave = toolButton("SpeedButtonShowResultantWave", nullptr, true);
    SpeedButtonShowResultantVector = toolButton("SpeedButtonShowResultantVector", nullptr, true);
    SpeedButtonRotateAzimuth = toolButton("SpeedButtonRotateAzimuth", "rotate.svg", true);
    SpeedButtonSettings = toolButton("SpeedButtonSettings", "settings.svg", false);
    SpeedButtonHelp = toolButton("SpeedButtonHelp", "help.svg", false);
    m_toolbar = {SpeedButtonCopy,
                 SpeedButtonSave,
                 SpeedButtonSaveAs,
                 SpeedButtonPrint,
                 SpeedButtonCoordinateSystemCentered,
                 SpeedButtonShowHorizontalWave,
                 SpeedButtonShowVerticalWave,
                 SpeedButtonShowResultantWave,
                 SpeedButtonShowResultantVector,
                 SpeedButtonRotateAzimuth,
                 SpeedButtonSettings,
                 SpeedButtonHelp};
    SpeedButtonSave->setEnabled(false);
    const std::pair<QToolButton*, int> showButtons[] = {{SpeedButtonShowHorizontalWave, 1},
                                                        {SpeedButtonShowVerticalWave, 2},
                                                        {SpeedButtonShowResultantWave, 3},
                                                        {SpeedButtonShowResultantVector, 4}};
    for (const auto& [button, tag] : showButtons) {
        button->setProperty("tag", tag);
        QToolButton* sender = button;
        connect(button, &QToolButton::clicked, this,
                [this, sender] { SpeedButtonShowWaveOnClick(sender); });
    }
    connect(SpeedButtonCoordinateSystemCentered, &QToolButton::clicked, this,
            [this] { SpeedButtonCoordinateSystemCenteredOnClick(); });
    connect(SpeedButtonRotateAzimuth, &QToolButton::clicked, this,
            [this] { SpeedButtonRotateAzimuthOnClick(); });
    connect(SpeedButtonCopy, &QToolButton::clicked, this, [this] { run(onCopy); });
    connect(SpeedButtonSave, &QToolButton::clicked, this, [this] { run(onSave); });
    connect(SpeedButtonSaveAs, &QToolButton::clicked, this, [this] { run(onSaveAs); });
    connect(SpeedButtonPrint, &QToolButton::clicked, this, [this] { run(onPrint); });
    connect(SpeedButtonSettings, &QToolButton::clicked, this, [this] { run(onSettings); });
    connect(SpeedButtonHelp, &QToolButton::clicked, this, [this] { startHelp(true); });

    PanelScale = new QLabel(this);
    PanelScale->setObjectName(QStringLiteral("PanelScale"));
    PanelScale->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelScale->setAlignment(Qt::AlignCenter);
    QFont bold = PanelScale->font();
    bold.setBold(true);
    PanelScale->setFont(bold);
    UpDownScale = new TUpDown(this);
    UpDownScale->setObjectName(QStringLiteral("UpDownScale"));
    UpDownScale->onClick = [this] { UpDownScaleOnClick(); };

    PanelImage = new QFrame(this);
    PanelImage->setObjectName(QStringLiteral("PanelImage"));
    PanelImage->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelImage->setLineWidth(1);
    PanelImage->setAutoFillBackground(true);
    QPalette white = PanelImage->palette();
    white.setColor(QPalette::Window, Qt::white);
    PanelImage->setPalette(white);
    Image = new DrawingArea(m_controller.scene(), PanelImage);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setCursor(Qt::OpenHandCursor);
    Image->setFocusPolicy(Qt::NoFocus);
    Image->setContextMenuPolicy(Qt::CustomContextMenu);
    Image->installEventFilter(this);

    PopupMenuImage = new QMenu(this);
    PopupMenuImage->setObjectName(QStringLiteral("PopupMenuImage"));
    QAction* copy = PopupMenuImage->addAction(QString());
    copy->setObjectName(QStringLiteral("PopupMenuImageCopy"));
    QAction* settings = PopupMenuImage->addAction(QString());
    settings->setObjectName(QStringLiteral("PopupMenuImageSettings"));
    connect(copy, &QAction::triggered, this, [this] { run(onCopy); });
    connect(settings, &QAction::triggered, this, [this] { run(onSettings); });
    connect(Image, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuImage->popup(Image->mapToGlobal(at)); });

    PanelTrackBarElevation = new QWidget(this);
    PanelTrackBarElevation->setObjectName(QStringLiteral("PanelTrackBarElevation"));
    const auto trackBar = [this](const char* name, Qt::Orientation orientation, int tag, int min,
                                 int max, int page, int ticks, int position, QWidget* parent) {
        auto* bar = new TTrackBar(orientation, tag, parent);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setRange(min, max);
        bar->setSingleStep(1);
        bar->setPageStep(page);
        bar->setTickInterval(ticks);
        bar->setTickPosition(orientation == Qt::Vertical ? QSlider::TicksLeft
                                                         : QSlider::TicksBelow);
        bar->setValue(position);
        return bar;
    };
    TrackBarElevation =
        trackBar("TrackBarElevation", Qt::Vertical, 2, -90, 90, 10, 10, 0, PanelTrackBarElevation);
    TrackBarAzimuth = trackBar("TrackBarAzimuth", Qt::Horizontal, 1, -180, 180, 10, 10, 0, this);
    TrackBarHorizontalAmplitude =
        trackBar("TrackBarHorizontalAmplitude", Qt::Horizontal, 1, 0, 100, 10, 10, 50, this);
    TrackBarVerticalAmplitude =
        trackBar("TrackBarVerticalAmplitude", Qt::Horizontal, 2, 0, 100, 10, 10, 50, this);
    TrackBarPhaseShift =
        trackBar("TrackBarPhaseShift", Qt::Horizontal, 3, -180, 180, 15, 15, 0, this);
    TrackBarTime = trackBar("TrackBarTime", Qt::Horizontal, 4, 0, 512, 32, 32, 0, this);
    for (TTrackBar* bar : {TrackBarAzimuth, TrackBarElevation}) {
        connect(bar, &QSlider::valueChanged, this,
                [this, bar] { TrackBarObservationAngleOnChange(bar); });
    }
    for (TTrackBar* bar : {TrackBarHorizontalAmplitude, TrackBarVerticalAmplitude}) {
        connect(bar, &QSlider::valueChanged, this, [this, bar] { TrackBarAmplitudeOnChange(bar); });
    }
    connect(TrackBarPhaseShift, &QSlider::valueChanged, this,
            [this] { TrackBarPhaseShiftOnChange(); });
    connect(TrackBarTime, &QSlider::valueChanged, this, [this] { TrackBarTimeOnChange(); });

    const auto bottomButton = [this](const char* name, const char* icon, bool checkable) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
        button->setCheckable(checkable);
        button->setAutoExclusive(checkable);
        button->setIcon(QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(icon)));
        button->setIconSize(QSize(24, 24));
        return button;
    };
    SpeedButtonStart = bottomButton("SpeedButtonStart", "start.svg", true);
    SpeedButtonPause = bottomButton("SpeedButtonPause", "pause.svg", true);
    BitBtnRewind = bottomButton("BitBtnRewind", "rewind.svg", false);
    SpeedButtonPause->setChecked(true);
    connect(SpeedButtonStart, &QToolButton::clicked, this, [this] { SpeedButtonStartOnClick(); });
    connect(SpeedButtonPause, &QToolButton::clicked, this, [this] { SpeedButtonPauseOnClick(); });
    connect(BitBtnRewind, &QToolButton::clicked, this, [this] { BitBtnRewindOnClick(); });
}

void TFormMain::createTickLabels()
{
    for (int i = -6; i <= 6; ++i) {
        m_azimuthTicks.push_back(tickLabel(angleText(30 * i), this, true));
    }
    for (int i = 0; i <= 6; ++i) {
        m_elevationTicks.push_back(
            tickLabel(angleText(90 - 30 * i), PanelTrackBarElevation, false));
    }
    for (auto* ticks : {&m_horizontalTicks, &m_verticalTicks}) {
        for (const char* text : {"0", "50", "100"}) {
            ticks->push_back(tickLabel(QString::fromLatin1(text), this, true));
        }
    }
    for (int i = -2; i <= 2; ++i) {
        m_phaseTicks.push_back(tickLabel(angleText(90 * i), this, true));
    }
    for (const char* text : {"0", "¼·T", "½·T", "¾·T", "T"}) {
        m_timeTicks.push_back(tickLabel(QString::fromUtf8(text), this, true));
    }
}

void TFormMain::layoutToolbar()
{
    for (std::size_t k = 0; k < m_toolbar.size(); ++k) {
        m_toolbar[k]->setGeometry(static_cast<int>(k) * ToolbarButtonSize, 2, ToolbarButtonSize,
                                  ToolbarButtonSize);
    }
    const int panelLeft = ToolbarButtonSize * 12 + 4;
    PanelScale->setGeometry(panelLeft, 2, 85, ToolbarButtonSize);
    UpDownScale->setGeometry(panelLeft + 85 + 1, 2, 20, ToolbarButtonSize);
}

void TFormMain::layoutBottomRows()
{
    const int clientWidth = width();
    const int clientHeight = height();
    m_bottomRowTop = clientHeight - m_labelHeight - BottomRowHeight;
    const int top = m_bottomRowTop;
    TrackBarHorizontalAmplitude->setGeometry(-4, top, 100 + 23, BottomRowHeight);
    TrackBarVerticalAmplitude->setGeometry(-4 + 123 + 2, top, 123, BottomRowHeight);
    const int phaseLeft = TrackBarVerticalAmplitude->geometry().right() + 1 + 4;
    TrackBarPhaseShift->setGeometry(phaseLeft, top, 360 + 23, BottomRowHeight);
    const int startLeft = TrackBarPhaseShift->geometry().right() + 1 + 4;
    SpeedButtonStart->setGeometry(startLeft, top, ButtonSize, ButtonSize);
    SpeedButtonPause->setGeometry(startLeft + ButtonSize, top, ButtonSize, ButtonSize);
    BitBtnRewind->setGeometry(startLeft + 2 * ButtonSize, top, ButtonSize, ButtonSize);
    const int timeLeft = startLeft + 3 * ButtonSize;
    TrackBarTime->setGeometry(timeLeft, top, clientWidth - timeLeft + 5, BottomRowHeight);

    const int panelWidth = clientWidth - PanelImageLeft - 2;
    const int azimuthTop = clientHeight - 2 * m_labelHeight - 36 - 30;
    TrackBarAzimuth->setGeometry(47, azimuthTop, panelWidth + 22, 30);
    const int panelHeight = std::max(0, azimuthTop - PanelImageTop - 1);
    PanelImage->setGeometry(PanelImageLeft, PanelImageTop, panelWidth, panelHeight);
    Image->setGeometry(PanelImage->contentsRect());
    PanelTrackBarElevation->setGeometry(0, 26, 52, std::max(0, m_bottomRowTop - 26));
    TrackBarElevation->setGeometry(22, 0, 30, std::max(0, panelHeight - 8 + 22));
    placeTickLabels(true);
}

void TFormMain::placeTickLabels(bool all)
{
    const int clientWidth = width();
    const int clientHeight = height();
    // Labels stand under the thumb's centre for their value, where the style draws it.
    const auto under = [](TTrackBar* bar, int value) { return bar->x() + bar->valuePixel(value); };
    const int azimuthTop = clientHeight - 2 * m_labelHeight - 36;
    for (int i = -6; i <= 6; ++i) {
        QLabel* label = m_azimuthTicks[static_cast<std::size_t>(i + 6)];
        const int w = label->width();
        const int left = std::min(under(TrackBarAzimuth, 30 * i) - w / 2, clientWidth - w);
        label->move(left + (i == 0 ? 2 : 0), azimuthTop);
    }
    for (int i = 0; i <= 6; ++i) {
        QLabel* label = m_elevationTicks[static_cast<std::size_t>(i)];
        const int centre = TrackBarElevation->y() + TrackBarElevation->valuePixel(-90 + 30 * i);
        // Right-aligned to the bar, but never pushed out of the column.
        label->move(std::max(0, TrackBarElevation->x() - label->width()),
                    centre - m_labelHeight / 2);
    }
    const int rowTop = clientHeight - m_labelHeight;
    for (int i = 0; i <= 4; ++i) {
        QLabel* label = m_timeTicks[static_cast<std::size_t>(i)];
        label->move(under(TrackBarTime, 128 * i) - label->width() / 2, rowTop);
    }
    if (!all) {
        return;
    }
    for (const auto& [bar, ticks] : {std::pair{TrackBarHorizontalAmplitude, &m_horizontalTicks},
                                     std::pair{TrackBarVerticalAmplitude, &m_verticalTicks}}) {
        for (int i = 0; i <= 2; ++i) {
            QLabel* label = (*ticks)[static_cast<std::size_t>(i)];
            label->move(under(bar, 50 * i) - label->width() / 2, rowTop);
        }
    }
    for (int i = -2; i <= 2; ++i) {
        QLabel* label = m_phaseTicks[static_cast<std::size_t>(i + 2)];
        label->move(under(TrackBarPhaseShift, 90 * i) - label->width() / 2 + (i == 0 ? 2 : 0),
                    rowTop);
    }
}

}  // namespace mainwindow
