// A small late-bound object model in the manner of desktop automation: a
// program creates a server's application object by its programmatic
// identifier and then calls methods and gets and puts properties by name.
// Objects are shared: each holder keeps a reference, and an object goes when
// its last holder lets go of it.
#pragma once

#include "PelmoraError.h"
#include "Variant.h"

#include <QHash>
#include <functional>
#include <memory>

// A failed automation call: an unknown class or member, wrong arguments, or
// the server's own failure.
class EAutomationError : public EPelmoraError {
public:
    using EPelmoraError::EPelmoraError;
};

class TAutomationObject;
using TAutomationRef = std::shared_ptr<TAutomationObject>;

enum class TInvokeKind { Method, PropertyGet, PropertyPut };

class TAutomationObject {
public:
    virtual ~TAutomationObject() = default;

    // Member names are matched without regard to case. The result object is
    // nullptr for members that give none (or whose result is not an object).
    TAutomationRef CallMethod(const QString& name, const QList<Variant>& args = {});
    TAutomationRef GetProperty(const QString& name, const QList<Variant>& args = {});
    // The value is passed after the index arguments, as the last argument.
    void PutProperty(const QString& name, const QList<Variant>& args, const Variant& value);
    void PutProperty(const QString& name, const Variant& value) { PutProperty(name, {}, value); }

protected:
    // name is already lower-case. Throws EAutomationError.
    virtual TAutomationRef Invoke(const QString& name, TInvokeKind kind, const QList<Variant>& args) = 0;
    // For implementations: the failure for a member this object lacks.
    [[noreturn]] static void UnknownMember(const QString& name);
    // Checks the argument count and reads argument index as a 32-bit integer.
    static void CheckArgCount(const QString& name, const QList<Variant>& args, int count);
    static int32_t IntegerArg(const QList<Variant>& args, int index);
};

// The servers this program can create objects of, by programmatic
// identifier (compared without regard to case).
class TAutomationServers {
public:
    using TFactory = std::function<TAutomationRef()>;
    void Register(const QString& progId, TFactory factory);
    // Creates the server's application object. An identifier that no server
    // answers to fails with "Invalid class string".
    TAutomationRef CreateOleObject(const QString& progId) const;

private:
    QHash<QString, TFactory> FFactories; // lower-case identifier -> factory
};
