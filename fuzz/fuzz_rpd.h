#pragma once
// Fuzz body: a prepared-report file loaded into a store that holds a report.
#include <QByteArrayView>

void FuzzRpd(QByteArrayView input);
