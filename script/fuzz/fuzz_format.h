#pragma once
// Fuzz body: the picture formatters on one input.
#include <QByteArrayView>

void FuzzFormat(QByteArrayView input);
