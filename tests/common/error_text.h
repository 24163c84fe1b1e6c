// The message of the error a call raises, for tests that check failure texts.
#pragma once

#include "PelmoraError.h"

#include <QString>
#include <functional>

// The message of the EPelmoraError F throws, or "<no error>".
inline QString ErrorOf(const std::function<void()>& F)
{
    try {
        F();
    } catch (const EPelmoraError& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}
