// The lexer: white space and comments, identifiers, keywords, punctuation,
// numbers, strings, the `<...>` reference scan and position texts.
//
// Invariants: the text always ends with one NUL character that no reader
// consumes, so every reader may look one character ahead without a bounds
// test; a reader that fails leaves the position unchanged.

#include "sc_iparser.h"

#include <algorithm>

TscParser::TscParser()
{
    SetText(QString());
}

QStringList TscParser::SortKeywords(QStringList keywords, bool caseSensitive)
{
    keywords.sort(caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    keywords.removeDuplicates();
    return keywords;
}

void TscParser::SetKeywords(const QStringList& keywords)
{
    FKeywords = SortKeywords(keywords, CaseSensitive);
}

bool TscParser::IsPunctuation(int pos) const
{
    const ushort u = At(pos).unicode();
    return pos < FLength
        && ((u >= 33 && u <= 47) || (u >= 58 && u <= 64) || (u >= 91 && u <= 96) || (u >= 123 && u <= 126));
}

bool TscParser::IsKeyword(QStringView word) const
{
    const Qt::CaseSensitivity cs = CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    auto it = std::lower_bound(FKeywords.cbegin(), FKeywords.cend(), word,
        [cs](const QString& k, QStringView w) { return QStringView(k).compare(w, cs) < 0; });
    return it != FKeywords.cend() && QStringView(*it).compare(word, cs) == 0;
}

int TscParser::WordEnd(int pos) const
{
    if (pos >= FLength || !IsIdentStart(At(pos)))
        return pos;
    int p = pos + 1;
    while (p < FLength && IsIdentChar(At(p)))
        ++p;
    return p;
}

void TscParser::SetText(const QString& text)
{
    FText = text;
    FText.append(QChar(0));
    FLength = static_cast<int>(text.size());
    FPosition = 0;
    FLineStarts.assign(1, 0);
    for (int i = 0; i < FLength; ++i)
        if (FText.at(i) == QLatin1Char('\n'))
            FLineStarts.push_back(i + 1);
    FBlockOpen.clear();
    FBlockClose.clear();
    FCommentStarts.clear();
    for (const QString* opener : { &CommentLine1, &CommentLine2 })
        if (!opener->isEmpty())
            FCommentStarts.append(opener->at(0));
    for (const QString* block : { &CommentBlock1, &CommentBlock2 }) {
        const int comma = static_cast<int>(block->indexOf(QLatin1Char(',')));
        if (comma > 0 && comma < block->size() - 1) {
            FBlockOpen.append(block->left(comma));
            FBlockClose.append(block->mid(comma + 1));
            FCommentStarts.append(block->at(0));
        }
    }
}

bool TscParser::Matches(int pos, const QString& what) const
{
    if (what.isEmpty() || pos + what.size() > FLength)
        return false;
    return QStringView(FText).mid(pos, what.size()) == what;
}

bool TscParser::SkipComment()
{
    if (FPosition >= FLength - 1 || !FCommentStarts.contains(At(FPosition)))
        return false;
    for (const QString* opener : { &CommentLine1, &CommentLine2 }) {
        if (Matches(FPosition, *opener)) {
            while (FPosition < FLength && At(FPosition) != QLatin1Char('\n'))
                ++FPosition;
            return true;
        }
    }
    for (int i = 0; i < FBlockOpen.size(); ++i) {
        if (Matches(FPosition, FBlockOpen[i])) {
            FPosition += static_cast<int>(FBlockOpen[i].size());
            while (FPosition < FLength && !Matches(FPosition, FBlockClose[i]))
                ++FPosition;
            FPosition = std::min(FLength, FPosition + static_cast<int>(FBlockClose[i].size()));
            return true;
        }
    }
    return false;
}

void TscParser::SkipSpaces()
{
    for (;;) {
        while (FPosition < FLength && At(FPosition).unicode() <= 32) {
            if (!SkipEOL && At(FPosition) == QLatin1Char('\r'))
                break;
            ++FPosition;
        }
        if (!SkipChar.isEmpty() && Matches(FPosition, SkipChar)) {
            // a continuation character hides the line end that follows it
            int p = FPosition + static_cast<int>(SkipChar.size());
            while (p < FLength && At(p).unicode() <= 32 && At(p) != QLatin1Char('\n'))
                ++p;
            if (At(p) == QLatin1Char('\n')) {
                FPosition = p + 1;
                continue;
            }
        }
        if (!SkipComment())
            return;
    }
}

bool TscParser::IsIdentStart(QChar c) const
{
    const ushort u = c.unicode();
    if (u >= 127)
        return true;
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || (u > 32 && IdentChars.contains(c));
}

bool TscParser::IsIdentChar(QChar c) const
{
    const ushort u = c.unicode();
    return IsIdentStart(c) || (u >= '0' && u <= '9');
}

QString TscParser::GetWord()
{
    const int start = FPosition;
    FPosition = WordEnd(start);
    return FText.mid(start, FPosition - start);
}

QString TscParser::GetIdent()
{
    const int start = FPosition;
    QString word = GetWord();
    if (!word.isEmpty() && IsKeyword(word)) {
        FPosition = start;
        return QString();
    }
    return word;
}

QString TscParser::GetChar()
{
    if (!IsPunctuation(FPosition))
        return QString();
    return QString(At(FPosition++));
}

bool TscParser::GetEOL()
{
    int p = FPosition;
    while (p < FLength && At(p).unicode() <= 32 && At(p) != QLatin1Char('\n') && At(p) != QLatin1Char('\r'))
        ++p;
    if (At(p) == QLatin1Char('\r'))
        ++p;
    if (At(p) == QLatin1Char('\n')) {
        FPosition = p + 1;
        return true;
    }
    if (p >= FLength) {
        FPosition = p;
        return true;
    }
    return false;
}

namespace {
bool IsDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}
bool IsHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return IsDigit(c) || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}
} // namespace

// An unsigned integer at pos: hex after the language's prefix, or decimal.
// Advances pos past it; returns the text with the prefix written as "$".
QString TscParser::ReadUnsigned(int& pos) const
{
    int p = pos;
    if (Matches(p, HexSequence)) {
        p += static_cast<int>(HexSequence.size());
        const int digits = p;
        while (IsHexDigit(At(p)))
            ++p;
        if (p == digits)
            return QString();
        const QString text = QLatin1Char('$') + FText.mid(digits, p - digits);
        pos = p;
        return text;
    }
    while (IsDigit(At(p)))
        ++p;
    if (p == pos)
        return QString();
    const QString text = FText.mid(pos, p - pos);
    pos = p;
    return text;
}

QString TscParser::GetNumber()
{
    int p = FPosition;
    QString text = ReadUnsigned(p);
    if (text.isEmpty())
        return QString();
    if (!text.startsWith(QLatin1Char('$'))) {
        if (At(p) == QLatin1Char('.') && IsDigit(At(p + 1))) {
            const int start = p;
            p += 2;
            while (IsDigit(At(p)))
                ++p;
            text += FText.mid(start, p - start);
        }
        if (At(p) == QLatin1Char('e') || At(p) == QLatin1Char('E')) {
            int q = p + 1;
            if (At(q) == QLatin1Char('+') || At(q) == QLatin1Char('-'))
                ++q;
            if (IsDigit(At(q))) {
                while (IsDigit(At(q)))
                    ++q;
                text += FText.mid(p, q - p);
                p = q;
            }
        }
    }
    FPosition = p;
    return text;
}

QString TscParser::GetString()
{
    if (StringQuotes.isEmpty())
        return QString();
    const QChar quote = StringQuotes.at(0);
    int p = FPosition;
    QString value;
    bool pieces = false;
    for (;;) {
        if (At(p) == quote) {
            ++p;
            for (;;) {
                const QChar c = At(p);
                const ushort u = c.unicode();
                if (u <= 8 || (u >= 10 && u <= 31))
                    return QString(); // unterminated run (the final NUL ends here too)
                if (c == quote) {
                    if (At(p + 1) == quote) {
                        value += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                if (SpecStrChar && c == QLatin1Char('\\')) {
                    const QChar n = At(p + 1);
                    if (n.unicode() == 0)
                        return QString();
                    if (n == QLatin1Char('n')) {
                        value += QLatin1Char('\n');
                        p += 2;
                    } else if (n == QLatin1Char('r')) {
                        value += QLatin1Char('\r');
                        p += 2;
                    } else if (n == QLatin1Char('x') && IsHexDigit(At(p + 2)) && IsHexDigit(At(p + 3))) {
                        value += QChar(FText.mid(p + 2, 2).toUShort(nullptr, 16));
                        p += 4;
                    } else {
                        value += n;
                        p += 2;
                    }
                    continue;
                }
                // copy the plain run up to the next quote, escape or control character at once
                int q = p + 1;
                while (At(q) != quote && At(q).unicode() > 31 && !(SpecStrChar && At(q) == QLatin1Char('\\')))
                    ++q;
                value.append(QStringView(FText).mid(p, q - p));
                p = q;
            }
            pieces = true;
        } else if (At(p) == QLatin1Char('#')) {
            int q = p + 1;
            const QString code = ReadUnsigned(q);
            if (code.isEmpty())
                break;
            bool ok = false;
            const uint u
                = code.startsWith(QLatin1Char('$')) ? code.mid(1).toUInt(&ok, 16) : code.toUInt(&ok, 10);
            if (!ok || u > 0x10FFFF)
                return QString();
            value += QString::fromUcs4(reinterpret_cast<const char32_t*>(&u), 1);
            p = q;
            pieces = true;
        } else {
            break;
        }
    }
    if (!pieces)
        return QString();
    FPosition = p;
    return quote + value + quote;
}

QString TscParser::GetRpString()
{
    int p = FPosition;
    int depth = 1;
    bool inSingle = false, inDouble = false;
    for (; p < FLength; ++p) {
        const QChar c = At(p);
        if (c == QLatin1Char('\'') && !inDouble)
            inSingle = !inSingle;
        else if (c == QLatin1Char('"') && !inSingle)
            inDouble = !inDouble;
        else if (inSingle || inDouble)
            continue;
        else if (c == QLatin1Char('<') || c == QLatin1Char('['))
            ++depth;
        else if ((c == QLatin1Char('>') || c == QLatin1Char(']')) && --depth == 0)
            break;
    }
    const QString token = FText.mid(FPosition, p - FPosition);
    FPosition = p;
    return token;
}

QString TscParser::PositionText(int position) const
{
    auto it = std::upper_bound(FLineStarts.begin(), FLineStarts.end(), position);
    const int line = static_cast<int>(it - FLineStarts.begin());
    const int column = position - FLineStarts[line - 1] + 1;
    // written by hand: this runs for every element of every IL document
    char buf[24];
    char* p = buf + sizeof buf;
    auto put = [&p](int v) {
        do {
            *--p = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v > 0);
    };
    put(column);
    *--p = ':';
    put(line);
    return QString::fromLatin1(p, static_cast<qsizetype>(buf + sizeof buf - p));
}

int TscParser::PositionOf(const QString& positionText) const
{
    const int colon = static_cast<int>(positionText.indexOf(QLatin1Char(':')));
    bool ok1 = false, ok2 = false;
    const int line = positionText.left(colon).toInt(&ok1);
    const int column = positionText.mid(colon + 1).toInt(&ok2);
    if (colon < 0 || !ok1 || !ok2 || line < 1 || line > static_cast<int>(FLineStarts.size()) || column < 1)
        return -1;
    return std::min(FLineStarts[line - 1] + column - 1, FLength);
}
