#pragma once
// Fuzz body: the object serializer reading and writing a report from one input.
#include <QByteArrayView>

void FuzzSerializer(QByteArrayView input);
