#pragma once
// Fuzz body: the picture cache's stored form read from one input.
#include <QByteArrayView>

void FuzzPictureCache(QByteArrayView input);
