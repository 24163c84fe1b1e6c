// The program's exception base. Invariant: an error owns its inner error
// (shared, immutable), so a chain can be copied and rethrown freely and the
// innermost message is always reachable.
#include "PelmoraError.h"

EPelmoraError::EPelmoraError(QString message)
    : FMessage(std::move(message))
    , FUtf8(FMessage.toUtf8())
{
}

EPelmoraError::EPelmoraError(QString message, const EPelmoraError& inner)
    : FMessage(std::move(message))
    , FUtf8(FMessage.toUtf8())
    , FInner(std::make_shared<const EPelmoraError>(inner))
{
}

const QString& EPelmoraError::InnermostMessage() const
{
    const EPelmoraError* e = this;
    while (e->FInner)
        e = e->FInner.get();
    return e->FMessage;
}
