// Shared text layout of the report engine. Text is measured at 600 dots per
// inch and then scaled to the device, so line breaks and line widths come
// out the same on the screen, in a PDF and on paper.
//
// Units: OriginalRect is in report pixels (96 per inch), ScaledRect in
// device pixels; both are QRects whose width() and height() are the
// rectangle's right - left and bottom - top. Widths called "600" are in
// 600-dpi units (6.25 per report pixel).
//
// Order of use, all between Lock and Unlock: SetFont, SetOptions, SetGaps,
// SetDimensions, then SetText (which lays the text out), then any of the
// queries or DrawText. SetFont and SetText reset the object; nothing is
// kept from one use to the next.
#pragma once

#include "rpClass.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QPainter;

enum TrpScriptSubType { ssNormal, ssSubscript, ssSuperscript };

// One style run: the characters from Position on share size, style and colour.
struct TrpHTMLTag {
    int Position = 1; // 1-based, within the paragraph's text without tags
    int Size = 10; // points
    int AddY = 0; // 1 for subscript
    TrpFontStyles Style;
    TrpColor Color = clBlack;
    bool Default = false; // same style as the previous run
    bool Small = false; // size differs from the default size
    bool DontWRAP = false;
    TrpScriptSubType SubType = ssNormal;
};

// "Arial" and the other common office families resolve to the metric-
// compatible Liberation families; a family that is installed is used as it
// is; any other falls back to Liberation Sans, so text metrics do not depend
// on the machine's desktop fonts.
QString rpResolveFontFamily(const QString& Family);

// True for a printer or PDF canvas: text there is sized from the device
// resolution and PrintScale, pictures go through a 32-bit bitmap.
bool rpIsPrinterCanvas(const QPainter* Canvas);

// A colour value as a Qt colour (red in the low byte).
inline QColor rpQColor(TrpColor Color)
{
    return QColor(int(Color & 0xFF), int((Color >> 8) & 0xFF), int((Color >> 16) & 0xFF));
}

class TrpFontMetricsCache;

class TrpDrawText {
public:
    // Size of the per-character position buffer of one measured line.
    static constexpr int TempArraySize = 32768;
    static constexpr int DefPPI = 600;
    static constexpr int ScrPPI = 96;

    TrpDrawText();
    ~TrpDrawText();
    TrpDrawText(const TrpDrawText&) = delete;
    TrpDrawText& operator=(const TrpDrawText&) = delete;

    // The one for objects that belong to no report.
    static TrpDrawText& Global();
    // One process-wide lock shared by every instance; re-entrant.
    static void Lock();
    static void Unlock();

    void SetFont(const TrpFont& Font);
    void SetOptions(bool WordWrap, bool HTMLTags, bool RTLReading, bool WordBreak, bool Clipped, bool Wysiwyg,
        int Rotation);
    void SetGaps(Extended ParagraphGap, Extended CharSpacing, Extended LineSpacing);
    void SetDimensions(Extended ScaleX, Extended ScaleY, Extended PrintScale, const QRect& OriginalRect,
        const QRect& ScaledRect);
    // Lays Text out (one entry per paragraph). FirstParaBreak: the first
    // paragraph continues one cut off by a split, so it gets no indent.
    void SetText(const QStringList& Text, bool FirstParaBreak = false);
    void SetParaBreaks(bool FirstParaBreak, bool LastParaBreak);
    void SetMonoFont(bool Value) { FMonoFont = Value; }
    void SetUseDefaultCharset(bool Value) { FUseDefaultCharset = Value; }

    void DrawText(QPainter* C, TrpHAlign HAlign, TrpVAlign VAlign);

    // Report pixels.
    Extended TextHeight() const { return FTextHeight; }
    Extended LineHeight() const { return FTextHeight + FLineSpacing; }
    Extended CalcHeight() const;
    Extended CalcWidth() const;
    // Height of OriginalRect left below the lines that fit in it (splitting).
    Extended UnusedSpace() const;
    // Lines that fit in OriginalRect when the text is cut for splitting.
    int LinesInBounds() const;
    // The paragraphs (with tags when they are on) of the lines that fit ...
    QStringList GetInBoundsText() const;
    // ... and of the rest; ParaBreak (output) is set when the cut falls
    // inside a paragraph.
    QStringList GetOutBoundsText(bool& ParaBreak) const;

    // The text as wrapped into lines (a hyphenated line ends with "-").
    QStringList WrappedText() const;
    int LineCount() const { return int(FLines.size()); }
    // Flags of a wrapped line: 1 first line of a paragraph, 2 last line.
    int LineFlags(int Index) const { return FLines[size_t(Index)].Flags; }
    // Width of a wrapped line at 600 dpi, character spacing included.
    int LineWidth600(int Index) const { return FLines[size_t(Index)].Width600; }
    // The style runs of a wrapped line, positions 1-based within the line.
    std::vector<TrpHTMLTag> LineTags(int Index) const;
    const QStringList& PlainText() const { return FPlainText; }

    // Text with the recognised tags removed.
    static QString DeleteTags(const QString& Txt);

    int FontSize() const { return FFontSize; }

    struct Run {
        int Start = 0; // 0-based within the paragraph text
        TrpHTMLTag Tag;
    };
    struct Paragraph {
        QString Source; // as given
        QString Text; // tags removed
        std::vector<Run> Runs; // at least one; sorted by Start
    };
    struct Line {
        int Para = 0;
        int Start = 0; // within the paragraph text
        int Length = 0;
        int Flags = 0;
        int Width600 = 0;
        bool Hyphen = false; // ends with an added "-"
    };

private:
    void ParseParagraph(const QString& Source, Paragraph& P) const;
    void WrapParagraph(int ParaIndex, int FirstWidth, int FullWidth);
    // 600-dpi advance of each character of P from Start, plus char spacing,
    // written to Out (resized).
    void Measure600(const Paragraph& P, int Start, int Length, std::vector<int>& Out) const;
    int RunIndexAt(const Paragraph& P, int Pos) const;
    TrpFontMetricsCache* MetricsFor(const TrpHTMLTag& Tag, int PixelSize) const;
    QString TaggedText(const Paragraph& P, int Start, int End) const;
    int HyphenPoint(const Paragraph& P, const std::vector<int>& Adv, int WordStart, int WordEnd,
        int EdgeBefore, int Base, int Avail) const;

    // Font
    QString FFamily;
    int FFontSize = 10;
    TrpFontStyles FFontStyle;
    TrpColor FFontColor = clBlack;
    int FH600 = 83; // measuring font's pixel height
    Extended FTextHeight = 13.28L;
    TrpFontMetricsCache* FMetrics = nullptr; // of the default run at 600 dpi

    // Options
    bool FWordWrap = true, FHTMLTags = false, FRTLReading = false, FWordBreak = false;
    bool FClipped = true, FWysiwyg = true, FMonoFont = false, FUseDefaultCharset = false;
    int FRotation = 0;

    Extended FParagraphGap = 0, FCharSpacing = 0, FLineSpacing = 2;
    Extended FScaleX = 1, FScaleY = 1, FPrintScale = 1;
    QRect FOriginalRect, FScaledRect;

    QStringList FPlainText;
    std::vector<Paragraph> FParas;
    std::vector<Line> FLines;
    mutable std::vector<int> FAdv; // scratch
    mutable std::vector<int> FDevAdv; // scratch
};

// Brackets one use of the shared text layout with Lock and Unlock.
class TrpDrawTextLocker {
public:
    TrpDrawTextLocker() { TrpDrawText::Lock(); }
    ~TrpDrawTextLocker() { TrpDrawText::Unlock(); }
    TrpDrawTextLocker(const TrpDrawTextLocker&) = delete;
    TrpDrawTextLocker& operator=(const TrpDrawTextLocker&) = delete;
};
