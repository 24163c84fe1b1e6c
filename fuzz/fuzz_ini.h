#pragma once
// Fuzz body: a settings file read, one key written and the file read back.
#include <QByteArrayView>

void FuzzIni(QByteArrayView input);
