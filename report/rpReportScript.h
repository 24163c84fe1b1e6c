// What a report keeps for evaluating expressions: its script, the cache of
// compiled expressions, and the handles through which the script holds
// report objects.
#pragma once

#include "rpExpressionCache.h"
#include "sc_iinterpreter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>
#include <vector>

class TrpComponent;

// The script keeps objects as QObject pointers and report objects are not
// QObjects: each object the report binds gets one of these, pointing back to
// it. A handle outlives its object when the object is destroyed first, so the
// report trusts Target only while its name still leads to it. Once the object
// has left the report, preparing again may hand the handle to another object.
class TrpScriptObject : public QObject {
public:
    TrpScriptObject(TrpComponent* ATarget, const QString& AName)
        : Target(ATarget)
        , Name(AName)
    {
    }

    TrpComponent* Target; // never dereferenced without the name check
    QString Name; // the name Target had when last bound
};

class TrpReportScript {
public:
    // The script receives the standard library here.
    TrpReportScript();

    // Declared in this order so that the cache, whose script has the report's
    // as its parent, goes first.
    std::unique_ptr<TscScript> Script;
    std::unique_ptr<TrpExpressionCache> Cache;
    // One handle per bound object. Handles are never freed while the report
    // lives, so a value copied out of the script never points at a freed one;
    // those of objects that left the report wait in Spare for new objects.
    std::unordered_map<const TrpComponent*, std::unique_ptr<TrpScriptObject>> Objects;
    std::vector<std::unique_ptr<TrpScriptObject>> Spare;
    TrpScriptObject EngineObject { nullptr, QString() };
    // Upper-cased names of the report variables being evaluated, which a
    // variable that refers back to itself does not find again.
    QStringList VariablesInCalc;
    // Nesting of Calc, and the error text the innermost failing call raised
    // (already in the error list, so outer calls pass it on unchanged).
    int CalcDepth = 0;
    // The script's Self and Value, looked up once after binding; none until then.
    TscCustomVariable* SelfVariable = nullptr;
    TscCustomVariable* ValueVariable = nullptr;
    bool VariablesFound = false;
    QString RaisedError;
};
