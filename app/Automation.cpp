// Late-bound calls on automation objects and the table of servers by
// programmatic identifier. Invariant: implementations see member names in
// lower case only, so every lookup is case-insensitive by construction.
#include "Automation.h"

TAutomationRef TAutomationObject::CallMethod(const QString& name, const QList<Variant>& args)
{
    return Invoke(name.toLower(), TInvokeKind::Method, args);
}

TAutomationRef TAutomationObject::GetProperty(const QString& name, const QList<Variant>& args)
{
    return Invoke(name.toLower(), TInvokeKind::PropertyGet, args);
}

void TAutomationObject::PutProperty(const QString& name, const QList<Variant>& args, const Variant& value)
{
    QList<Variant> all = args;
    all << value;
    Invoke(name.toLower(), TInvokeKind::PropertyPut, all);
}

void TAutomationObject::UnknownMember(const QString& name)
{
    throw EAutomationError(QStringLiteral("Method '%1' not supported by automation object").arg(name));
}

void TAutomationObject::CheckArgCount(const QString& name, const QList<Variant>& args, int count)
{
    if (args.size() != count)
        throw EAutomationError(QStringLiteral("Invalid number of parameters for '%1'").arg(name));
}

int32_t TAutomationObject::IntegerArg(const QList<Variant>& args, int index)
{
    try {
        return args.at(index).AsInteger();
    } catch (const EPelmoraError&) {
        throw EAutomationError(QStringLiteral("Type mismatch"));
    }
}

void TAutomationServers::Register(const QString& progId, TFactory factory)
{
    FFactories.insert(progId.toLower(), std::move(factory));
}

TAutomationRef TAutomationServers::CreateOleObject(const QString& progId) const
{
    const auto found = FFactories.constFind(progId.toLower());
    if (found == FFactories.constEnd() || !*found)
        throw EAutomationError(QStringLiteral("Invalid class string"));
    return (*found)();
}
