#pragma once
// Fuzz body: a car-list file decoded, saved and read back.
#include <QByteArrayView>

void FuzzCarList(QByteArrayView input);
