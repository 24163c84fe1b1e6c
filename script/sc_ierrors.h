#pragma once

// Errors of the script engine and the texts of its compile-time messages.

#include "PelmoraError.h"

#include <QString>

// A failure while compiling or running a script; the message is the text the
// user sees. Pos is the position text ("line:column") when one is known.
class EscError : public EPelmoraError {
public:
    explicit EscError(QString message, QString pos = QString());
    const QString& Pos() const { return FPos; }

private:
    QString FPos;
};

// The message keys of the engine. The report's string table may replace the
// texts (scSetMessage) so that a translated table translates them.
enum class TscMessage {
    SLangNotFound, // "Language '%s' not found"
    SInvalidLanguage,
    SIdRedeclared,
    SUnknownType,
    SIncompatibleTypes,
    SIdUndeclared,
    SClassRequired,
    SIndexRequired,
    SStringError,
    SClassError, // "Class %s does not have a default property"
    SArrayRequired,
    SVarRequired,
    SNotEnoughParams,
    STooManyParams,
    SLeftCantAssigned,
    SForError,
    SEventError,
    SExprTooComplex,
};

QString scMessage(TscMessage id);
// Replaces the text of the message with that key ("SIdUndeclared", ...);
// false for an unknown key.
bool scSetMessage(const QString& key, const QString& text);
