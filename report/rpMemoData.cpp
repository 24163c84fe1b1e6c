// How a view gets its printed text while a report runs: TagStr and hyperlink
// expansion, a memo's data-bound text or its expanded template, value
// formatting, highlights, suppressed repeats, text flowing to another memo,
// and the page macros replaced at drawing.
//
// Invariants:
//   1. Between BeforePrint and AfterPrint a view's template (memo text,
//      TagStr, hyperlink value, font, fill, frame, visibility) is kept aside
//      and AfterPrint puts it back, so a run leaves the template as it was.
//   2. Expansion scans the template once from left to right; a value's text
//      is inserted after evaluation and never scanned again.
//   3. A highlight saves the look before changing it, at most once per
//      GetData: a highlight still applied is undone first.
//   4. Formatting never fails: a format that cannot format the value falls
//      back to the default text conversion.
#include "rpMemoData.h"

#include "rpClass.h"
#include "rpDBSet.h"
#include "sc_iformat.h"
#include "sc_iinterpreter.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

namespace {

bool IsZero(const Variant& Value)
{
    return (Value.IsNumber() || Value.IsDate()) && Value.AsDouble() == 0;
}

// A value that equals true; one that cannot be compared with it does not.
bool IsTrue(const Variant& Value)
{
    try {
        return Variant::Equals(Value, Variant(true));
    } catch (const EPelmoraError&) {
        return false;
    }
}

// The printf part of a numeric suffix: width, separator, precision, type.
const QRegularExpression& PrintfSeparator()
{
    static const QRegularExpression re(QStringLiteral("(%-?\\d*)([.,\\-])(\\d+[A-Za-z])"));
    return re;
}

// A " #" suffix after an expression: a kind letter, then the format string.
// False when the letter names no kind.
bool ParseFormatSuffix(const QString& Suffix, TrpFormat& Format)
{
    if (Suffix.isEmpty())
        return false;
    QString text = Suffix.mid(1);
    switch (Suffix[0].toUpper().unicode()) {
    case 'N': {
        Format.SetKind(fkNumeric);
        // In a printf format the separator written before the precision is
        // the one to print; a picture format keeps its own ',' and '.'.
        if (!text.contains(QLatin1Char('#')) && !text.startsWith(QLatin1Char('0'))) {
            const QRegularExpressionMatch m = PrintfSeparator().match(text);
            if (m.hasMatch()) {
                Format.SetDecimalSeparator(m.captured(2));
                text.replace(m.capturedStart(2), 1, QLatin1Char('.'));
            }
        }
        break;
    }
    case 'D':
    case 'T':
        Format.SetKind(fkDateTime);
        break;
    case 'B':
        Format.SetKind(fkBoolean);
        break;
    default:
        return false;
    }
    Format.SetFormatStr(text);
    return true;
}

QString FormatNumber(const Variant& Value, const TrpFormat& Format)
{
    const QString fmt = Format.FormatStr();
    QString s;
    if (fmt.contains(QLatin1Char('#')) || fmt.startsWith(QLatin1Char('0')))
        s = scFormatFloat(fmt, Value.AsDouble());
    else if (fmt.contains(QLatin1Char('d'), Qt::CaseInsensitive)
        || fmt.contains(QLatin1Char('u'), Qt::CaseInsensitive))
        s = scFormat(fmt, Variant(Value.AsInt64()));
    else
        s = scFormat(fmt.isEmpty() ? QStringLiteral("%2.2f") : fmt, Variant(Value.AsDouble()));
    // Thousands first: the decimal separator may be the wanted group one.
    const QLocale locale;
    const QString group = locale.groupSeparator(), point = locale.decimalPoint();
    if (Format.ThousandSeparator().size() == 1 && Format.ThousandSeparator() != group)
        s.replace(group, Format.ThousandSeparator());
    if (Format.DecimalSeparator().size() == 1 && Format.DecimalSeparator() != point) {
        const qsizetype at = s.lastIndexOf(point);
        if (at >= 0)
            s.replace(at, point.size(), Format.DecimalSeparator());
    }
    return s;
}

// Every "[...]" of a TagStr or hyperlink value replaced by its value's text.
QString ExpandBracketed(TrpReport& Report, const QString& Text)
{
    return rpReplaceBracketed(Text, QStringLiteral("["), QStringLiteral("]"),
        [&](const QString& Expression) { return rpValueToText(Report.Calc(Expression)); });
}

// A text as a string literal of the script language.
QString ScriptQuoted(const QString& Language, const QString& Text)
{
    if (Language.compare(QLatin1String("PascalScript"), Qt::CaseInsensitive) == 0)
        return QLatin1Char('"') + QString(Text).replace(QLatin1Char('"'), QLatin1String("\"\""))
            + QLatin1Char('"');
    return QLatin1Char('\'') + QString(Text).replace(QLatin1Char('\''), QLatin1String("''"))
        + QLatin1Char('\'');
}

} // namespace

// ---------------------------------------------------------------- helpers

bool rpGetBracketedExpression(const QString& Text, const QString& Open, const QString& Close, qsizetype Start,
    qsizetype& End, QString& Expression)
{
    End = Start;
    if (Open.isEmpty() || Close.isEmpty() || !QStringView(Text).mid(Start).startsWith(Open))
        return false;
    int depth = 0;
    bool inDouble = false, inSingle = false;
    qsizetype i = Start;
    while (i < Text.size()) {
        if (!inDouble && !inSingle) {
            const QStringView rest = QStringView(Text).mid(i);
            // With equal delimiters an open pair is closed by the next one.
            if ((depth == 0 || Open != Close) && rest.startsWith(Open)) {
                ++depth;
                i += Open.size();
                continue;
            }
            if (rest.startsWith(Close)) {
                if (--depth == 0) {
                    End = i + Close.size() - 1;
                    Expression = Text.mid(Start + Open.size(), i - Start - Open.size());
                    return true;
                }
                i += Close.size();
                continue;
            }
        }
        const QChar c = Text[i];
        if (c == QLatin1Char('"') && !inSingle)
            inDouble = !inDouble;
        else if (c == QLatin1Char('\'') && !inDouble)
            inSingle = !inSingle;
        ++i;
    }
    return false;
}

QString rpReplaceBracketed(const QString& Text, const QString& Open, const QString& Close,
    const std::function<QString(const QString& Expression)>& Replace)
{
    QString s = Text;
    qsizetype i = 0;
    while ((i = s.indexOf(Open, i)) >= 0) {
        qsizetype end;
        QString expression;
        if (!rpGetBracketedExpression(s, Open, Close, i, end, expression) || expression.trimmed().isEmpty()) {
            i = std::max(end + 1, i + Open.size());
            continue;
        }
        const QString value = Replace(expression);
        s.replace(i, end - i + 1, value);
        i += value.size();
    }
    return s;
}

bool rpSplitDelimiters(const QString& Delimiters, QString& Open, QString& Close)
{
    const qsizetype comma = Delimiters.indexOf(QLatin1Char(','));
    Open = comma < 0 ? Delimiters : Delimiters.left(comma);
    Close = comma < 0 ? QString() : Delimiters.mid(comma + 1);
    return !Open.isEmpty() && !Close.isEmpty();
}

QString rpValueToText(const Variant& Value)
{
    if (Value.IsArray() || Value.IsObject() || Value.VarKind() == Variant::vkDispatch)
        return QString();
    return Value.AsString();
}

// -------------------------------------------------------------------- view

void TrpView::BeforePrint()
{
    TrpReportComponent::BeforePrint();
    TempTagStr = TagStr();
    TempHyperlink = Hyperlink()->Value();
    if (TrpReport* report = Report())
        report->SetScriptSelf(this);
}

void TrpView::GetData()
{
    TrpReport* report = Report();
    if (!report)
        return;
    if (TagStr().contains(QLatin1Char('[')))
        SetTagStr(ExpandBracketed(*report, TagStr()));
    TrpHyperlink* link = Hyperlink();
    if (!link->Expression().trimmed().isEmpty()) {
        const Variant v = report->Calc(link->Expression());
        link->SetValue(
            v.IsString() ? ScriptQuoted(report->ScriptLanguage(), v.StringRef()) : rpValueToText(v));
    } else if (link->Value().contains(QLatin1Char('['))) {
        link->SetValue(ExpandBracketed(*report, link->Value()));
    }
}

void TrpView::AfterPrint()
{
    SetTagStr(TempTagStr);
    Hyperlink()->SetValue(TempHyperlink);
    TrpReportComponent::AfterPrint();
}

// -------------------------------------------------------------------- memo

void TrpCustomMemoView::BeforePrint()
{
    TrpView::BeforePrint();
    // A data-bound memo's text is replaced too, so every memo keeps its own.
    TempMemo = Memo();
}

void TrpCustomMemoView::AfterPrint()
{
    SetMemo(TempMemo);
    UndoHighlight();
    TrpView::AfterPrint();
}

void TrpCustomMemoView::GetData()
{
    TrpView::GetData();
    DisplayFormat();
    TrpReport* report = Report();

    if (IsDataField()) {
        TrpDataSet* data = DataSet();
        const QString field = DataField();
        if (data->IsBlobField(field)) {
            QStringList lines;
            data->AssignBlobTo(field, &lines);
            SetMemo(lines);
            Value = Variant(Text());
        } else {
            Value = data->GetValue(field);
            QString text = DisplayFormat()->Kind() != fkText ? FormatData(Value, DisplayFormat())
                                                             : data->GetDisplayText(field);
            if (HideZeros() && IsZero(Value))
                text.clear();
            SetText(text);
        }
    } else if (AllowExpressions() && report) {
        QString open, close;
        const QString text = Text();
        if (rpSplitDelimiters(ExpressionDelimiters(), open, close) && text.contains(open)) {
            size_t index = 0;
            SetText(rpReplaceBracketed(text, open, close, [&](const QString& Expression) {
                const QString value = EvaluateEmbeddedExpression(Expression, *Formats()[index]);
                if (index + 1 < Formats().size())
                    ++index;
                return value;
            }));
        }
    }
    if (!report)
        return;
    report->SetScriptValue(Value);

    UndoHighlight();
    for (const auto& h : Highlights())
        if (!h->Condition().trimmed().isEmpty() && IsTrue(report->Calc(h->Condition()))) {
            ApplyHighlight(h.get());
            break;
        }

    if (SuppressRepeated()) {
        const QString text = Text();
        if (LastValue.IsString() && LastValue.StringRef() == text)
            SetMemo(QStringList());
        else
            LastValue = Variant(text);
    }

    TrpCustomMemoView* target = FlowTo();
    if (target && target != this) {
        const QString text = Text();
        const qsizetype fit = std::clamp<qsizetype>(FitLength(text), 0, text.size());
        QString kept = text.left(fit), rest = text.mid(fit);
        if (rest.startsWith(QLatin1String("\r\n")))
            rest.remove(0, 2);
        while (kept.endsWith(QLatin1String("\r\n")))
            kept.chop(2);
        if (fit < text.size())
            SetText(kept);
        target->SetAllowExpressions(false);
        target->SetText(rest);
    }
}

QString TrpCustomMemoView::EvaluateEmbeddedExpression(const QString& Expression, const TrpFormat& Format)
{
    QString expression = Expression;
    const TrpFormat* format = &Format;
    TrpFormat own;
    const qsizetype hash = Expression.lastIndexOf(QLatin1String(" #"));
    if (hash >= 0 && !Expression.mid(hash + 2).contains(QLatin1Char(')'))
        && ParseFormatSuffix(Expression.mid(hash + 2), own)) {
        expression = Expression.left(hash);
        format = &own;
    }
    expression = expression.trimmed();
    // Known only when the page is drawn.
    if (expression.compare(QLatin1String("TotalPages#"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("[TotalPages#]");
    if (expression.compare(QLatin1String("CopyName#"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("[CopyName#]");
    TrpReport* report = Report();
    if (!report)
        return QString();
    Value = report->Calc(expression);
    if (HideZeros() && IsZero(Value))
        return QString();
    return FormatData(Value, format);
}

QString TrpCustomMemoView::FormatData(const Variant& AValue, const TrpFormat* AFormat)
{
    const TrpFormat* format = AFormat ? AFormat : DisplayFormat();
    if (AValue.IsNull() || AValue.IsEmpty())
        return QString();
    try {
        switch (format->Kind()) {
        case fkText:
            break;
        case fkNumeric:
            return FormatNumber(AValue, *format);
        case fkDateTime:
            return scFormatDateTime(format->FormatStr(), AValue.AsDouble());
        case fkBoolean: {
            const QString f = format->FormatStr();
            const qsizetype comma = f.indexOf(QLatin1Char(','));
            const bool yes = IsTrue(AValue);
            if (comma < 0)
                return yes ? QString() : f;
            return yes ? f.mid(comma + 1) : f.left(comma);
        }
        }
    } catch (const EPelmoraError&) {
        // Falls back to the default conversion below.
    }
    return rpValueToText(AValue);
}

// ------------------------------------------------------------- macros

namespace {

QString ReplaceMacros(QString Text, int TotalPages, int CopyNo)
{
    Text.replace(QLatin1String("[TOTALPAGES#]"), QString::number(TotalPages), Qt::CaseInsensitive);
    if (Text.contains(QLatin1String("[COPYNAME#]"), Qt::CaseInsensitive))
        Text.replace(QLatin1String("[COPYNAME#]"),
            rpGlobalVariables().Value(QStringLiteral("CopyName%1").arg(CopyNo)), Qt::CaseInsensitive);
    return Text;
}

} // namespace

void TrpCustomMemoView::ExtractMacros()
{
    if (IsDesigning() || !AllowExpressions())
        return;
    const QString text = Text();
    const QString replaced = ReplaceMacros(text, TotalPages, CopyNo);
    if (replaced != text)
        SetText(replaced);
}

QString TrpCustomMemoView::GetComponentText() const
{
    return AllowExpressions() ? ReplaceMacros(Text(), TotalPages, CopyNo) : Text();
}

// ------------------------------------------------------------- highlights

void TrpCustomMemoView::ApplyHighlight(TrpHighlight* AHighlight)
{
    if (!AHighlight)
        return;
    UndoHighlight();
    TempFont = *Font();
    TempParentFont = ParentFont();
    TempFill = Fill()->Clone();
    TempFrame = *Frame();
    TempVisible = Visible();
    HighlightActivated = true;
    if (AHighlight->ApplyFont())
        SetFont(*AHighlight->Font());
    if (AHighlight->ApplyFill())
        SetFill(*AHighlight->Fill());
    if (AHighlight->ApplyFrame())
        *Frame() = *AHighlight->Frame();
    SetVisible(AHighlight->Visible());
}

void TrpCustomMemoView::UndoHighlight()
{
    if (!HighlightActivated)
        return;
    SetFont(TempFont);
    SetParentFont(TempParentFont);
    if (TempFill)
        SetFill(*TempFill);
    *Frame() = TempFrame;
    SetVisible(TempVisible);
    HighlightActivated = false;
}

void TrpCustomMemoView::ApplyStyle(TrpStyleItem* AStyle)
{
    if (!AStyle)
        return;
    if (AStyle->ApplyFont())
        SetFont(*AStyle->Font());
    if (AStyle->ApplyFill())
        SetFill(*AStyle->Fill());
    if (AStyle->ApplyFrame())
        *Frame() = *AStyle->Frame();
}
