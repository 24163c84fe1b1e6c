// Text measuring tests depend on the font: they pin "Arial" to Liberation
// Sans (fonts-liberation2) and stop with a clear message when it is absent.
#pragma once

#include "rpGraphicUtils.h"

#include <QFontInfo>
#include <gtest/gtest.h>

inline void ExpectPinnedFonts()
{
    ASSERT_EQ(rpResolveFontFamily(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
    QFont f(QStringLiteral("Liberation Sans"));
    ASSERT_EQ(QFontInfo(f).family(), QStringLiteral("Liberation Sans"))
        << "Liberation Sans is not installed (package fonts-liberation2, listed by scripts/deps.sh)";
}
