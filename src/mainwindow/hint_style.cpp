#include "mainwindow/hint_style.h"

#include <QApplication>
#include <QProxyStyle>

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

}  // namespace

void installHintTimings()
{
    QApplication::setStyle(new HintTimingStyle(QApplication::style()->name()));
}

}  // namespace mainwindow
