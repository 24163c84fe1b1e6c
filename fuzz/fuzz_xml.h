#pragma once
// Fuzz body: the XML reader and writer on one input.
#include <QByteArrayView>

void FuzzXml(QByteArrayView input);
