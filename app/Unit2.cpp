// The car-list editor window: a small fixed window with only a close box.
// Its text area and save button are added with the car-list editing.
#include "Unit2.h"

TForm2::TForm2()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    QFont font;
    font.setFamilies({ QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans") });
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(185, 179);
}
