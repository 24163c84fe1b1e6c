// A flat light look over Fusion: the pale button face, white fields, a blue
// highlight and thin frames. Only colours and a few metrics change, so the
// controls keep the pixel sizes the windows are laid out for.
#include "Windows10Style.h"

#include <QStyleFactory>

TWindows10Style::TWindows10Style()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
    setObjectName(QStringLiteral("Windows10"));
}

QPalette TWindows10Style::standardPalette() const
{
    const QColor face(240, 240, 240);
    const QColor text(0, 0, 0);
    QPalette p(text, face, Qt::white, QColor(160, 160, 160), QColor(160, 160, 160), text, Qt::white);
    p.setColor(QPalette::Button, QColor(225, 225, 225));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0, 120, 215));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, Qt::white);
    p.setColor(QPalette::ToolTipText, QColor(87, 87, 87));
    p.setColor(QPalette::Link, QColor(0, 0, 255));
    p.setColor(QPalette::AlternateBase, QColor(246, 246, 246));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(131, 131, 131));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(109, 109, 109));
    return p;
}

void TWindows10Style::polish(QPalette& palette)
{
    palette = standardPalette();
}

int TWindows10Style::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_DefaultFrameWidth:
    case PM_ComboBoxFrameWidth:
    case PM_SpinBoxFrameWidth:
        return 1; // thin frames leave room for text in 21-pixel boxes
    case PM_ButtonShiftHorizontal:
    case PM_ButtonShiftVertical:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int TWindows10Style::styleHint(
    StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const
{
    if (hint == SH_ToolTip_WakeUpDelay)
        return 500;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
