// Private-profile INI reader and writer.
//
// Format, line by line (lines end in LF or CR LF; the last may have no end):
//   "[" name "]"     a section header; blanks around the brackets and the name are ignored
//   name "=" value   a key line; blanks around the name and the value are ignored
//   anything else    kept but ignored (comments, blank lines)
// Names compare case-insensitively; the first matching section and key win.
//
// Invariant of the writer: the new file is the old file with exactly one key
// line replaced, or one key line inserted after the last non-blank line of
// the section, or one section appended at the end. New lines use the line
// ending the file already uses (LF for a new file). Text is UTF-8 (the
// decoder drops a byte-order mark that an editor put at the start).
// What is written reads back as written: a value whose ends reading would
// change goes inside quotes, and names or values no line could hold (line
// breaks, a key with "=") are refused instead of spilling into other lines.
#include "PrivateProfile.h"
#include "PelmoraError.h"
#include <QFile>
#include <QSaveFile>
#include <optional>

namespace {

struct TLine {
    qsizetype Begin; // offset of the first byte
    qsizetype End; // offset after the text, before the line ending
    qsizetype Next; // offset of the next line
};

std::vector<TLine> SplitLines(const QByteArray& data)
{
    std::vector<TLine> lines;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype nl = data.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? data.size() : nl + 1;
        qsizetype end = nl < 0 ? data.size() : nl;
        // Only CR LF ends a line; a CR at the very end of the file is text,
        // so a key written after that line still gets a line end of its own.
        if (nl >= 0 && end > pos && data[end - 1] == '\r')
            --end;
        lines.push_back({ pos, end, next });
        pos = next;
    }
    return lines;
}

QString LineText(const QByteArray& data, const TLine& line)
{
    return QString::fromUtf8(data.constData() + line.Begin, line.End - line.Begin).trimmed();
}

// Section name when the line is a header.
std::optional<QString> SectionName(const QString& text)
{
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        return text.mid(1, text.size() - 2).trimmed();
    return std::nullopt;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Key name and raw value when the line is a key line.
std::optional<std::pair<QString, QString>> KeyLine(const QString& text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0 || text.startsWith(QLatin1Char(';')))
        return std::nullopt;
    return std::make_pair(text.left(eq).trimmed(), text.mid(eq + 1).trimmed());
}

struct TLocation {
    std::optional<size_t> SectionLine; // header line of the section
    std::optional<size_t> KeyLine; // the key's line inside it
    size_t LastContent = 0; // last non-blank line of the section
};

TLocation Locate(
    const QByteArray& data, const std::vector<TLine>& lines, const QString& section, const QString& key)
{
    TLocation at;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QString text = LineText(data, lines[i]);
        if (const auto name = SectionName(text)) {
            if (at.SectionLine)
                break; // the first matching section ended
            inside = SameName(*name, section);
            if (inside)
                at.SectionLine = at.LastContent = i;
            continue;
        }
        if (!inside || text.isEmpty())
            continue;
        at.LastContent = i;
        if (const auto kv = KeyLine(text); kv && SameName(kv->first, key)) {
            at.KeyLine = i;
            break;
        }
    }
    return at;
}

bool IsQuoted(const QString& value)
{
    return value.size() >= 2
        && ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            || (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\''))));
}

bool HasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// Why the key line cannot be written so that it reads back; empty when it can.
QString Unstorable(const QString& section, const QString& key, const QString& value)
{
    if (HasLineBreak(section) || section != section.trimmed())
        return QStringLiteral("the section name \"%1\" cannot be stored").arg(section);
    if (key.isEmpty() || HasLineBreak(key) || key != key.trimmed() || key.contains(QLatin1Char('='))
        || key.startsWith(QLatin1Char(';')) || key.startsWith(QLatin1Char('[')))
        return QStringLiteral("the key name \"%1\" cannot be stored").arg(key);
    if (HasLineBreak(value))
        return QStringLiteral("the value of %1 holds a line break").arg(key);
    return QString();
}

// Blanks at the ends or a pair of enclosing quotes would be lost on reading;
// the quotes around such a value are what reading removes.
QString StoredValue(const QString& value)
{
    return value != value.trimmed() || IsQuoted(value) ? QLatin1Char('"') + value + QLatin1Char('"') : value;
}

QByteArray LineEnding(const QByteArray& data)
{
    const qsizetype nl = data.indexOf('\n');
    return nl > 0 && data[nl - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

} // namespace

QString GetPrivateProfileString(
    const QString& section, const QString& key, const QString& defaultValue, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const QByteArray data = file.readAll();
    const std::vector<TLine> lines = SplitLines(data);
    const TLocation at = Locate(data, lines, section, key);
    if (!at.KeyLine)
        return defaultValue;
    QString value = KeyLine(LineText(data, lines[*at.KeyLine]))->second;
    if (IsQuoted(value))
        value = value.mid(1, value.size() - 2);
    return value;
}

void WritePrivateProfileString(
    const QString& section, const QString& key, const QString& value, const QString& fileName)
{
    if (const QString why = Unstorable(section, key, value); !why.isEmpty())
        throw EPelmoraError(QStringLiteral("Unable to write to %1: %2").arg(fileName, why));
    QByteArray data;
    QFile existing(fileName);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            throw EPelmoraError(QStringLiteral("Unable to write to %1").arg(fileName));
        data = existing.readAll();
        existing.close();
    }
    const std::vector<TLine> lines = SplitLines(data);
    const TLocation at = Locate(data, lines, section, key);
    const QByteArray eol = LineEnding(data);
    const QByteArray keyLine = (key + QLatin1Char('=') + StoredValue(value)).toUtf8();

    QByteArray out;
    if (at.KeyLine) {
        const TLine& l = lines[*at.KeyLine];
        out = data.left(l.Begin) + keyLine + data.mid(l.End);
    } else if (at.SectionLine) {
        const TLine& l = lines[at.LastContent];
        // A section whose last line has no line ending gets one before the new key.
        const bool ended = l.Next > l.End;
        out = data.left(l.Next) + (ended ? QByteArray() : eol) + keyLine + eol + data.mid(l.Next);
    } else {
        out = data;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += eol;
        out += '[' + section.toUtf8() + ']' + eol + keyLine + eol;
    }

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
        throw EPelmoraError(QStringLiteral("Unable to write to %1").arg(fileName));
}
