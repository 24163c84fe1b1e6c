// libFuzzer target: arbitrary text compiled by the script engine, once as an
// expression inside the wrapper function the report uses and once as a whole
// program; whatever compiles is run. Any outcome but a crash, a hang or
// unbounded recursion is fine: bad input must end in an error text.
#include "fuzz_script.h"
#include "FuzzCheck.h"
#include "PelmoraError.h"
#include "sc_iinterpreter.h"

#include <QString>

namespace {

Variant Echo(QObject*, const QString&, const QString&, std::vector<Variant>& params)
{
    return params.empty() ? Variant(1) : params[0];
}

TscScript& Host()
{
    static TscScript* host = [] {
        auto* s = new TscScript;
        s->AddConst("True", "Boolean", true);
        s->AddConst("False", "Boolean", false);
        s->AddConst("Null", "Variant", Variant::Null());
        s->AddVariable("i", "Integer", 5);
        s->AddVariable("s", "String", "text");
        s->AddVariable("v", "Variant", QList<Variant> { 1, 2, 3 });
        s->AddMethod("function Get(Name: String): Variant", Echo);
        s->AddMethod("function F(B: Boolean = True): Boolean", Echo);
        s->AddMethod(
            "macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", Echo);
        s->AddMethod("procedure IncBy(var X: Integer; D: Integer = 1)", Echo);
        return s;
    }();
    return *host;
}

void CompileAndRun(const QString& source)
{
    TscScript script(&Host());
    script.SetLines(source);
    if (!script.Compile()) {
        // a failure always says why
        FuzzCheck(!script.ErrorMsg().isEmpty(), "a failed compilation says why");
        return;
    }
    script.Execute();
    for (int i = 0; i < script.Count(); ++i) {
        TscCustomVariable* item = script.Items(i);
        if (!item->IsCallable() || item->ParamCount() > 0)
            continue;
        try {
            std::vector<Variant> none;
            (void)item->Call(nullptr, none).AsString();
        } catch (const EPelmoraError&) {
        }
    }
}

} // namespace

void FuzzScript(QByteArrayView input)
{
    const QString text = QString::fromUtf8(input);
    CompileAndRun(QStringLiteral("function rpf0: Variant; begin Result := ") + text
        + QStringLiteral(" end; begin end."));
    CompileAndRun(text);
}
