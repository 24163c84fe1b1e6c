// Filter text parser: a hand-written scanner over the grammar in the header.
// Invariant: Parse either returns at least one complete condition covering
// the whole text or throws; no part of the text is ever interpreted as
// anything but a name, an operator or a literal.
#include "FilterExpression.h"
#include "PelmoraError.h"

namespace {

class TScanner {
public:
    explicit TScanner(const QString& text)
        : FText(text)
    {
    }

    [[noreturn]] void Fail(const QString& what) const
    {
        throw EDatabaseError(
            QStringLiteral("Invalid filter \"%1\": %2 at position %3").arg(FText, what).arg(FPos + 1));
    }

    void SkipBlanks()
    {
        while (FPos < FText.size() && FText[FPos].isSpace())
            ++FPos;
    }

    bool AtEnd()
    {
        SkipBlanks();
        return FPos >= FText.size();
    }

    QString Name()
    {
        SkipBlanks();
        const qsizetype start = FPos;
        while (FPos < FText.size() && (FText[FPos].isLetterOrNumber() || FText[FPos] == QLatin1Char('_')))
            ++FPos;
        if (FPos == start || FText[start].isDigit())
            Fail(QStringLiteral("field name expected"));
        return FText.mid(start, FPos - start);
    }

    TCompareOp Operator()
    {
        SkipBlanks();
        const QStringView rest = QStringView(FText).mid(FPos);
        static const std::pair<const char*, TCompareOp> ops[] = { { "<>", TCompareOp::NotEqual },
            { "<=", TCompareOp::LessEqual }, { ">=", TCompareOp::GreaterEqual }, { "=", TCompareOp::Equal },
            { "<", TCompareOp::Less }, { ">", TCompareOp::Greater } };
        for (const auto& [symbol, op] : ops) {
            if (rest.startsWith(QLatin1String(symbol))) {
                FPos += qsizetype(qstrlen(symbol));
                return op;
            }
        }
        Fail(QStringLiteral("comparison operator expected"));
    }

    TDbValue Literal()
    {
        SkipBlanks();
        if (FPos < FText.size() && FText[FPos] == QLatin1Char('\''))
            return QuotedText();
        const qsizetype start = FPos;
        if (FPos < FText.size() && FText[FPos] == QLatin1Char('-'))
            ++FPos;
        while (FPos < FText.size() && FText[FPos].isDigit())
            ++FPos;
        bool ok = false;
        const qlonglong v = FText.mid(start, FPos - start).toLongLong(&ok);
        if (!ok) {
            FPos = start;
            Fail(QStringLiteral("quoted text or number expected"));
        }
        return TDbValue::Integer(v);
    }

    // "AND" followed by a blank or the end; false at the end of the text.
    bool And()
    {
        if (AtEnd())
            return false;
        const qsizetype start = FPos;
        if (Name().compare(QLatin1String("AND"), Qt::CaseInsensitive) != 0) {
            FPos = start;
            Fail(QStringLiteral("AND or end of text expected"));
        }
        return true;
    }

private:
    TDbValue QuotedText()
    {
        const qsizetype start = FPos++;
        QString text;
        while (FPos < FText.size()) {
            if (FText[FPos] == QLatin1Char('\'')) {
                if (FPos + 1 < FText.size() && FText[FPos + 1] == QLatin1Char('\'')) {
                    text += QLatin1Char('\'');
                    FPos += 2;
                    continue;
                }
                ++FPos;
                return TDbValue::Text(text);
            }
            text += FText[FPos++];
        }
        FPos = start;
        Fail(QStringLiteral("unterminated quoted text"));
    }

    const QString& FText;
    qsizetype FPos = 0;
};

} // namespace

TFilterExpression TFilterExpression::Parse(const QString& text)
{
    TScanner scan(text);
    TFilterExpression result;
    if (scan.AtEnd())
        scan.Fail(QStringLiteral("empty filter"));
    do {
        TFilterCondition c;
        c.FieldName = scan.Name();
        c.Op = scan.Operator();
        c.Literal = scan.Literal();
        result.FConditions.push_back(std::move(c));
    } while (scan.And());
    return result;
}

bool TFilterExpression::Holds(TCompareOp op, int comparison)
{
    switch (op) {
    case TCompareOp::Equal:
        return comparison == 0;
    case TCompareOp::NotEqual:
        return comparison != 0;
    case TCompareOp::Less:
        return comparison < 0;
    case TCompareOp::LessEqual:
        return comparison <= 0;
    case TCompareOp::Greater:
        return comparison > 0;
    case TCompareOp::GreaterEqual:
        return comparison >= 0;
    }
    return false;
}
