// A memo's printed text: expansion of bracketed expressions, data-bound
// text, value formats, HideZeros, highlights, SuppressRepeated, FlowTo, the
// page macros, TagStr and hyperlink expansion, and the template coming back
// after printing.
#include "error_text.h"
#include "qt_print.h"
#include "report_skeleton.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpMemoData.h"
#include "rpTestEngine.h"
#include "sc_iinterpreter.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

class TypedUserDataSet : public TrpUserDataSet {
public:
    TrpFieldType GetFieldType(const QString& FieldName) override
    {
        return FieldName.compare(QLatin1String("descr"), Qt::CaseInsensitive) == 0 ? fftString : fftNumeric;
    }
};

// The memo keeps only the first FitChars characters; the rest flows on.
class NarrowMemo : public TrpMemoView {
public:
    qsizetype FitLength(const QString&) override { return FitChars; }
    qsizetype FitChars = 5;
};

// Numbers and dates as in the United States, whatever the machine's locale.
class MemoData : public ::testing::Test {
protected:
    MemoData()
        : Engine(&Report)
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        Band = BuildReportSkeleton(Report).Band;
        Memo = AddNamed<TrpMemoView>(Band, QStringLiteral("Memo1"));

        Data.SetName(QStringLiteral("rpDBDataset1"));
        Data.SetFields({ QStringLiteral("price"), QStringLiteral("descr") });
        Data.OnGetValue = [this](const QString& Name, Variant& Value) {
            Value = Row.value(Name.toLower(), Variant::Null());
        };
        Row = { { QStringLiteral("price"), Variant(int32_t(120)) },
            { QStringLiteral("descr"), Variant("oil") } };
        Report.DataSets().Add(&Data);
        Report.EngineOptions()->SetUseGlobalDataSetList(false);
        Report.SetEngine(&Engine);
        Engine.Physical = 2;
        EXPECT_TRUE(Report.PrepareScript());
    }
    ~MemoData() override
    {
        Report.SetEngine(nullptr);
        QLocale::setDefault(QLocale::c());
    }

    // What the engine does for one object of a band, up to the store.
    QString Print(TrpCustomMemoView* M)
    {
        Report.CurObject = M->Name();
        M->BeforePrint();
        M->GetData();
        return M->Text();
    }
    QString Expand(const QString& Template)
    {
        Memo->SetText(Template);
        const QString text = Print(Memo);
        Memo->AfterPrint();
        return text;
    }

    TrpReport Report;
    PageEngine Engine;
    TrpMasterData* Band;
    TrpMemoView* Memo;
    TypedUserDataSet Data;
    QHash<QString, Variant> Row;
};

constexpr TrpColor Red = 0x0000FF;

} // namespace

TEST(MemoBrackets, FindsTheWholeBracketedExpression)
{
    struct Case {
        const char* Name;
        QString Text, Open, Close;
        qsizetype Start;
        bool Found;
        QString Expression;
        qsizetype End;
    } cases[] = {
        { "plain", QStringLiteral("a[b]c"), "[", "]", 1, true, "b", 3 },
        { "nested pairs match", QStringLiteral("[a[b]c]d"), "[", "]", 0, true, "a[b]c", 6 },
        { "closing bracket in double quotes", QStringLiteral("[<x.\"a]\">]"), "[", "]", 0, true, "<x.\"a]\">",
            9 },
        { "closing bracket in single quotes", QStringLiteral("['a]b']"), "[", "]", 0, true, "'a]b'", 6 },
        { "angle comparison taken whole", QStringLiteral("[<p> > 1]"), "[", "]", 0, true, "<p> > 1", 8 },
        { "apostrophe inside double quotes", QStringLiteral("[\"it's\"]x"), "[", "]", 0, true, "\"it's\"",
            7 },
        { "two-character delimiters", QStringLiteral("<%a%>"), "<%", "%>", 0, true, "a", 4 },
        { "equal delimiters", QStringLiteral("|a|b|"), "|", "|", 0, true, "a", 2 },
        { "never closed", QStringLiteral("[a"), "[", "]", 0, false, QString(), 0 },
        { "no opening delimiter at start", QStringLiteral("a[b]"), "[", "]", 0, false, QString(), 0 },
    };
    for (const Case& c : cases) {
        qsizetype end = -1;
        QString expression;
        EXPECT_EQ(rpGetBracketedExpression(c.Text, c.Open, c.Close, c.Start, end, expression), c.Found)
            << c.Name;
        if (c.Found) {
            EXPECT_EQ(expression, c.Expression) << c.Name;
            EXPECT_EQ(end, c.End) << c.Name;
        } else {
            EXPECT_EQ(end, c.Start) << c.Name;
        }
    }
}

TEST_F(MemoData, ExpandsEveryBracketedExpressionOnce)
{
    Report.Variables().Add(QStringLiteral("Note"), QStringLiteral("'[Page#]'"));
    struct Case {
        const char* Name;
        QString Template, Delimiters, Expected;
    } cases[] = {
        // Engine.Physical 2 is the third page.
        { "page number keeps the trailing space", "[Page#] ", "[,]", "3 " },
        { "field through the fast path", "[rpDBDataset1.\"price\"]", "[,]", "120" },
        { "expression with a field", "Total: [<rpDBDataset1.\"price\"> * 2] EUR", "[,]", "Total: 240 EUR" },
        { "angle comparison inside", "[IIF(<rpDBDataset1.\"price\"> > 100, 'big', 'small')]", "[,]", "big" },
        { "value holding brackets is not expanded again", "[IIF(True, '[Page#]', '')] [Page#]", "[,]",
            "[Page#] 3" },
        { "variable holding brackets is not expanded again", "[Note]", "[,]", "[Page#]" },
        { "quoted bracket inside", "['a]b']", "[,]", "a]b" },
        { "page count macro stays for drawing", "[TotalPages#] of [ totalpages# ]", "[,]",
            "[TotalPages#] of [TotalPages#]" },
        { "copy name macro stays for drawing", "[CopyName#]", "[,]", "[CopyName#]" },
        { "empty brackets stay", "a [] b", "[,]", "a [] b" },
        { "unclosed bracket stays", "[1 + 1", "[,]", "[1 + 1" },
        { "own delimiters", "<%Page#%> [Page#]", "<%,%>", "3 [Page#]" },
        { "numeric suffix with a comma", "[<rpDBDataset1.\"price\"> #n%2,2f]", "[,]", "120,00" },
        { "numeric picture suffix keeps grouping", "[1234.5 #n#,##0.00]", "[,]", "1,234.50" },
        { "date suffix", "[45000 #dyyyy-mm-dd]", "[,]", "2023-03-15" },
        { "Boolean suffix", "[1 = 1 #bno,yes]", "[,]", "yes" },
        { "suffix needs a kind letter", "['a #x']", "[,]", "a #x" },
        { "multi-line template", "Page [Page#]\r\nrow [1 + 1]", "[,]", "Page 3\r\nrow 2" },
    };
    for (const Case& c : cases) {
        Memo->SetExpressionDelimiters(c.Delimiters);
        EXPECT_EQ(Expand(c.Template), c.Expected) << c.Name;
        EXPECT_TRUE(Report.Errors().isEmpty()) << c.Name << ": " << Report.Errors().join(u'|').toStdString();
    }
}

TEST_F(MemoData, EachExpressionTakesTheNextFormatUpToTheLast)
{
    Memo->DisplayFormat()->SetKind(fkNumeric);
    Memo->DisplayFormat()->SetFormatStr(QStringLiteral("%2.1f"));
    auto second = std::make_unique<TrpFormat>();
    second->SetKind(fkNumeric);
    second->SetFormatStr(QStringLiteral("%2.3f"));
    Memo->Formats().push_back(std::move(second));
    EXPECT_EQ(Expand(QStringLiteral("[1.5] [2.5] [3.5] [4 #n%.0f]")), QStringLiteral("1.5 2.500 3.500 4"));
    // Without expressions the template is printed as written.
    Memo->SetAllowExpressions(false);
    EXPECT_EQ(Expand(QStringLiteral("[1.5]")), QStringLiteral("[1.5]"));
}

TEST_F(MemoData, DataBoundMemoShowsTheFieldNotTheTemplate)
{
    Memo->SetDataSet(&Data);
    Memo->SetDataField(QStringLiteral("price"));
    struct Case {
        const char* Name;
        Variant Price;
        TrpFormatKind Kind;
        QString FormatStr;
        bool HideZeros;
        QString Expected;
    } cases[] = {
        { "display text", Variant(int32_t(120)), fkText, QString(), false, "120" },
        { "Null shows the empty display text", Variant::Null(), fkText, QString(), false, "" },
        { "display format other than text", Variant(int32_t(120)), fkNumeric, "%2.2f", false, "120.00" },
        { "zero hidden", Variant(int32_t(0)), fkText, QString(), true, "" },
        { "zero shown", Variant(int32_t(0)), fkText, QString(), false, "0" },
    };
    for (const Case& c : cases) {
        Row[QStringLiteral("price")] = c.Price;
        Memo->DisplayFormat()->SetKind(c.Kind);
        Memo->DisplayFormat()->SetFormatStr(c.FormatStr);
        Memo->SetHideZeros(c.HideZeros);
        EXPECT_EQ(Expand(QStringLiteral("[Page#] template")), c.Expected) << c.Name;
        EXPECT_TRUE(Memo->Value.IsIdentical(c.Price)) << c.Name;
        EXPECT_EQ(Memo->Text(), QStringLiteral("[Page#] template"))
            << c.Name << ": template back after printing";
    }
}

TEST_F(MemoData, BlobFieldIsLoadedIntoTheMemoLinesAsItIs)
{
    // A data set whose "notes" field is a BLOB of two lines.
    class BlobDataSet : public TrpUserDataSet {
    public:
        bool IsBlobField(const QString& Field) override { return Field == QLatin1String("notes"); }
        void AssignBlobTo(const QString&, TrpBlobTarget Target) override
        {
            if (auto* lines = std::get_if<QStringList*>(&Target))
                **lines = QStringList { QStringLiteral("first"), QStringLiteral("[Page#]") };
        }
    } notes;
    Memo->SetDataSet(&notes);
    Memo->SetDataField(QStringLiteral("notes"));
    EXPECT_EQ(Expand(QStringLiteral("template")), QStringLiteral("first\r\n[Page#]"));
    Memo->SetDataSet(nullptr);
}

TEST_F(MemoData, NullFieldInAnExpressionFollowsConvertNulls)
{
    Row[QStringLiteral("price")] = Variant::Null();
    Row[QStringLiteral("descr")] = Variant::Null();
    EXPECT_EQ(
        Expand(QStringLiteral("[rpDBDataset1.\"price\"]|[rpDBDataset1.\"descr\"]")), QStringLiteral("0|"));
    Report.EngineOptions()->SetConvertNulls(false);
    EXPECT_EQ(
        Expand(QStringLiteral("[rpDBDataset1.\"price\"]|[rpDBDataset1.\"descr\"]")), QStringLiteral("|"));
}

TEST_F(MemoData, HideZerosHidesNumbersOnly)
{
    Memo->SetHideZeros(true);
    struct Case {
        const char *Expression, *Expected;
    } cases[]
        = { { "0", "" }, { "0.0", "" }, { "1 - 1", "" }, { "'0'", "0" }, { "5", "5" }, { "False", "False" } };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(QStringLiteral("[%1]").arg(QLatin1String(c.Expression))), QLatin1String(c.Expected))
            << c.Expression;
}

TEST_F(MemoData, FormatDataByKind)
{
    struct Case {
        const char* Name;
        TrpFormatKind Kind;
        QString FormatStr, Decimal, Thousand;
        Variant Value;
        QString Expected;
    } cases[] = {
        { "Null", fkNumeric, "%2.2f", "", "", Variant::Null(), "" },
        { "text of a float", fkText, "", "", "", Variant(3.5), "3.5" },
        { "text of a Boolean", fkText, "", "", "", Variant(true), "True" },
        { "text of a large float", fkText, "", "", "", Variant(1.0 / 3.0), "0.333333333333333" },
        { "printf float", fkNumeric, "%2.2f", "", "", Variant(3.14159), "3.14" },
        { "no format string", fkNumeric, "", "", "", Variant(3.14159), "3.14" },
        { "printf integer", fkNumeric, "%d", "", "", Variant(int32_t(42)), "42" },
        { "picture", fkNumeric, "#,##0.00", "", "", Variant(1234567.891), "1,234,567.89" },
        { "picture starting with 0", fkNumeric, "0.0", "", "", Variant(2.26), "2.3" },
        { "own separators swap", fkNumeric, "#,##0.00", ",", ".", Variant(1234567.891), "1.234.567,89" },
        { "separator equal to the locale's", fkNumeric, "%2.2f", ".", "", Variant(2.5), "2.50" },
        { "separator of two characters ignored", fkNumeric, "%2.2f", ",,", "", Variant(2.5), "2.50" },
        { "date-time", fkDateTime, "dd.mm.yyyy hh:nn", "", "", Variant(45000.5), "15.03.2023 12:00" },
        { "Boolean true", fkBoolean, "No,Yes", "", "", Variant(true), "Yes" },
        { "Boolean false", fkBoolean, "No,Yes", "", "", Variant(false), "No" },
        { "Boolean other value", fkBoolean, "No,Yes", "", "", Variant(int32_t(7)), "No" },
        { "number format on text falls back", fkNumeric, "%2.2f", "", "", Variant("abc"), "abc" },
        { "date out of range falls back", fkDateTime, "yyyy", "", "", Variant(1e12), "1000000000000" },
        { "bad printf falls back", fkNumeric, "%q", "", "", Variant(2.5), "2.5" },
    };
    for (const Case& c : cases) {
        TrpFormat f;
        f.SetKind(c.Kind);
        f.SetFormatStr(c.FormatStr);
        f.SetDecimalSeparator(c.Decimal);
        f.SetThousandSeparator(c.Thousand);
        EXPECT_EQ(Memo->FormatData(c.Value, &f), c.Expected) << c.Name;
    }
    // No format given: the display format.
    Memo->DisplayFormat()->SetKind(fkNumeric);
    Memo->DisplayFormat()->SetFormatStr(QStringLiteral("%2.1f"));
    EXPECT_EQ(Memo->FormatData(Variant(2.26)), QStringLiteral("2.3"));
}

TEST_F(MemoData, DivisionByZeroPrintsNothingOnlyWhenIgnored)
{
    Report.EngineOptions()->SetIgnoreDevByZero(true);
    EXPECT_EQ(Expand(QStringLiteral("a[1 / 0]b")), QStringLiteral("ab"));
    EXPECT_TRUE(Report.Errors().isEmpty());

    Report.EngineOptions()->SetIgnoreDevByZero(false);
    Memo->SetText(QStringLiteral("a[1 / 0]b"));
    EXPECT_EQ(ErrorOf([&] { Print(Memo); }), QStringLiteral("Memo1: Floating point division by zero"));
    EXPECT_EQ(Report.Errors(), QStringList { QStringLiteral("Memo1: Floating point division by zero") });
    Memo->AfterPrint();
    EXPECT_EQ(Memo->Text(), QStringLiteral("a[1 / 0]b"));
}

TEST_F(MemoData, PrintingSetsSelfAndValueAndAfterPrintRestoresTheTemplate)
{
    Memo->SetText(QStringLiteral("[<rpDBDataset1.\"price\">]"));
    Memo->SetTagStr(QStringLiteral("id=[Page#]"));
    Memo->Hyperlink()->SetValue(QStringLiteral("page[<Page#> + 1]"));
    Memo->SetColor(clWhite);
    TrpHighlight* never = Memo->Highlight();
    never->SetCondition(QStringLiteral("Value < 0"));
    auto big = std::make_unique<TrpHighlight>();
    big->SetCondition(QStringLiteral("Value > 100"));
    big->Font()->SetStyle(fsBold);
    big->SetFillType(ftBrush);
    static_cast<TrpBrushFill*>(big->Fill())->SetBackColor(Red);
    big->SetApplyFrame(true);
    big->Frame()->SetTyp(ftLeft | ftTop);
    big->SetVisible(false);
    Memo->Highlights().push_back(std::move(big));

    Print(Memo);
    EXPECT_EQ(Memo->Text(), QStringLiteral("120"));
    EXPECT_EQ(Memo->TagStr(), QStringLiteral("id=3"));
    EXPECT_EQ(Memo->Hyperlink()->Value(), QStringLiteral("page4"));
    EXPECT_EQ(Report.ComponentOf(Report.Script()->FindLocal(QStringLiteral("Self"))->Value()), Memo);
    EXPECT_TRUE(
        Report.Script()->FindLocal(QStringLiteral("Value"))->Value().IsIdentical(Variant(int32_t(120))));
    EXPECT_TRUE(Memo->HighlightActivated);
    EXPECT_EQ(Memo->Font()->Style(), TrpFontStyles(fsBold));
    EXPECT_EQ(Memo->Color(), Red);
    EXPECT_EQ(Memo->Frame()->Typ(), TrpFrameTypes(ftLeft | ftTop));
    EXPECT_FALSE(Memo->Visible());

    // Evaluating the row again (a re-evaluated band) must not save the
    // highlighted look as the template's.
    Row[QStringLiteral("price")] = Variant(int32_t(50));
    Memo->SetMemo(Memo->TempMemo);
    Memo->GetData();
    EXPECT_FALSE(Memo->HighlightActivated);
    EXPECT_TRUE(Memo->Visible());

    Row[QStringLiteral("price")] = Variant(int32_t(150));
    Memo->SetMemo(Memo->TempMemo);
    Memo->GetData();
    EXPECT_TRUE(Memo->HighlightActivated);
    Memo->AfterPrint();
    EXPECT_EQ(Memo->Text(), QStringLiteral("[<rpDBDataset1.\"price\">]"));
    EXPECT_EQ(Memo->TagStr(), QStringLiteral("id=[Page#]"));
    EXPECT_EQ(Memo->Hyperlink()->Value(), QStringLiteral("page[<Page#> + 1]"));
    EXPECT_FALSE(Memo->HighlightActivated);
    EXPECT_EQ(Memo->Font()->Style(), TrpFontStyles());
    EXPECT_TRUE(Memo->ParentFont());
    EXPECT_EQ(Memo->Color(), clWhite);
    EXPECT_EQ(Memo->Frame()->Typ(), TrpFrameTypes());
    EXPECT_TRUE(Memo->Visible());
}

TEST_F(MemoData, HyperlinkExpressionTextIsQuotedForTheScriptLanguage)
{
    struct Case {
        const char* Name;
        QString Language, Expression, Expected;
    } cases[] = {
        { "text for PascalScript", "PascalScript", "'say \"hi\"'", "\"say \"\"hi\"\"\"" },
        { "text for another language", "BasicScript", "'it''s'", "'it''s'" },
        { "number unquoted", "PascalScript", "<rpDBDataset1.\"price\"> + 1", "121" },
    };
    for (const Case& c : cases) {
        Report.SetScriptLanguage(c.Language);
        Memo->Hyperlink()->SetExpression(c.Expression);
        Print(Memo);
        EXPECT_EQ(Memo->Hyperlink()->Value(), c.Expected) << c.Name;
        Memo->AfterPrint();
        EXPECT_EQ(Memo->Hyperlink()->Value(), QString()) << c.Name;
    }
}

TEST_F(MemoData, SuppressRepeatedBlanksARepeatedText)
{
    Memo->SetSuppressRepeated(true);
    const char* rows[] = { "oil", "oil", "gas", "gas" };
    QStringList printed;
    for (const char* r : rows) {
        Row[QStringLiteral("descr")] = Variant(r);
        printed << Expand(QStringLiteral("[<rpDBDataset1.\"descr\">]"));
    }
    EXPECT_EQ(printed, (QStringList { "oil", "", "gas", "" }));
    Memo->ResetSuppress();
    EXPECT_EQ(Expand(QStringLiteral("[<rpDBDataset1.\"descr\">]")), QStringLiteral("gas"));
}

TEST_F(MemoData, TextThatDoesNotFitFlowsToTheTargetUnexpanded)
{
    auto* narrow = static_cast<NarrowMemo*>(Band->InsertChild(std::make_unique<NarrowMemo>()));
    narrow->SetName(QStringLiteral("Memo2"));
    auto* target = Band->Create<TrpMemoView>();
    target->SetName(QStringLiteral("Memo3"));
    narrow->SetFlowTo(target);
    narrow->SetText(QStringLiteral("12345[<rpDBDataset1.\"descr\">] [Page#]"));

    Row[QStringLiteral("descr")] = Variant("[x]");
    EXPECT_EQ(Print(narrow), QStringLiteral("12345"));
    EXPECT_FALSE(target->AllowExpressions());
    // The target prints the rest as it came, brackets and all.
    EXPECT_EQ(Print(target), QStringLiteral("[x] 3"));

    narrow->FitChars = 100;
    narrow->AfterPrint();
    EXPECT_EQ(Print(narrow), QStringLiteral("12345[x] 3"));
    EXPECT_EQ(target->Text(), QString());
}

TEST_F(MemoData, PageMacrosAreReplacedAtDrawing)
{
    rpGlobalVariables().Add(QStringLiteral("CopyName1"), QStringLiteral("Copy"));
    Memo->SetText(QStringLiteral("Page [Page#] of [TotalPages#] ([CopyName#]) [TotalPages#]"));
    Print(Memo);
    // While preparing a single pass the count is not known yet.
    EXPECT_TRUE(Report.Calc(QStringLiteral("TotalPages#")).IsIdentical(Variant(int32_t(0))));
    Memo->TotalPages = 7;
    Memo->CopyNo = 1;
    const QString drawn = QStringLiteral("Page 3 of 7 (Copy) 7");
    EXPECT_EQ(Memo->GetComponentText(), drawn);
    Memo->ExtractMacros();
    EXPECT_EQ(Memo->Text(), drawn);

    struct Case {
        const char* Name;
        bool Designing, AllowExpressions;
        int CopyNo;
        QString Expected;
    } cases[] = {
        { "copy without a name", false, true, 2, "7 of 7 ()" },
        { "not while designing", true, true, 1, "[TotalPages#] of [totalpages#] ([CopyName#])" },
        { "not without expressions", false, false, 1, "[TotalPages#] of [totalpages#] ([CopyName#])" },
    };
    for (const Case& c : cases) {
        Memo->SetText(QStringLiteral("[TotalPages#] of [totalpages#] ([CopyName#])"));
        Memo->SetIsDesigning(c.Designing);
        Memo->SetAllowExpressions(c.AllowExpressions);
        Memo->CopyNo = c.CopyNo;
        Memo->ExtractMacros();
        EXPECT_EQ(Memo->Text(), c.Expected) << c.Name;
    }
    rpGlobalVariables().Delete(rpGlobalVariables().IndexOf(QStringLiteral("CopyName1")));
}

TEST_F(MemoData, StyleAppliesOnlyWhatItIsMeantTo)
{
    TrpStyleItem* style = Report.Styles().Add();
    style->Font()->SetSize(20);
    style->SetFillType(ftBrush);
    static_cast<TrpBrushFill*>(style->Fill())->SetBackColor(Red);
    style->Frame()->SetTyp(ftBottom);
    style->SetApplyFill(false);
    Memo->ApplyStyle(style);
    EXPECT_EQ(Memo->Font()->Size(), 20);
    EXPECT_EQ(Memo->Color(), clNone);
    EXPECT_EQ(Memo->Frame()->Typ(), TrpFrameTypes(ftBottom));
}

// The run's date and time print by the Russian short date and long time, in
// bracketed expressions, through FormatDateTime and through format suffixes.
TEST_F(MemoData, DatesPrintByTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    Engine.SetStart(46365, 0.4375); // 9 December 2026, 10:30
    const struct {
        const char* Template;
        const char* Printed;
    } cases[] = {
        { "[Date]", "09.12.2026" },
        { "Printed on [DATE]", "Printed on 09.12.2026" },
        { "[Time]", "10:30:00" },
        { "[<Date> + <Time>]", "09.12.2026 10:30:00" },
        { "due [<Date> + 7]", "due 16.12.2026" },
        { "[<Date> - EncodeDate(2026, 12, 1)] days", "8 days" },
        { "[FormatDateTime('d mmmm yyyy', <Date>)]", "9 декабря 2026" },
        { "[FormatDateTime('dd/mm/yy hh:nn', <Date> + <Time>)]", "09.12.26 10:30" },
        { "[FormatDateTime('c', <Date>)]", "09.12.2026" },
        { "[Date #Ddd mmm yyyy]", "09 дек. 2026" },
        { "[EncodeDate(2026, 12, 9) + EncodeTime(8, 5, 0, 0)]", "09.12.2026 08:05:00" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Expand(QString::fromUtf8(c.Template)), QString::fromUtf8(c.Printed)) << c.Template;

    Memo->SetHideZeros(true);
    Engine.SetStart(0, 0);
    EXPECT_EQ(Expand(QStringLiteral("[Date]")), QString()) << "day 0 is a zero value";
}

TEST_F(MemoData, TextThatDoesNotFitFlowsToTheNextMemo)
{
    // Room for two lines of 10-point text; five lines given.
    Memo->SetBounds(0, 0, 200, 36);
    auto* next = AddNamed<TrpMemoView>(Band, QStringLiteral("Memo2"));
    next->SetBounds(0, 40, 200, 200);
    Memo->SetFlowTo(next);
    Memo->SetText(QStringLiteral("one\r\ntwo\r\nthree [1+2]\r\nfour\r\nfive"));
    Print(Memo);
    EXPECT_EQ(Memo->Text(), QStringLiteral("one\r\ntwo"));
    // The moved text is not expanded again.
    EXPECT_EQ(next->Text(), QStringLiteral("three 3\r\nfour\r\nfive"));
    EXPECT_FALSE(next->AllowExpressions());

    // Everything fits: the whole text stays, the next memo gets nothing.
    Memo->SetText(QStringLiteral("one"));
    Print(Memo);
    EXPECT_EQ(Memo->Text(), QStringLiteral("one"));
    EXPECT_EQ(next->Text(), QString());
}
