#pragma once

// A host scope like the one the report builds, and a helper that evaluates an
// expression the way the expression cache does: wrapped in a one-line
// function of a child script, compiled, called.

#include "PelmoraError.h"
#include "Variant.h"
#include "sc_iinterpreter.h"

#include <QStringList>

struct EvalResult {
    bool ok = false;
    Variant value;
    QString error; // compile or run-time message
    QString errorPos; // compile errors only
};

class ScriptFixture {
public:
    ScriptFixture()
    {
        host.AddConst("True", "Boolean", true);
        host.AddConst("False", "Boolean", false);
        host.AddConst("Null", "Variant", Variant::Null());
        host.AddVariable("i", "Integer", 5);
        host.AddVariable("s", "String", "hello");
        host.AddVariable("MasterData1", "Variant", 0);
        host.AddVariable("arr", "Variant", QList<Variant> { 1, 2, Variant::Null(), 9 });
        host.AddVariable(QString::fromUtf8("Цена"), "Integer", 100);
        host.AddMethod(
            "function F: Boolean", [this](QObject*, const QString&, const QString&, std::vector<Variant>&) {
                ++fCalls;
                return Variant(true);
            });
        host.AddMethod(
            "function V: Variant", [this](QObject*, const QString&, const QString&, std::vector<Variant>&) {
                ++vCalls;
                return vResult;
            });
        host.AddMethod("function Get(Name: String): Variant",
            [this](QObject*, const QString&, const QString&, std::vector<Variant>& p) {
                gets.append(p[0].AsString());
                return Variant(10);
            });
        host.AddMethod("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
            [this](QObject*, const QString& cls, const QString& name, std::vector<Variant>& p) {
                macroName = name;
                macroClass = cls;
                macroArgs.clear();
                for (const Variant& v : p)
                    macroArgs.append(v.AsString());
                return Variant(0);
            });
        host.AddMethod("procedure IncBy(var X: Integer; D: Integer = 1)",
            [](QObject*, const QString&, const QString&, std::vector<Variant>& p) {
                p[0] = Variant::Add(p[0], p[1]);
                return Variant();
            });
    }

    // Source of the wrapper the expression cache compiles.
    static QString Wrapper(const QString& expr)
    {
        return QStringLiteral("function rpf0: Variant; begin Result := ") + expr
            + QStringLiteral(" end; begin end.");
    }
    static int WrapperPrefix()
    {
        return static_cast<int>(Wrapper(QString()).indexOf(QLatin1String(" end;")));
    }

    EvalResult Eval(const QString& expr)
    {
        EvalResult r;
        TscScript local(&host);
        local.SetLines(Wrapper(expr));
        if (!local.Compile()) {
            r.error = local.ErrorMsg();
            r.errorPos = local.ErrorPos();
            return r;
        }
        TscCustomVariable* f = local.FindLocal("rpf0");
        if (!f) {
            r.error = "no function";
            return r;
        }
        try {
            std::vector<Variant> none;
            r.value = f->Call(nullptr, none);
            r.ok = true;
        } catch (const EPelmoraError& e) {
            r.error = e.Message();
        }
        return r;
    }

    TscScript host;
    int fCalls = 0;
    int vCalls = 0;
    Variant vResult = true;
    QStringList gets;
    QString macroName, macroClass;
    QStringList macroArgs;
};
