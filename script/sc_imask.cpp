// Edit-mask display text. The mask is read once into a row of places (input
// or literal, each with its case rule); the value is then laid into it from
// the left, or, with "!", from the right by laying both backwards. Every place
// gives exactly one character, so the text has the mask's width whatever the
// value's length.

#include "sc_imask.h"

#include <QStringList>
#include <algorithm>
#include <vector>

namespace {

enum TMaskCase { mcNone, mcUpper, mcLower };

struct TMaskPlace {
    bool Input;
    QChar Literal;
    TMaskCase Case;
};

struct TMask {
    std::vector<TMaskPlace> Places;
    bool FromRight = false;
    bool SaveLiterals = true;
    QChar Blank = QLatin1Char('_');
};

TMask ParseMask(const QString& editMask)
{
    TMask m;
    const int n = static_cast<int>(editMask.size());
    int i = 0;
    TMaskCase mode = mcNone;
    for (; i < n && editMask[i] != QLatin1Char(';'); ++i) {
        const QChar c = editMask[i];
        switch (c.unicode()) {
        case '!':
            m.FromRight = true;
            break;
        case '>':
            mode = mcUpper;
            break;
        case '<':
            if (i + 1 < n && editMask[i + 1] == QLatin1Char('>')) {
                mode = mcNone;
                ++i;
            } else {
                mode = mcLower;
            }
            break;
        case '\\':
            if (i + 1 < n)
                m.Places.push_back({ false, editMask[++i], mcNone });
            break;
        case '_':
            m.Places.push_back({ false, QLatin1Char(' '), mcNone });
            break;
        case '0':
        case '9':
        case '#':
        case 'L':
        case 'l':
        case 'A':
        case 'a':
        case 'C':
        case 'c':
            m.Places.push_back({ true, QChar(), mode });
            break;
        default:
            m.Places.push_back({ false, c, mcNone });
            break;
        }
    }
    const QStringList rest = editMask.mid(i + 1).split(QLatin1Char(';'));
    if (i < n) {
        m.SaveLiterals = !rest.value(0).startsWith(QLatin1Char('0'));
        if (rest.size() > 1 && !rest[1].isEmpty())
            m.Blank = rest[1].at(0);
    }
    return m;
}

QChar Cased(QChar c, TMaskCase mode)
{
    return mode == mcUpper ? c.toUpper() : (mode == mcLower ? c.toLower() : c);
}

// Lays value into places from the first one on. With the literals saved, a
// value character at a literal place is taken as that literal when it is the
// same character or a separator of some other kind; a letter or digit there
// is kept for the next input place, so a value typed without its literals
// still lands right.
QString Lay(const std::vector<TMaskPlace>& places, const QString& value, bool saveLiterals, QChar blank)
{
    QString out;
    out.reserve(static_cast<qsizetype>(places.size()));
    int v = 0;
    const int n = static_cast<int>(value.size());
    for (const TMaskPlace& p : places) {
        if (p.Input) {
            out += v < n ? Cased(value[v++], p.Case) : blank;
            continue;
        }
        out += p.Literal;
        if (saveLiterals && v < n && (value[v] == p.Literal || !value[v].isLetterOrNumber()))
            ++v;
    }
    return out;
}

} // namespace

QString scFormatMaskText(const QString& EditMask, const QString& Value)
{
    TMask m = ParseMask(EditMask);
    if (m.Places.empty())
        return Value;
    if (!m.FromRight)
        return Lay(m.Places, Value, m.SaveLiterals, m.Blank);
    std::reverse(m.Places.begin(), m.Places.end());
    QString reversed = Value;
    std::reverse(reversed.begin(), reversed.end());
    QString out = Lay(m.Places, reversed, m.SaveLiterals, m.Blank);
    std::reverse(out.begin(), out.end());
    return out;
}
