// The program's own flat visual style, registered as "Windows10".
#pragma once

#include <QProxyStyle>

class TWindows10Style : public QProxyStyle {
    Q_OBJECT
public:
    TWindows10Style();

    QPalette standardPalette() const override;
    void polish(QPalette& palette) override;
    using QProxyStyle::polish;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
        const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
        QStyleHintReturn* returnData = nullptr) const override;
};
