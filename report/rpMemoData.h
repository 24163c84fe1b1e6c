// Text helpers of memo expansion, shared with the aggregate registry.
#pragma once

#include "Variant.h"

#include <QString>
#include <functional>

// Finds the bracketed expression whose opening delimiter stands at Start
// (0-based). Delimiter pairs nest, and delimiters inside quoted text do not
// count. On success returns true, sets Expression to the text between the
// delimiters and End (output) to the index of the closing delimiter's last
// character. False when no opening delimiter stands at Start or it is never
// closed.
bool rpGetBracketedExpression(const QString& Text, const QString& Open, const QString& Close, qsizetype Start,
    qsizetype& End, QString& Expression);

// Text with every bracketed expression replaced by what Replace makes of
// its inside, scanning from left to right; what Replace returns is not
// scanned again. A bracketed part with nothing but blanks inside, or one
// that is never closed, stays as written.
QString rpReplaceBracketed(const QString& Text, const QString& Open, const QString& Close,
    const std::function<QString(const QString& Expression)>& Replace);

// Splits a memo's ExpressionDelimiters ("[,]") into its two halves; false
// when either is empty.
bool rpSplitDelimiters(const QString& Delimiters, QString& Open, QString& Close);

// The default text of a value: empty for Null, decimal digits for integers,
// the general form with up to 15 significant digits and the locale's decimal
// separator for floating values, "True"/"False", strings unchanged. A value
// with no text form (array, object) gives an empty text.
QString rpValueToText(const Variant& Value);
