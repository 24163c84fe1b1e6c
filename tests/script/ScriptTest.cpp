// TscScript: names and scopes, host registration by syntax lines, owner
// tags, compile failures that leave nothing behind, and script functions.
#include "ScriptFixture.h"
#include "sc_ierrors.h"
#include "sc_ivariables.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {

Variant NoCall(QObject*, const QString&, const QString&, std::vector<Variant>&)
{
    return Variant();
}

TEST(Script, NamesIgnoreCaseAndSearchParents)
{
    TscScript parent;
    TscScript child(&parent);
    parent.AddVariable("Total", "Integer", 1);
    EXPECT_NE(child.Find("TOTAL"), nullptr);
    EXPECT_EQ(child.FindLocal("total"), nullptr);
    child.AddVariable("total", "String", "x");
    EXPECT_EQ(child.FindLocal("total"), nullptr) << "a name found anywhere in the chain is not added again";
    EXPECT_EQ(child.Find("Total")->Typ(), fvtInt);
    for (const char* n : { "b", "C", "a", "B" })
        child.AddConst(n, "Integer", 0);
    QStringList order;
    for (int i = 0; i < child.Count(); ++i)
        order.append(child.Items(i)->UpperName());
    EXPECT_EQ(order, (QStringList { "A", "B", "B", "C" })) << "sorted, duplicates kept";
}

TEST(Script, VariablesConvertOnWriteAndAskOnGetVarValue)
{
    TscScript s;
    int asked = 0;
    s.OnGetVarValue = [&asked](const QString& name, TscVarType, const Variant&) {
        ++asked;
        return name == "Dyn" ? Variant(42) : Variant::Null();
    };
    s.AddVariable("n", "Integer", "12");
    s.AddVariable("Dyn", "Variant", 1);
    s.AddVariable("f", "TDateTime", 2);
    EXPECT_TRUE(s.Find("n")->Value().IsIdentical(12)) << "stored value used on a Null answer";
    EXPECT_TRUE(s.Find("Dyn")->Value().IsIdentical(42));
    EXPECT_TRUE(s.Find("f")->Value().IsIdentical(2.0));
    EXPECT_EQ(asked, 3);
}

TEST(Script, AddMethodReadsSyntaxLines)
{
    TscScript s;
    s.AddConst("MyDefault", "Integer", 7);
    TscMethodHelper* sum
        = s.AddMethod("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
            NoCall, "ctAggregate", "sum");
    ASSERT_NE(sum, nullptr);
    EXPECT_TRUE(sum->IsMacro());
    EXPECT_EQ(sum->ParamCount(), 3);
    EXPECT_EQ(sum->RequiredCount(), 1);
    EXPECT_TRUE(sum->Params(2)->DefValue().IsIdentical(0));
    EXPECT_EQ(sum->Typ(), fvtVariant);
    EXPECT_EQ(sum->Category, "ctAggregate");

    TscMethodHelper* iif
        = s.AddMethod("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", NoCall);
    ASSERT_NE(iif, nullptr);
    EXPECT_EQ(iif->RequiredCount(), 3) << "names sharing a type but no default stay required";

    TscMethodHelper* b2s = s.AddMethod("function BoolToStr(B: Boolean): string;", NoCall);
    ASSERT_NE(b2s, nullptr);
    EXPECT_EQ(b2s->Typ(), fvtString);
    EXPECT_FALSE(b2s->IsMacro());

    TscMethodHelper* inc = s.AddMethod("procedure Inc(var i: Integer; incr: Integer = 1)", NoCall);
    ASSERT_NE(inc, nullptr);
    EXPECT_TRUE(inc->Params(0)->IsVarParam());
    EXPECT_TRUE(inc->Params(1)->DefValue().IsIdentical(1));

    TscMethodHelper* d = s.AddMethod(
        "function D(const a, b: Extended = -1.5; c: String = 'x'; e: Integer = MyDefault): TFont", NoCall);
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->Params(0)->IsOptional()) << "only the last name of a group gets the default";
    EXPECT_TRUE(d->Params(1)->DefValue().IsIdentical(-1.5));
    EXPECT_TRUE(d->Params(2)->DefValue().IsIdentical("x"));
    EXPECT_TRUE(d->Params(3)->DefValue().IsIdentical(7));
    EXPECT_EQ(d->Typ(), fvtClass);
    EXPECT_EQ(d->TypeName(), "TFont");
    EXPECT_TRUE(s.Find("d")->IsReadOnly());

    EXPECT_EQ(s.AddMethod("function (x: Integer): Integer", NoCall), nullptr);
    EXPECT_EQ(s.AddMethod("var x: Integer", NoCall), nullptr);
    EXPECT_EQ(s.AddMethod("function F(x Integer): Integer", NoCall), nullptr);
}

TEST(Script, HandlerGetsUpperCaseNameAndNoInstance)
{
    ScriptFixture fx;
    QString seen;
    fx.host.AddMethod("function Twice(x: Integer): Integer",
        [&seen](QObject* obj, const QString&, const QString& name, std::vector<Variant>& p) {
            seen = name + (obj ? "+obj" : "");
            return Variant::Multiply(p[0], 2);
        });
    EXPECT_TRUE(fx.Eval("twice(21)").value.IsIdentical(42));
    EXPECT_EQ(seen, "TWICE");
}

TEST(Script, ClearItemsRemovesOnlyThatOwnersNames)
{
    TscScript s;
    int report = 0;
    s.AddVariable("Keep", "Integer", 1);
    s.SetAddedBy(&report);
    s.AddVariable("Gone", "Integer", 1);
    s.AddMethod("function GoneToo: Integer", NoCall);
    s.SetAddedBy(nullptr);
    s.ClearItems(&report);
    EXPECT_NE(s.Find("Keep"), nullptr);
    EXPECT_EQ(s.Find("Gone"), nullptr);
    EXPECT_EQ(s.Find("GoneToo"), nullptr);
}

TEST(Script, FailedCompileLeavesNoFunctionBehind)
{
    TscScript host;
    TscScript cache(&host);
    cache.SetLines(ScriptFixture::Wrapper("Foo + 1"));
    EXPECT_FALSE(cache.Compile());
    EXPECT_EQ(cache.ErrorMsg(), "Undeclared identifier: 'Foo'");
    EXPECT_EQ(cache.FindLocal("rpf0"), nullptr);
    cache.SetLines(ScriptFixture::Wrapper("1"));
    ASSERT_TRUE(cache.Compile());
    EXPECT_TRUE(cache.ErrorMsg().isEmpty());
    ASSERT_NE(cache.FindLocal("rpf0"), nullptr);
    // a second wrapper joins the first; a name clash is reported
    cache.SetLines("function rpf1: Variant; begin Result := 2 end; begin end.");
    ASSERT_TRUE(cache.Compile());
    cache.SetLines("function rpf1: Variant; begin Result := 3 end; begin end.");
    EXPECT_FALSE(cache.Compile());
    EXPECT_EQ(cache.ErrorMsg(), "Identifier redeclared: 'rpf1'");
    std::vector<Variant> none;
    EXPECT_TRUE(cache.FindLocal("rpf1")->Call(nullptr, none).IsIdentical(2));
    cache.Clear();
    EXPECT_EQ(cache.FindLocal("rpf0"), nullptr);
}

TEST(Script, FunctionsWithParametersLocalsAndProgRunning)
{
    TscScript host;
    TscScript* seenRunning = nullptr;
    host.AddMethod(
        "function Probe: Integer", [&](QObject*, const QString&, const QString&, std::vector<Variant>&) {
            seenRunning = host.ProgRunning();
            return Variant(1);
        });
    TscScript prog(&host);
    prog.SetMainProg(false); // like the cache's script: the running scope is published on the host
    prog.SetLines("function Add(a, b: Integer; var c: Integer): Integer;\n"
                  "var t: Integer;\n"
                  "begin t := a + b + Probe; c := t; Result := t * 2 end;\n"
                  "begin end.");
    ASSERT_TRUE(prog.Compile()) << prog.ErrorMsg().toStdString() << " at " << prog.ErrorPos().toStdString();
    auto* add = prog.FindLocal("Add");
    ASSERT_NE(add, nullptr);
    std::vector<Variant> args { 2, 3, 0 };
    EXPECT_TRUE(add->Call(nullptr, args).IsIdentical(12));
    EXPECT_TRUE(args[2].IsIdentical(6)) << "var parameter handed back";
    ASSERT_NE(seenRunning, nullptr);
    EXPECT_NE(seenRunning->FindLocal("t"), nullptr) << "the function's own scope was published while it ran";
    EXPECT_EQ(host.ProgRunning(), nullptr) << "and withdrawn afterwards";
}

TEST(Script, EndlessRecursionStopsWithAnError)
{
    TscScript s;
    s.SetLines("function f: Integer; begin Result := f + 1 end; begin end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMsg().toStdString();
    s.SetLines("begin s := f end.");
    s.AddVariable("s", "Integer", 0);
    ASSERT_TRUE(s.Compile()) << s.ErrorMsg().toStdString();
    EXPECT_FALSE(s.Execute());
    EXPECT_EQ(s.ErrorMsg(), "Stack overflow");
    // the call depth is given back when the error unwinds: other calls still work
    s.SetLines("function g: Integer; begin Result := 7 end; begin s := g end.");
    ASSERT_TRUE(s.Compile()) << s.ErrorMsg().toStdString();
    EXPECT_TRUE(s.Execute()) << s.ErrorMsg().toStdString();
    EXPECT_EQ(s.Find("s")->Value().AsInteger(), 7);
}

TEST(Script, CompileErrorsOfDeclarationsAndAssignments)
{
    struct Case {
        const char* source;
        const char* error;
    } cases[] = {
        { "function f: Nonsense; begin end; begin end.", "Unknown type: 'Nonsense'" },
        { "var a: Integer; a: String; begin end.", "Identifier redeclared: 'a'" },
        { "var a: Integer; begin a := 'x' end.", "Incompatible types: 'Integer', 'String'" },
        { "var a: Integer; begin a := 1.5 end.", "Incompatible types: 'Integer', 'Extended'" },
        { "const", "'BEGIN' expected" },
        { "begin Pi := 3 end.", "Left side cannot be assigned to" },
    };
    for (const Case& c : cases) {
        TscScript s;
        s.AddConst("Pi", "Extended", 3.14);
        s.SetLines(c.source);
        EXPECT_FALSE(s.Compile()) << c.source;
        EXPECT_EQ(s.ErrorMsg().toStdString(), c.error) << c.source;
        EXPECT_FALSE(s.ErrorPos().isEmpty()) << c.source;
    }
}

TEST(Script, IsChecksTheObjectsClass)
{
    ScriptFixture fx;
    QObject plain;
    fx.host.AddObject("Obj", &plain);
    fx.host.AddClass("QObject");
    fx.host.AddClass("QTimer", "QObject");
    EXPECT_TRUE(fx.Eval("Obj is QObject").value.IsIdentical(true));
    EXPECT_TRUE(fx.Eval("Obj is QTimer").value.IsIdentical(false));
    EXPECT_EQ(fx.Eval("Obj is i").error, "Class type required");
    EXPECT_EQ(fx.Eval("Obj + 1").error, "Incompatible types");
    EXPECT_TRUE(fx.Eval("Obj <> Null").value.IsIdentical(true));
}

TEST(Script, MessagesCanBeTranslated)
{
    EXPECT_TRUE(scSetMessage("SIdUndeclared", "Unbekannter Bezeichner: "));
    ScriptFixture fx;
    EXPECT_EQ(fx.Eval("Foo").error, "Unbekannter Bezeichner: 'Foo'");
    EXPECT_TRUE(scSetMessage("SIdUndeclared", "Undeclared identifier: "));
    EXPECT_FALSE(scSetMessage("NoSuchKey", "x"));
}

} // namespace
