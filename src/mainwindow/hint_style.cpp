// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/hint_style.h"

#include <QApplication>
#include <QBasicTimer>
#include <QCursor>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QTimerEvent>
#include <QToolTip>
#include <QWidget>

#include "common/texts.h"

namespace mainwindow {

namespace {

class HintTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override
    {
        switch (hint) {
            case SH_ToolTip_WakeUpDelay:
                return 250;
            case SH_ToolTip_FallAsleepDelay:
                return 10;
            default:
                return QProxyStyle::styleHint(hint, option, widget, data);
        }
    }
};

// The toolkit shows a widget's hint for 10 s, and while one is showing it still waits 250 ms
// (or, within the fall-asleep time, a fixed 20 ms) before the next control's hint. This filter
// shows every widget's own hint for HintHideMilliseconds, and asks for the next control's hint
// HintSwitchMilliseconds after the pointer enters it while a hint is up.
class HintTimingFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
            case QEvent::ToolTip:
                return showOwnHint(watched, static_cast<QHelpEvent*>(event));
            case QEvent::Enter:
                if (auto* widget = qobject_cast<QWidget*>(watched);
                    widget != nullptr && !widget->isWindow() && QToolTip::isVisible()) {
                    // The innermost widget entered comes last.
                    m_next = widget;
                    const auto* enter = dynamic_cast<QEnterEvent*>(event);
                    m_nextAt =
                        enter != nullptr ? enter->globalPosition().toPoint() : QCursor::pos();
                    m_switch.start(HintSwitchMilliseconds, this);
                }
                break;
            case QEvent::MouseMove:
                if (m_switch.isActive() && watched == m_next) {
                    m_nextAt = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
                }
                break;
            case QEvent::Leave:
                if (watched == m_next) {
                    m_switch.stop();
                }
                break;
            default:
                break;
        }
        return false;
    }

protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() != m_switch.timerId()) {
            QObject::timerEvent(event);
            return;
        }
        m_switch.stop();
        if (m_next != nullptr && QToolTip::isVisible()) {
            // Goes up the parents as the toolkit's own hint request does, so a part of a
            // control (a spin box's text field) shows the control's hint.
            QHelpEvent request(QEvent::ToolTip, m_next->mapFromGlobal(m_nextAt), m_nextAt);
            QApplication::sendEvent(m_next, &request);
        }
    }

private:
    static bool showOwnHint(QObject* watched, QHelpEvent* event)
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->toolTip().isEmpty()) {
            return false;  // its own handling, or on to its parent
        }
        // Shown again for the same widget and text, the hint keeps its time.
        QToolTip::showText(event->globalPos(), widget->toolTip(), widget, QRect(),
                           HintHideMilliseconds);
        event->accept();
        return true;
    }

    QBasicTimer m_switch;
    QPointer<QWidget> m_next;
    QPoint m_nextAt;
};

}  // namespace

void installHintTimings()
{
    QApplication::setStyle(new HintTimingStyle(QApplication::style()->name()));
    qApp->installEventFilter(new HintTimingFilter(qApp));
}

QString trackBarHint(std::string_view trackBar, int position, common::TLanguage language)
{
    return QString::fromStdString(common::trackBarHintText(trackBar, position, language));
}

}  // namespace mainwindow
