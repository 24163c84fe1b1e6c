#pragma once
// Fuzz body: one input compiled and run by the script engine.
#include <QByteArrayView>

void FuzzScript(QByteArrayView input);
