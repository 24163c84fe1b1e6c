// The shared text layout: tag parsing, measuring at 600 dpi, word wrap and
// hyphenation, the figures the band engine asks for (height, width, the cut
// of a split) and the output of the laid-out lines on any device.
//
// Invariants:
//   1. Layout depends only on the 600-dpi advances, never on the device, so
//      every device breaks the lines at the same characters.
//   2. Every wrapped line lies inside one paragraph: Start + Length never
//      passes the paragraph's text; a hyphenated line adds its "-" outside.
//   3. A paragraph has at least one style run and its runs are sorted by
//      Start, the first one starting at 0.
//   4. Advances are cached per font (family, pixel height, bold, italic) and
//      read under the process-wide lock, which every caller holds.
#include "rpGraphicUtils.h"

#include "rpRecordingCanvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <mutex>
#include <unordered_map>

// ------------------------------------------------------------ font cache

// Rounded advances of one font at one pixel height, filled on demand in
// pages of 256 code units, and the raw font that draws its glyphs.
class TrpFontMetricsCache {
public:
    TrpFontMetricsCache(const QString& Family, int PixelSize, bool Bold, bool Italic)
    {
        FFont.setFamily(Family);
        FFont.setPixelSize(std::max(1, PixelSize));
        FFont.setBold(Bold);
        FFont.setItalic(Italic);
        // Unhinted advances are the font's design widths scaled, the same on
        // every machine.
        FFont.setHintingPreference(QFont::PreferNoHinting);
        FFont.setKerning(false);
        FMetrics = std::make_unique<QFontMetricsF>(FFont, MeasuringDevice());
    }

    int Advance(char16_t C)
    {
        auto& page = FPages[C >> 8];
        if (!page) {
            page = std::make_unique<int[]>(256);
            std::fill_n(page.get(), 256, -1);
        }
        int& a = page[C & 0xFF];
        if (a < 0) {
            if (QChar::isSurrogate(C))
                a = 0; // measured as a pair by Advance(QString)
            else
                a = int(rpRound(FMetrics->horizontalAdvance(QChar(C))));
        }
        return a;
    }
    // A character outside the basic plane, from its two code units.
    int PairAdvance(char16_t High, char16_t Low) const
    {
        const QChar pair[2] = { QChar(High), QChar(Low) };
        return int(rpRound(FMetrics->horizontalAdvance(QString(pair, 2))));
    }

    const QFont& Font() const { return FFont; }
    const QRawFont& Raw()
    {
        if (!FRawMade) {
            FRaw = QRawFont::fromFont(FFont);
            FRawMade = true;
            FAscent = FRaw.isValid() ? int(rpRound(FRaw.ascent())) : int(rpRound(FMetrics->ascent()));
        }
        return FRaw;
    }
    int Ascent()
    {
        Raw();
        return FAscent;
    }

    // The private 600-dpi canvas the measuring fonts are bound to.
    static QPaintDevice* MeasuringDevice()
    {
        static QImage bmp = [] {
            QImage i(1, 1, QImage::Format_RGB32);
            const int dpm = int(rpRound(600 / 0.0254L));
            i.setDotsPerMeterX(dpm);
            i.setDotsPerMeterY(dpm);
            return i;
        }();
        return &bmp;
    }

private:
    QFont FFont;
    std::unique_ptr<QFontMetricsF> FMetrics;
    std::unique_ptr<int[]> FPages[256];
    QRawFont FRaw;
    bool FRawMade = false;
    int FAscent = 0;
};

namespace {

std::recursive_mutex& DrawTextLock()
{
    static std::recursive_mutex m;
    return m;
}

struct FontKey {
    QString Family;
    int PixelSize;
    bool Bold, Italic;
    bool operator==(const FontKey& O) const
    {
        return PixelSize == O.PixelSize && Bold == O.Bold && Italic == O.Italic && Family == O.Family;
    }
};
struct FontKeyHash {
    size_t operator()(const FontKey& K) const
    {
        return qHash(K.Family) ^ (size_t(K.PixelSize) << 2) ^ (K.Bold ? 1 : 0) ^ (K.Italic ? 2 : 0);
    }
};

// Only read and written under the process-wide lock.
TrpFontMetricsCache* FontCache(const QString& Family, int PixelSize, bool Bold, bool Italic)
{
    static std::unordered_map<FontKey, std::unique_ptr<TrpFontMetricsCache>, FontKeyHash> cache;
    static FontKey lastKey { QString(), -1, false, false };
    static TrpFontMetricsCache* last = nullptr;
    FontKey key { Family, PixelSize, Bold, Italic };
    if (last && key == lastKey)
        return last;
    auto& slot = cache[key];
    if (!slot)
        slot = std::make_unique<TrpFontMetricsCache>(Family, PixelSize, Bold, Italic);
    lastKey = key;
    last = slot.get();
    return last;
}

// ------------------------------------------------------------ colours

struct NamedColor {
    const char* Name;
    TrpColor Color;
};
// Colour names as tags write them, without their "cl" prefix.
constexpr NamedColor ColorNames[] = {
    { "black", 0x000000 },
    { "maroon", 0x000080 },
    { "green", 0x008000 },
    { "olive", 0x008080 },
    { "navy", 0x800000 },
    { "purple", 0x800080 },
    { "teal", 0x808000 },
    { "gray", 0x808080 },
    { "silver", 0xC0C0C0 },
    { "red", 0x0000FF },
    { "lime", 0x00FF00 },
    { "yellow", 0x00FFFF },
    { "blue", 0xFF0000 },
    { "fuchsia", 0xFF00FF },
    { "aqua", 0xFFFF00 },
    { "white", 0xFFFFFF },
    { "ltgray", 0xC0C0C0 },
    { "dkgray", 0x808080 },
    { "moneygreen", 0xC0DCC0 },
    { "skyblue", 0xF0CAA6 },
    { "cream", 0xF0FBFF },
    { "medgray", 0xA4A0A0 },
};

// The value of a font tag's colour attribute: "#RRGGBB" in double quotes or
// a colour name. False when it is neither.
bool ParseTagColor(QStringView Attr, TrpColor& Color)
{
    Attr = Attr.trimmed();
    if (!Attr.startsWith(u"color", Qt::CaseInsensitive))
        return false;
    Attr = Attr.mid(5).trimmed();
    if (!Attr.startsWith(u'='))
        return false;
    Attr = Attr.mid(1).trimmed();
    if (Attr.startsWith(u'"') && Attr.endsWith(u'"') && Attr.size() >= 2)
        Attr = Attr.mid(1, Attr.size() - 2);
    if (Attr.startsWith(u'#')) {
        if (Attr.size() != 7)
            return false;
        bool ok = false;
        const uint rgb = Attr.mid(1).toUInt(&ok, 16);
        if (!ok)
            return false;
        Color = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        return true;
    }
    for (const auto& c : ColorNames)
        if (Attr.compare(QLatin1String(c.Name), Qt::CaseInsensitive) == 0) {
            Color = c.Color;
            return true;
        }
    return false;
}

QString ColorTag(TrpColor C)
{
    return QStringLiteral("<font color=\"#%1%2%3\">")
        .arg(C & 0xFF, 2, 16, QChar(u'0'))
        .arg((C >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((C >> 16) & 0xFF, 2, 16, QChar(u'0'))
        .toUpper()
        .replace(QStringLiteral("<FONT COLOR="), QStringLiteral("<font color="));
}

bool SameStyle(const TrpHTMLTag& A, const TrpHTMLTag& B)
{
    return A.Size == B.Size && A.AddY == B.AddY && A.Style == B.Style && A.Color == B.Color
        && A.DontWRAP == B.DontWRAP && A.SubType == B.SubType;
}

// ------------------------------------------------------------ hyphenation

bool IsVowel(QChar C)
{
    static const QString vowels
        = QStringLiteral("AEIOUY\u0410\u0415\u0401\u0418\u041E\u0423\u042B\u042D\u042E\u042F");
    return vowels.contains(C);
}
// The soft and hard signs and the short i never begin a line.
bool IsSpecial(QChar C)
{
    return C == QChar(0x042C) || C == QChar(0x042A) || C == QChar(0x0419);
}

// Whether an upper-cased word may be hyphenated before its K-th character
// (0-based): both parts hold a vowel and at least two letters, the right
// part does not begin with a sign or short i, and the break follows a
// vowel, a sign or short i, or stands between two consonants.
bool HyphenAllowed(const QString& W, int K)
{
    const int n = int(W.size());
    if (K < 2 || n - K < 2)
        return false;
    if (!W[K - 1].isLetter() || !W[K].isLetter() || IsSpecial(W[K]))
        return false;
    bool leftVowel = false, rightVowel = false;
    for (int i = 0; i < K; ++i)
        leftVowel = leftVowel || IsVowel(W[i]);
    for (int i = K; i < n; ++i)
        rightVowel = rightVowel || IsVowel(W[i]);
    if (!leftVowel || !rightVowel)
        return false;
    const QChar a = W[K - 1], b = W[K];
    if (IsSpecial(a) || IsVowel(a))
        return true;
    // Two consonants: split between them unless only consonants follow up
    // to the next vowel and one of them would be alone on the left.
    return !IsVowel(b);
}

} // namespace

// ------------------------------------------------------------ free helpers

QString rpResolveFontFamily(const QString& Family)
{
    static const QHash<QString, QString> metricTwins = {
        { QStringLiteral("arial"), QStringLiteral("Liberation Sans") },
        { QStringLiteral("helvetica"), QStringLiteral("Liberation Sans") },
        { QStringLiteral("times new roman"), QStringLiteral("Liberation Serif") },
        { QStringLiteral("times"), QStringLiteral("Liberation Serif") },
        { QStringLiteral("courier new"), QStringLiteral("Liberation Mono") },
        { QStringLiteral("courier"), QStringLiteral("Liberation Mono") },
    };
    const QString key = Family.trimmed().toLower();
    auto twin = metricTwins.constFind(key);
    if (twin != metricTwins.constEnd())
        return *twin;
    std::lock_guard guard(DrawTextLock());
    static QHash<QString, QString> resolved;
    auto it = resolved.constFind(key);
    if (it != resolved.constEnd())
        return *it;
    QString result = QStringLiteral("Liberation Sans");
    if (!key.isEmpty())
        for (const QString& f : QFontDatabase::families())
            if (f.compare(Family.trimmed(), Qt::CaseInsensitive) == 0) {
                result = f;
                break;
            }
    resolved.insert(key, result);
    return result;
}

bool rpIsPrinterCanvas(const QPainter* Canvas)
{
    if (!Canvas || !Canvas->device())
        return false;
    if (Canvas->device()->devType() == QInternal::Printer)
        return true;
    const QPaintEngine* e = Canvas->paintEngine();
    return e && e->type() == QPaintEngine::Pdf;
}

// ------------------------------------------------------------ TrpDrawText

TrpDrawText::TrpDrawText() = default;
TrpDrawText::~TrpDrawText() = default;

TrpDrawText& TrpDrawText::Global()
{
    static TrpDrawText global;
    return global;
}

void TrpDrawText::Lock()
{
    DrawTextLock().lock();
}

void TrpDrawText::Unlock()
{
    DrawTextLock().unlock();
}

TrpFontMetricsCache* TrpDrawText::MetricsFor(const TrpHTMLTag& Tag, int PixelSize) const
{
    return FontCache(FFamily, PixelSize, Tag.Style.testFlag(fsBold), Tag.Style.testFlag(fsItalic));
}

void TrpDrawText::SetFont(const TrpFont& Font)
{
    FFamily = rpResolveFontFamily(Font.Name());
    FFontSize = Font.Size();
    FFontStyle = Font.Style();
    FFontColor = Font.Color();
    FH600 = std::max(1, int(rpRound(Extended(FFontSize) * DefPPI / 72)));
    FTextHeight = Extended(FH600) / 6.25L;
    FMetrics = FontCache(FFamily, FH600, FFontStyle.testFlag(fsBold), FFontStyle.testFlag(fsItalic));
    FPlainText.clear();
    FParas.clear();
    FLines.clear();
}

void TrpDrawText::SetOptions(
    bool WordWrap, bool HTMLTags, bool RTLReading, bool WordBreak, bool Clipped, bool Wysiwyg, int Rotation)
{
    FWordWrap = WordWrap;
    FHTMLTags = HTMLTags;
    FRTLReading = RTLReading;
    FWordBreak = WordBreak;
    FClipped = Clipped;
    FWysiwyg = Wysiwyg;
    FRotation = ((Rotation % 360) + 360) % 360;
}

void TrpDrawText::SetGaps(Extended ParagraphGap, Extended CharSpacing, Extended LineSpacing)
{
    FParagraphGap = ParagraphGap;
    FCharSpacing = CharSpacing;
    FLineSpacing = LineSpacing;
}

void TrpDrawText::SetDimensions(
    Extended ScaleX, Extended ScaleY, Extended PrintScale, const QRect& OriginalRect, const QRect& ScaledRect)
{
    FScaleX = ScaleX;
    FScaleY = ScaleY;
    FPrintScale = PrintScale;
    FOriginalRect = OriginalRect;
    FScaledRect = ScaledRect;
}

// ------------------------------------------------------------ tags

void TrpDrawText::ParseParagraph(const QString& Source, Paragraph& P) const
{
    TrpHTMLTag def;
    def.Size = FFontSize;
    def.Style = FFontStyle;
    def.Color = FFontColor;
    def.Default = true;
    P.Runs.clear();
    if (!FHTMLTags || !Source.contains(u'<')) {
        P.Text = Source;
        P.Runs.push_back({ 0, def });
        return;
    }
    P.Text.clear();
    P.Text.reserve(Source.size());
    TrpHTMLTag cur = def;
    const int small = int(rpRound(Extended(FFontSize) / 1.5L));
    const qsizetype n = Source.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = Source[i];
        if (c == u'<') {
            const qsizetype close = Source.indexOf(u'>', i + 1);
            if (close > i) {
                const QStringView body = QStringView(Source).mid(i + 1, close - i - 1);
                const bool closing = body.startsWith(u'/');
                const QStringView name = closing ? body.mid(1) : body;
                TrpHTMLTag next = cur;
                bool known = true;
                auto is
                    = [&](const char* t) { return name.compare(QLatin1String(t), Qt::CaseInsensitive) == 0; };
                auto toggle = [&](TrpFontStyle s) { next.Style.setFlag(s, !closing); };
                if (is("b"))
                    toggle(fsBold);
                else if (is("i"))
                    toggle(fsItalic);
                else if (is("u"))
                    toggle(fsUnderline);
                else if (is("strike"))
                    toggle(fsStrikeOut);
                else if (is("sub") || is("sup")) {
                    if (closing) {
                        next.Size = def.Size;
                        next.AddY = 0;
                        next.SubType = ssNormal;
                    } else {
                        next.Size = small;
                        next.AddY = is("sub") ? 1 : 0;
                        next.SubType = is("sub") ? ssSubscript : ssSuperscript;
                    }
                } else if (is("nowrap"))
                    next.DontWRAP = !closing;
                else if (closing && is("font"))
                    next.Color = def.Color;
                else if (!closing && name.startsWith(u"font", Qt::CaseInsensitive) && name.size() > 4
                    && name[4].isSpace()) {
                    known = ParseTagColor(name.mid(5), next.Color);
                } else
                    known = false;
                if (known) {
                    cur = next;
                    i = close;
                    continue;
                }
            }
        }
        if (P.Runs.empty() || !SameStyle(P.Runs.back().Tag, cur)) {
            TrpHTMLTag t = cur;
            t.Position = int(P.Text.size()) + 1;
            t.Default = SameStyle(cur, def);
            t.Small = cur.Size != def.Size;
            P.Runs.push_back({ int(P.Text.size()), t });
        }
        P.Text.append(c);
    }
    if (P.Runs.empty())
        P.Runs.push_back({ 0, def });
}

QString TrpDrawText::DeleteTags(const QString& Txt)
{
    TrpDrawText t;
    t.FHTMLTags = true;
    QString out;
    const QStringList lines = Txt.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Paragraph p;
        t.ParseParagraph(lines[i], p);
        if (i)
            out += QStringLiteral("\r\n");
        out += p.Text;
    }
    return out;
}

int TrpDrawText::RunIndexAt(const Paragraph& P, int Pos) const
{
    int r = 0;
    while (r + 1 < int(P.Runs.size()) && P.Runs[size_t(r) + 1].Start <= Pos)
        ++r;
    return r;
}

// The characters Start..End-1 of a paragraph with the tags that give them
// their style, starting from the default style.
QString TrpDrawText::TaggedText(const Paragraph& P, int Start, int End) const
{
    if (!FHTMLTags)
        return P.Text.mid(Start, End - Start);
    TrpHTMLTag def;
    def.Size = FFontSize;
    def.Style = FFontStyle;
    def.Color = FFontColor;
    TrpHTMLTag cur = def;
    QString out;
    auto transition = [&](const TrpHTMLTag& to) {
        const struct {
            TrpFontStyle S;
            const char* Name;
        } styles[] = { { fsBold, "b" }, { fsItalic, "i" }, { fsUnderline, "u" }, { fsStrikeOut, "strike" } };
        for (const auto& s : styles)
            if (cur.Style.testFlag(s.S) != to.Style.testFlag(s.S))
                out += QStringLiteral("<%1%2>").arg(to.Style.testFlag(s.S) ? "" : "/", s.Name);
        if (cur.SubType != to.SubType) {
            if (cur.SubType != ssNormal)
                out += cur.SubType == ssSubscript ? QStringLiteral("</sub>") : QStringLiteral("</sup>");
            if (to.SubType != ssNormal)
                out += to.SubType == ssSubscript ? QStringLiteral("<sub>") : QStringLiteral("<sup>");
        }
        if (cur.DontWRAP != to.DontWRAP)
            out += to.DontWRAP ? QStringLiteral("<nowrap>") : QStringLiteral("</nowrap>");
        if (cur.Color != to.Color)
            out += to.Color == def.Color ? QStringLiteral("</font>") : ColorTag(to.Color);
        cur = to;
    };
    int r = RunIndexAt(P, Start);
    for (int i = Start; i < End; ++i) {
        while (r + 1 < int(P.Runs.size()) && P.Runs[size_t(r) + 1].Start <= i)
            ++r;
        if (!SameStyle(cur, P.Runs[size_t(r)].Tag))
            transition(P.Runs[size_t(r)].Tag);
        out += P.Text[i];
    }
    return out;
}

// ------------------------------------------------------------ layout

void TrpDrawText::Measure600(const Paragraph& P, int Start, int Length, std::vector<int>& Out) const
{
    Out.resize(size_t(Length));
    const int cs = int(rpRound(FCharSpacing * 6.25L));
    const QChar* s = P.Text.constData();
    int r = RunIndexAt(P, Start);
    int runEnd = r + 1 < int(P.Runs.size()) ? P.Runs[size_t(r) + 1].Start : INT_MAX;
    TrpFontMetricsCache* m = P.Runs.size() == 1 && P.Runs[0].Tag.Size == FFontSize && P.Runs[0].Tag.Default
        ? FMetrics
        : MetricsFor(P.Runs[size_t(r)].Tag, int(rpRound(Extended(P.Runs[size_t(r)].Tag.Size) * DefPPI / 72)));
    for (int k = 0; k < Length; ++k) {
        const int i = Start + k;
        if (i >= runEnd) {
            while (r + 1 < int(P.Runs.size()) && P.Runs[size_t(r) + 1].Start <= i)
                ++r;
            runEnd = r + 1 < int(P.Runs.size()) ? P.Runs[size_t(r) + 1].Start : INT_MAX;
            const TrpHTMLTag& t = P.Runs[size_t(r)].Tag;
            m = MetricsFor(t, int(rpRound(Extended(t.Size) * DefPPI / 72)));
        }
        const char16_t c = s[i].unicode();
        int a;
        if (QChar::isHighSurrogate(c) && k + 1 < Length && QChar::isLowSurrogate(s[i + 1].unicode()))
            a = m->PairAdvance(c, s[i + 1].unicode());
        else
            a = m->Advance(c);
        Out[size_t(k)] = a + cs;
    }
}

// Hyphenation point inside the word WordStart..WordEnd-1 for a line that
// starts at Base: the largest K whose left part and "-" fit in Avail.
// Returns the paragraph index of the first character of the right part, or
// -1 when none fits.
int TrpDrawText::HyphenPoint(const Paragraph& P, const std::vector<int>& Adv, int WordStart, int WordEnd,
    int EdgeBefore, int Base, int Avail) const
{
    const QString word = P.Text.mid(WordStart, WordEnd - WordStart).toUpper();
    const TrpHTMLTag& t = P.Runs[size_t(RunIndexAt(P, WordStart))].Tag;
    const int hyphen = MetricsFor(t, int(rpRound(Extended(t.Size) * DefPPI / 72)))->Advance(u'-');
    // Right edge (relative to the line) of the character before WordStart.
    int edge = 0;
    for (int i = Base; i < WordStart; ++i)
        edge += Adv[size_t(i)];
    (void)EdgeBefore;
    int best = -1;
    for (int k = 1; k < int(word.size()); ++k) {
        edge += Adv[size_t(WordStart + k - 1)];
        if (edge + hyphen > Avail)
            break;
        if (HyphenAllowed(word, k))
            best = WordStart + k;
    }
    return best;
}

void TrpDrawText::WrapParagraph(int ParaIndex, int FirstWidth, int FullWidth)
{
    const Paragraph& P = FParas[size_t(ParaIndex)];
    const int n = int(P.Text.size());
    const size_t firstLine = FLines.size();
    const int cs = int(rpRound(FCharSpacing * 6.25L));
    auto addLine = [&](int Start, int Length, bool Hyphen) {
        Line l;
        l.Para = ParaIndex;
        l.Start = Start;
        l.Length = Length;
        l.Hyphen = Hyphen;
        int w = 0;
        for (int i = Start; i < Start + Length; ++i)
            w += FAdv[size_t(i)];
        if (Hyphen) {
            const TrpHTMLTag& t = P.Runs[size_t(RunIndexAt(P, std::max(0, Start + Length - 1)))].Tag;
            w += MetricsFor(t, int(rpRound(Extended(t.Size) * DefPPI / 72)))->Advance(u'-') + cs;
        }
        l.Width600 = Length + (Hyphen ? 1 : 0) > 0 ? w - cs : 0;
        FLines.push_back(l);
    };

    Measure600(P, 0, n, FAdv);
    if (n <= 1 || !FWordWrap) {
        addLine(0, n, false);
    } else {
        long long total = 0;
        for (int a : FAdv)
            total += a;
        if (total < FirstWidth) {
            addLine(0, n, false);
        } else {
            int avail = FirstWidth;
            int lineStart = 0;
            int lastSpace = -1;
            long long width = 0; // right edge of the current char relative to the line start
            for (int i = 0; i < n; ++i) {
                width += FAdv[size_t(i)];
                const bool space = P.Text[i] == u' ' && !P.Runs[size_t(RunIndexAt(P, i))].Tag.DontWRAP;
                if (width <= avail) {
                    if (space)
                        lastSpace = i;
                    continue;
                }
                int next;
                if (lastSpace >= lineStart) {
                    int hyph = -1;
                    if (FWordBreak) {
                        int wordEnd = lastSpace + 1;
                        while (wordEnd < n && P.Text[wordEnd] != u' ')
                            ++wordEnd;
                        hyph = HyphenPoint(P, FAdv, lastSpace + 1, wordEnd, 0, lineStart, avail);
                    }
                    if (hyph > 0) {
                        addLine(lineStart, hyph - lineStart, true);
                        next = hyph;
                    } else {
                        addLine(lineStart, lastSpace - lineStart, false);
                        next = lastSpace + 1;
                    }
                } else if (i == lineStart) {
                    addLine(i, 1, false);
                    next = i + 1;
                } else {
                    addLine(lineStart, i - lineStart, false);
                    next = i;
                }
                avail = FullWidth;
                lineStart = next;
                lastSpace = -1;
                width = 0;
                i = next - 1;
            }
            if (lineStart < n || FLines.size() == firstLine)
                addLine(lineStart, n - lineStart, false);
        }
    }
    FLines[firstLine].Flags |= 1;
    FLines.back().Flags |= 2;
}

void TrpDrawText::SetText(const QStringList& Text, bool FirstParaBreak)
{
    FPlainText.clear();
    FLines.clear();
    const bool sideways = (FRotation >= 90 && FRotation < 180) || (FRotation >= 270 && FRotation < 360);
    const int full
        = int(rpRound(Extended(sideways ? FOriginalRect.height() : FOriginalRect.width()) * 6.25L));
    const int gap = int(rpRound(FParagraphGap * 6.25L));

    // Embedded line breaks start paragraphs of their own.
    const QStringList* src = &Text;
    QStringList split;
    for (const QString& s : Text)
        if (s.contains(u'\n') || s.contains(u'\r')) {
            for (const QString& t : Text) {
                QString u = t;
                u.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
                split += u.split(u'\n');
            }
            src = &split;
            break;
        }

    FParas.resize(size_t(src->size()));
    for (qsizetype i = 0; i < src->size(); ++i) {
        const QString& s = (*src)[i];
        Paragraph& p = FParas[size_t(i)];
        ParseParagraph(s.isEmpty() ? QStringLiteral(" ") : s, p);
        p.Source = s;
        FPlainText.append(p.Text);
        WrapParagraph(int(i), i == 0 && FirstParaBreak ? full : full - gap, full);
    }
}

void TrpDrawText::SetParaBreaks(bool FirstParaBreak, bool LastParaBreak)
{
    if (FLines.empty())
        return;
    if (FirstParaBreak)
        FLines.front().Flags &= ~1;
    if (LastParaBreak)
        FLines.back().Flags &= ~2;
}

Extended TrpDrawText::CalcHeight() const
{
    Extended h = LineHeight() * Extended(FLines.size());
    if (FLineSpacing < 0)
        h -= FLineSpacing;
    return h;
}

Extended TrpDrawText::CalcWidth() const
{
    const int gap = int(rpRound(FParagraphGap * 6.25L));
    const int cs = int(rpRound(FCharSpacing * 6.25L));
    long long widest = 0;
    for (const Line& l : FLines) {
        const int chars = l.Length + (l.Hyphen ? 1 : 0);
        // Width600 holds chars - 1 spacings; the measured width holds none.
        long long w = l.Width600 - (chars > 0 ? Extended(chars - 1) * cs : 0);
        w += rpRound(6.25L * chars * FCharSpacing);
        if (l.Flags & 1)
            w += gap;
        widest = std::max(widest, w);
    }
    return Extended(widest) / 6.25L;
}

QStringList TrpDrawText::WrappedText() const
{
    QStringList out;
    out.reserve(qsizetype(FLines.size()));
    for (const Line& l : FLines) {
        QString s = FParas[size_t(l.Para)].Text.mid(l.Start, l.Length);
        if (l.Hyphen)
            s += u'-';
        out += s;
    }
    return out;
}

std::vector<TrpHTMLTag> TrpDrawText::LineTags(int Index) const
{
    const Line& l = FLines[size_t(Index)];
    const Paragraph& p = FParas[size_t(l.Para)];
    std::vector<TrpHTMLTag> out;
    for (size_t r = size_t(RunIndexAt(p, l.Start)); r < p.Runs.size(); ++r) {
        if (p.Runs[r].Start >= l.Start + std::max(1, l.Length))
            break;
        TrpHTMLTag t = p.Runs[r].Tag;
        t.Position = std::max(p.Runs[r].Start, l.Start) - l.Start + 1;
        out.push_back(t);
    }
    return out;
}

// ------------------------------------------------------------ splitting

int TrpDrawText::LinesInBounds() const
{
    const Extended lh = LineHeight();
    if (lh <= 0)
        return int(FLines.size());
    const Extended fit = std::trunc((Extended(FOriginalRect.height()) + 1) / lh);
    return int(std::clamp<Extended>(fit, 0, Extended(FLines.size())));
}

Extended TrpDrawText::UnusedSpace() const
{
    const int n = LinesInBounds();
    if (n == 0)
        return 0;
    const Extended rest = Extended(FOriginalRect.height()) + 1 - Extended(n) * LineHeight();
    return rest == 0 ? 0.0001L : rest;
}

QStringList TrpDrawText::GetInBoundsText() const
{
    QStringList out;
    const int n = LinesInBounds();
    if (n == 0)
        return out;
    const Line& last = FLines[size_t(n) - 1];
    for (int p = 0; p < last.Para; ++p)
        out += FParas[size_t(p)].Source;
    const Paragraph& lp = FParas[size_t(last.Para)];
    out += last.Start + last.Length >= int(lp.Text.size()) ? lp.Source
                                                           : TaggedText(lp, 0, last.Start + last.Length);
    return out;
}

QStringList TrpDrawText::GetOutBoundsText(bool& ParaBreak) const
{
    QStringList out;
    ParaBreak = false;
    const int n = LinesInBounds();
    if (n >= int(FLines.size()))
        return out;
    const Line& first = FLines[size_t(n)];
    const Paragraph& p = FParas[size_t(first.Para)];
    int start = first.Start;
    ParaBreak = !(first.Flags & 1);
    if (ParaBreak && start < int(p.Text.size()) && p.Text[start] == u' ')
        ++start;
    if (start == 0) {
        out += p.Source;
    } else if (FHTMLTags) {
        // Re-establish the style in force at the cut, then go on from there.
        Paragraph rest;
        rest.Text = p.Text.mid(start);
        Run inForce = p.Runs[size_t(RunIndexAt(p, start))];
        inForce.Start = 0;
        rest.Runs.push_back(inForce);
        for (const Run& r : p.Runs)
            if (r.Start > start)
                rest.Runs.push_back({ r.Start - start, r.Tag });
        out += TaggedText(rest, 0, int(rest.Text.size()));
    } else {
        out += p.Text.mid(start);
    }
    for (size_t q = size_t(first.Para) + 1; q < FParas.size(); ++q)
        out += FParas[q].Source;
    return out;
}

// ------------------------------------------------------------ output

namespace {

long long FloorDiv(long long A, long long B)
{
    long long q = A / B;
    if ((A % B != 0) && ((A < 0) != (B < 0)))
        --q;
    return q;
}

// Slot K's share when Diff whole pixels are spread evenly over Count slots.
int Share(long long Diff, int Count, int K)
{
    return int(FloorDiv(Diff * (K + 1), Count) - FloorDiv(Diff * K, Count));
}

bool IsSpaceChar(QChar C)
{
    return C == u' ' || C == QChar(0x00A0);
}

} // namespace

void TrpDrawText::DrawText(QPainter* C, TrpHAlign HAlign, TrpVAlign VAlign)
{
    if (!C || FLines.empty())
        return;
    const bool printer = rpIsPrinterCanvas(C);
    const int dpiX = std::max(1, C->device()->logicalDpiX());
    const int dpiY = std::max(1, C->device()->logicalDpiY());
    auto devPx = [&](int Size) {
        return std::max(1,
            int(printer ? rpRound(Extended(dpiY) * Size * FPrintScale / 72)
                        : rpRound(Extended(Size) * FScaleY * ScrPPI / 72)));
    };
    auto devWidth = [&](int W600) {
        return int(printer ? rpRound(Extended(W600) * FPrintScale / (Extended(DefPPI) / dpiX))
                           : rpRound(Extended(W600) / 6.25L * FScaleX));
    };
    const int n = int(FLines.size());
    const int blockH
        = int(printer ? rpRound(
                  n * (FLineSpacing * FScaleY + Extended(FH600) / (Extended(DefPPI) / dpiY / FPrintScale)))
                      : rpRound(n * (FLineSpacing + Extended(FH600) / 6.25L) * FScaleY));
    const int advance = devPx(FFontSize) + int(rpRound(FLineSpacing * FScaleY));

    // Local frame: x along the text, y down the lines, origin at the corner
    // the text starts from.
    const int L = FScaledRect.left(), T = FScaledRect.top();
    const int R = L + FScaledRect.width(), B = T + FScaledRect.height();
    const int rot = FRotation;
    const bool sideways = (rot >= 90 && rot < 180) || (rot >= 270 && rot < 360);
    const int localW = sideways ? B - T : R - L;
    const int localH = sideways ? R - L : B - T;
    QPoint origin(L, T);
    if (rot > 0 && rot <= 90)
        origin = QPoint(L, B);
    else if (rot > 90 && rot <= 180)
        origin = QPoint(R, B);
    else if (rot > 180 && rot <= 270)
        origin = QPoint(R, T);

    int fullH = blockH;
    if (FLineSpacing < 0 && VAlign != vaTop)
        fullH += int(rpRound(2 * -FLineSpacing * FScaleY));
    int y = 0;
    if (VAlign == vaBottom)
        y = localH - fullH;
    else if (VAlign == vaCenter)
        y = int(rpRound(Extended(localH - fullH) / 2));

    const int indentDev = int(rpRound(FParagraphGap * FScaleX));
    bool needClip = false;
    if (FClipped) {
        needClip = y < 0 || y + blockH > localH;
        for (const Line& l : FLines)
            needClip = needClip || devWidth(l.Width600) + ((l.Flags & 1) ? indentDev : 0) > localW;
    }
    const bool transformed = rot != 0;
    if (needClip || transformed)
        C->save();
    if (needClip)
        C->setClipRect(QRect(L, T, R - L, B - T), Qt::IntersectClip);
    int ox = origin.x(), oy = origin.y();
    if (transformed) {
        C->translate(origin);
        C->rotate(-rot);
        ox = oy = 0;
    }

    const int csDev = int(rpRound(FCharSpacing * FScaleX));
    QString chars;
    QList<QPointF> positions;
    for (int li = 0; li < n; ++li) {
        const Line& l = FLines[size_t(li)];
        const Paragraph& p = FParas[size_t(l.Para)];
        chars = QStringView(p.Text).mid(l.Start, l.Length).toString();
        if (l.Hyphen)
            chars += u'-';
        const int count = int(chars.size());
        const int ri0 = RunIndexAt(p, l.Start);

        // Device advances, run by run.
        FDevAdv.resize(size_t(count));
        int ri = ri0;
        long long sum = 0;
        for (int k = 0; k < count; ++k) {
            const int pos = std::min(l.Start + k, l.Start + std::max(0, l.Length - 1));
            while (ri + 1 < int(p.Runs.size()) && p.Runs[size_t(ri) + 1].Start <= pos)
                ++ri;
            const TrpHTMLTag& t = p.Runs[size_t(ri)].Tag;
            TrpFontMetricsCache* m = MetricsFor(t, devPx(t.Size));
            const bool small = t.SubType != ssNormal;
            int a = m->Advance(chars[k].unicode()) + (small ? int(rpRound(Extended(csDev) / 1.5L)) : csDev);
            FDevAdv[size_t(k)] = a;
            sum += a;
        }
        const int m = count > 0 ? int(sum) - csDev : 0;
        const int indent = ((HAlign == haLeft || HAlign == haBlock) && (l.Flags & 1)) ? indentDev : 0;
        const int a = localW - indent;
        int spaces = 0;
        for (QChar c : chars)
            spaces += IsSpaceChar(c) ? 1 : 0;
        int x0 = 0, width = 0;
        if (HAlign == haBlock && !(l.Flags & 2) && spaces > 0) {
            // Justified: the spaces take up the difference to the full width.
            const long long extra = a - m;
            const long long each = FloorDiv(extra, spaces);
            const long long more = extra - each * spaces;
            int j = 0;
            for (int k = 0; k < count; ++k)
                if (IsSpaceChar(chars[k])) {
                    FDevAdv[size_t(k)] += int(each) + (j < more ? 1 : 0);
                    ++j;
                }
            width = a;
        } else {
            const int v = FWysiwyg ? devWidth(l.Width600) : m;
            if (FWysiwyg && count > 0 && v != m)
                for (int k = 0; k < count; ++k)
                    FDevAdv[size_t(k)] += Share(v - m, count, k);
            width = v;
            TrpHAlign h = HAlign;
            if (h == haBlock)
                h = FRTLReading ? haRight : haLeft;
            if (h == haRight) {
                const TrpFontStyles s = p.Runs[size_t(ri0)].Tag.Style;
                x0 = a - v - ((s & (fsBold | fsItalic)) && rot == 0 ? 1 : 0);
            } else if (h == haCenter)
                x0 = int(rpRound(Extended(a - v) / 2));
        }
        x0 += indent + ox;
        const int lineTop = oy + y;

        // Output run by run.
        int k = 0;
        int cum = 0;
        ri = ri0;
        while (k < count) {
            const int pos = std::min(l.Start + k, l.Start + std::max(0, l.Length - 1));
            while (ri + 1 < int(p.Runs.size()) && p.Runs[size_t(ri) + 1].Start <= pos)
                ++ri;
            const TrpHTMLTag& t = p.Runs[size_t(ri)].Tag;
            int end = count;
            if (ri + 1 < int(p.Runs.size()))
                end = std::min(count, std::max(k + 1, p.Runs[size_t(ri) + 1].Start - l.Start));
            if (l.Hyphen && end == count - 1)
                end = count; // the hyphen takes the style of the last run
            TrpFontMetricsCache* mc = MetricsFor(t, devPx(t.Size));
            const int baseline
                = lineTop + mc->Ascent() + (t.SubType == ssSubscript ? int(rpRound(t.Size * FScaleY)) : 0);
            positions.resize(end - k);
            for (int j = k; j < end; ++j) {
                const int glyph = FDevAdv[size_t(j)] - csDev;
                const int x = FRTLReading ? x0 + width - cum - glyph : x0 + cum;
                positions[j - k] = QPointF(x, baseline);
                cum += FDevAdv[size_t(j)];
            }
            const QColor color = FMonoFont ? QColor(Qt::black) : rpQColor(t.Color);
            C->setPen(color);
            const QRawFont& raw = mc->Raw();
            const QStringView seg = QStringView(chars).mid(k, end - k);
            if (TrpRecordingCanvas* recording = rpRecordingCanvas(C)) {
                // One text output per run, as the search sees it.
                const int left = int(std::min(positions.front().x(), positions.back().x()));
                const int right = int(std::max(positions.front().x(), positions.back().x()))
                    + FDevAdv[size_t(FRTLReading ? k : end - 1)] - csDev;
                const int descent = raw.isValid() ? int(rpRound(raw.descent())) : 0;
                const QRect box(QPoint(left, baseline - mc->Ascent()), QPoint(right, baseline + descent));
                recording->AddTextOutput(seg.toString(), C->transform().mapRect(box));
            }
            QList<quint32> glyphs
                = raw.isValid() ? raw.glyphIndexesForString(seg.toString()) : QList<quint32>();
            bool complete = glyphs.size() == seg.size();
            for (qsizetype g = 0; complete && g < glyphs.size(); ++g)
                complete = glyphs[g] != 0 || seg[g].isSpace();
            if (complete) {
                QGlyphRun run;
                run.setRawFont(raw);
                run.setGlyphIndexes(glyphs);
                run.setPositions(positions);
                C->drawGlyphRun(QPointF(0, 0), run);
                // Rules drawn here span exactly the run's advances.
                const qreal left = std::min(positions.front().x(), positions.back().x());
                const qreal right = std::max(positions.front().x(), positions.back().x())
                    + FDevAdv[size_t(FRTLReading ? k : end - 1)] - csDev;
                const qreal thick = std::max<qreal>(1, std::round(raw.lineThickness()));
                if (t.Style.testFlag(fsUnderline))
                    C->fillRect(
                        QRectF(left, baseline + std::max<qreal>(1, std::round(raw.underlinePosition())),
                            right - left, thick),
                        color);
                if (t.Style.testFlag(fsStrikeOut))
                    C->fillRect(
                        QRectF(left, baseline - std::round(raw.xHeight() / 2), right - left, thick), color);
            } else {
                // Characters the font lacks: let the font fallback draw them.
                QFont f = mc->Font();
                f.setUnderline(t.Style.testFlag(fsUnderline));
                f.setStrikeOut(t.Style.testFlag(fsStrikeOut));
                C->setFont(f);
                for (qsizetype g = 0; g < seg.size(); ++g)
                    C->drawText(positions[g], seg.mid(g, 1).toString());
            }
            k = end;
        }
        if (li + 1 < n)
            y += advance + (FWysiwyg && n > 1 ? Share(blockH - (long long)n * advance, n - 1, li) : 0);
    }
    if (needClip || transformed)
        C->restore();
}
