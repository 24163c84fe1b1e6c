// Reading cell texts as numbers and dates for the workbook, and the short
// date format turned into the workbook's number-format notation.
// Invariant: a text is read as a number or a date only when the cell then
// shows exactly that text again, so the export never changes what the user
// sees; anything doubtful stays text.
#include "CellTextReader.h"

namespace {

// Characters that stand for themselves in a number format.
bool PlainFormatCharacter(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char(',')
        || c == QLatin1Char(':') || c == QLatin1Char(' ');
}

// Reads up to maxDigits (at least minDigits) decimal digits at pos.
bool ReadDigits(const QString& text, qsizetype& pos, int minDigits, int maxDigits, int& value)
{
    value = 0;
    int count = 0;
    while (count < maxDigits && pos < text.size() && text[pos] >= QLatin1Char('0')
        && text[pos] <= QLatin1Char('9')) {
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++count;
    }
    return count >= minDigits;
}

} // namespace

TCellTextReader::TCellTextReader(const QLocale& locale)
    : FLocale(locale)
    , FQtFormat(locale.dateFormat(QLocale::ShortFormat))
{
    // Split the format into runs of one pattern letter and literal text.
    const QString& f = FQtFormat;
    for (qsizetype i = 0; i < f.size();) {
        const QChar c = f[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text; '' is one quote.
            QString literal;
            qsizetype j = i + 1;
            if (j < f.size() && f[j] == QLatin1Char('\'')) {
                literal = QStringLiteral("'");
                j += 1;
            } else {
                while (j < f.size()) {
                    if (f[j] == QLatin1Char('\'')) {
                        if (j + 1 < f.size() && f[j + 1] == QLatin1Char('\'')) {
                            literal += QLatin1Char('\'');
                            j += 2;
                            continue;
                        }
                        ++j;
                        break;
                    }
                    literal += f[j++];
                }
            }
            FTokens.push_back({ TToken::Literal, 0, literal });
            i = j;
            continue;
        }
        if (c.isLetter()) {
            qsizetype j = i;
            while (j < f.size() && f[j] == c)
                ++j;
            const int run = int(j - i);
            const QString pattern = f.mid(i, run);
            TToken token { TToken::Other, 0, pattern };
            if (c == QLatin1Char('d') && run <= 2)
                token = { TToken::Day, run, {} };
            else if (c == QLatin1Char('M') && run <= 2)
                token = { TToken::Month, run, {} };
            else if (c == QLatin1Char('y') && run == 2)
                token = { TToken::Year2, 2, {} };
            else if (c == QLatin1Char('y') && run == 4)
                token = { TToken::Year4, 4, {} };
            FTokens.push_back(token);
            i = j;
            continue;
        }
        FTokens.push_back({ TToken::Literal, 0, QString(c) });
        ++i;
    }

    for (const TToken& token : FTokens) {
        switch (token.Kind) {
        case TToken::Literal:
            for (QChar c : token.Text) {
                if (!PlainFormatCharacter(c))
                    FDateFormat += QLatin1Char('\\');
                FDateFormat += c;
            }
            break;
        case TToken::Day:
            FDateFormat += QString(token.Width, QLatin1Char('d'));
            break;
        case TToken::Month:
            FDateFormat += QString(token.Width, QLatin1Char('m'));
            break;
        case TToken::Year2:
            FDateFormat += QStringLiteral("yy");
            break;
        case TToken::Year4:
            FDateFormat += QStringLiteral("yyyy");
            break;
        case TToken::Other:
            FNumericFormat = false;
            // Day and month names: the notation is the same but for the month letter.
            FDateFormat += token.Text.front() == QLatin1Char('M') ? token.Text.toLower() : token.Text;
            break;
        }
    }
}

TCellReading TCellTextReader::Read(const QString& text) const
{
    TCellReading reading;
    const qsizetype n = text.size();
    const qsizetype first = n > 0 && text[0] == QLatin1Char('-') ? 1 : 0;
    const qsizetype digits = n - first;
    if (digits >= 1 && digits <= 15 && !(digits > 1 && text[first] == QLatin1Char('0'))
        && !(first == 1 && text == QLatin1String("-0"))) {
        bool allDigits = true;
        for (qsizetype i = first; i < n && allDigits; ++i)
            allDigits = text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9');
        if (allDigits) {
            reading.Kind = TCellReading::TKind::Number;
            reading.Number = double(text.toLongLong());
            return reading;
        }
    }
    if (ReadDate(text, reading.Date))
        reading.Kind = TCellReading::TKind::Date;
    return reading;
}

bool TCellTextReader::ReadDate(const QString& text, QDate& date) const
{
    if (text.isEmpty() || !text[0].isLetterOrNumber())
        return false;
    if (FNumericFormat) {
        int day = -1, month = -1, year = -1;
        qsizetype pos = 0;
        for (const TToken& token : FTokens) {
            switch (token.Kind) {
            case TToken::Literal:
                if (!QStringView(text).mid(pos).startsWith(token.Text))
                    return false;
                pos += token.Text.size();
                break;
            case TToken::Day:
                if (!ReadDigits(text, pos, token.Width, 2, day))
                    return false;
                break;
            case TToken::Month:
                if (!ReadDigits(text, pos, token.Width, 2, month))
                    return false;
                break;
            case TToken::Year2:
                if (!ReadDigits(text, pos, 2, 2, year))
                    return false;
                year += year < 30 ? 2000 : 1900;
                break;
            case TToken::Year4:
                if (!ReadDigits(text, pos, 4, 4, year))
                    return false;
                break;
            case TToken::Other:
                return false;
            }
        }
        if (pos != text.size() || day < 0 || month < 0 || year < 0)
            return false;
        date = QDate(year, month, day);
    } else {
        date = FLocale.toDate(text, FQtFormat);
    }
    return date.isValid() && date.year() >= 1900 && date.year() <= 9999
        && FLocale.toString(date, FQtFormat) == text;
}
