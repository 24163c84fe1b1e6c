// The report's expression cache: wrapping, compiling once per preparation,
// failures that leave nothing behind, and the report script's MainProg.

#include "PelmoraError.h"
#include "rpExpressionCache.h"
#include "sc_iinterpreter.h"

#include <gtest/gtest.h>

namespace {

class ExpressionCacheTest : public ::testing::Test {
protected:
    ExpressionCacheTest()
        : cache(&report)
    {
        report.AddConst("True", "Boolean", true);
        report.AddVariable("Price", "Integer", 40);
        report.AddMethod("function Probe: Integer",
            [this](QObject*, const QString&, const QString&, std::vector<Variant>&) {
                ++probes;
                mainProgSeen = report.MainProg();
                return Variant(2);
            });
        report.AddMethod("function Fail: Integer",
            [](QObject*, const QString&, const QString&, std::vector<Variant>&) -> Variant {
                throw EPelmoraError(QStringLiteral("boom"));
            });
        report.AddMethod("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
            [this](QObject*, const QString&, const QString&, std::vector<Variant>& p) {
                sumArgs.clear();
                for (const Variant& v : p)
                    sumArgs.append(v.AsString());
                return Variant(0);
            });
        report.AddMethod("function Get(Name: String): Variant",
            [](QObject*, const QString&, const QString&, std::vector<Variant>&) { return Variant(1); });
    }

    int wrappers() const
    {
        int n = 0;
        for (int i = 0; i < cache.Script()->Count(); ++i)
            if (cache.Script()->Items(i)->Name().startsWith("rpf"))
                ++n;
        return n;
    }

    TscScript report;
    TrpExpressionCache cache;
    int probes = 0;
    bool mainProgSeen = true;
    QStringList sumArgs;
};

TEST_F(ExpressionCacheTest, WrapperTextPerLanguage)
{
    EXPECT_EQ(TrpExpressionCache::WrapperText("PascalScript", 3, "1 + 2"),
        "function rpf3: Variant; begin Result := 1 + 2 end; begin end.");
    EXPECT_EQ(TrpExpressionCache::WrapperText("C++Script", 0, "a"), "Variant rpf0() { return a; } {}");
    EXPECT_EQ(TrpExpressionCache::WrapperText("JScript", 1, "a"), "function rpf1() { return a; }");
    EXPECT_EQ(
        TrpExpressionCache::WrapperText("BasicScript", 2, "a"), "function rpf2\r\nreturn a\r\nend function");
}

TEST_F(ExpressionCacheTest, EvaluatesWithValuesFromTheGivenScope)
{
    QString err;
    Variant v = cache.Calc("Price * 2 + Probe", err, &report);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    EXPECT_TRUE(v.IsIdentical(Variant(82)));
}

TEST_F(ExpressionCacheTest, SameTextCompiledOncePerPreparation)
{
    QString err;
    cache.Calc("Price + 1", err, &report);
    cache.Calc("Price + 1", err, &report);
    cache.Calc("price + 1", err, &report); // keys ignore case by default
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(wrappers(), 1);
    cache.Calc("Price + 2", err, &report);
    EXPECT_EQ(cache.Count(), 2);
    EXPECT_EQ(wrappers(), 2);

    cache.Clear(); // the report prepares again
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(wrappers(), 0);
    EXPECT_TRUE(cache.Calc("Price + 2", err, &report).IsIdentical(Variant(42)));
    EXPECT_NE(cache.Script()->FindLocal("rpf0"), nullptr); // numbers restart
    EXPECT_EQ(cache.Count(), 1);
}

TEST_F(ExpressionCacheTest, CaseSensitiveKeysKeepVariantsApart)
{
    cache.SetCaseSensitive(true);
    QString err;
    cache.Calc("Price + 1", err, &report);
    cache.Calc("PRICE + 1", err, &report);
    EXPECT_EQ(cache.Count(), 2);
}

TEST_F(ExpressionCacheTest, FailedCompilationIsNotCachedAndUsesNoNumber)
{
    QString err;
    Variant v = cache.Calc("Foo + 1", err, &report);
    EXPECT_EQ(err, "Error in expression 'Foo + 1': Undeclared identifier: 'Foo'");
    EXPECT_TRUE(v.IsNull());
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(wrappers(), 0);

    QString again;
    cache.Calc("Foo + 1", again, &report); // compiled and failing again
    EXPECT_EQ(again, err);

    cache.Calc("1 + 1", err, &report);
    EXPECT_TRUE(err.isEmpty());
    EXPECT_NE(cache.Script()->FindLocal("rpf0"), nullptr);
}

TEST_F(ExpressionCacheTest, MainProgOffWhileRunningAndOnAfterErrors)
{
    QString err;
    cache.Calc("Probe", err, &report);
    EXPECT_FALSE(mainProgSeen);
    EXPECT_TRUE(report.MainProg());

    Variant v = cache.Calc("Fail + 1", err, &report);
    EXPECT_EQ(err, "boom");
    EXPECT_TRUE(v.IsNull());
    EXPECT_TRUE(report.MainProg());
    EXPECT_EQ(cache.Count(), 2); // it compiled; only running failed
}

TEST_F(ExpressionCacheTest, MacroArgumentsArriveAsSourceText)
{
    QString err;
    report.AddVariable("MasterData1", "Variant", 0);
    cache.Calc("SUM(<rpDBDataset1.\"price\">,MasterData1)", err, &report);
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    ASSERT_GE(sumArgs.size(), 2);
    EXPECT_EQ(sumArgs[0], "<rpDBDataset1.\"price\">");
    EXPECT_EQ(sumArgs[1], "MasterData1");

    cache.Calc("SUM()", err, &report);
    EXPECT_EQ(err, "Error in expression 'SUM()': Not enough actual parameters");
}

} // namespace
