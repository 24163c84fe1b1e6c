// The engine's error class and its table of compile-time message texts.
// The table starts with the English texts and is written only when the
// report's string table is (re)loaded, on the user-interface thread.

#include "sc_ierrors.h"

#include <array>

EscError::EscError(QString message, QString pos)
    : EPelmoraError(std::move(message))
    , FPos(std::move(pos))
{
}

namespace {

struct Entry {
    const char* key;
    QString text;
};

std::array<Entry, 18>& Table()
{
    static std::array<Entry, 18> table { {
        { "SLangNotFound", QStringLiteral("Language '%s' not found") },
        { "SInvalidLanguage", QStringLiteral("Invalid language definition") },
        { "SIdRedeclared", QStringLiteral("Identifier redeclared: ") },
        { "SUnknownType", QStringLiteral("Unknown type: ") },
        { "SIncompatibleTypes", QStringLiteral("Incompatible types") },
        { "SIdUndeclared", QStringLiteral("Undeclared identifier: ") },
        { "SClassRequired", QStringLiteral("Class type required") },
        { "SIndexRequired", QStringLiteral("Index required") },
        { "SStringError", QStringLiteral("Strings do not have properties or methods") },
        { "SClassError", QStringLiteral("Class %s does not have a default property") },
        { "SArrayRequired", QStringLiteral("Array type required") },
        { "SVarRequired", QStringLiteral("Variable required") },
        { "SNotEnoughParams", QStringLiteral("Not enough actual parameters") },
        { "STooManyParams", QStringLiteral("Too many actual parameters") },
        { "SLeftCantAssigned", QStringLiteral("Left side cannot be assigned to") },
        { "SForError", QStringLiteral("For loop variable must be numeric variable") },
        { "SEventError", QStringLiteral("Event handler must be a procedure") },
        // Our own guard against input that would exhaust the stack.
        { "SExprTooComplex", QStringLiteral("Expression too complex") },
    } };
    return table;
}

} // namespace

QString scMessage(TscMessage id)
{
    return Table()[static_cast<size_t>(id)].text;
}

bool scSetMessage(const QString& key, const QString& text)
{
    for (Entry& e : Table()) {
        if (key == QLatin1String(e.key)) {
            e.text = text;
            return true;
        }
    }
    return false;
}
