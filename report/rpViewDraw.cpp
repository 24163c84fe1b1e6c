// How views paint themselves on any canvas (screen image, PDF writer,
// printer, recording canvas): the device rectangle, fills, frames, memos,
// pictures, shapes, lines and the page background.
//
// Every integer on the device comes from rpRound (halves to even). Solid
// frame lines are painted as filled rectangles so that they cover the same
// pixels on every paint engine.
#include "rpGraphicUtils.h"
#include "rpMemoDraw.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

QColor ColorOf(TrpColor C)
{
    return rpQColor(C);
}

// ------------------------------------------------------------ pictures

// Decoded pictures, keyed by the image bytes' buffer. An entry keeps its
// bytes alive, so a buffer address cannot be reused for other bytes while
// it is cached.
class TrpDecodedPictures {
public:
    QImage Get(const QByteArray& Bytes)
    {
        std::lock_guard guard(FLock);
        for (size_t i = 0; i < FEntries.size(); ++i)
            if (FEntries[i].Bytes.constData() == Bytes.constData()
                && FEntries[i].Bytes.size() == Bytes.size()) {
                std::rotate(FEntries.begin(), FEntries.begin() + long(i), FEntries.begin() + long(i) + 1);
                return FEntries.front().Image;
            }
        QBuffer buf;
        buf.setData(Bytes);
        buf.open(QIODevice::ReadOnly);
        QImageReader reader(&buf);
        QImage img = reader.read();
        FEntries.insert(FEntries.begin(), { Bytes, img });
        if (FEntries.size() > 16)
            FEntries.pop_back();
        return img;
    }

private:
    struct Entry {
        QByteArray Bytes;
        QImage Image;
    };
    std::mutex FLock;
    std::vector<Entry> FEntries;
};

QImage DecodePicture(const QByteArray& Bytes)
{
    static TrpDecodedPictures cache;
    return Bytes.isEmpty() ? QImage() : cache.Get(Bytes);
}

// Pictures made ready for a device (through a bitmap, stretched), keyed by
// the decoded picture and what was done to it. Handing a printer or PDF
// writer the very same image for every page lets it keep the picture once
// instead of once per page.
class TrpDevicePictures {
public:
    struct Key {
        QByteArray Source;
        QSize Size;
        bool Printing;
        bool Transparent;
        TrpColor Color;
        bool operator==(const Key&) const = default;
    };
    template <class Make> QImage Get(const Key& K, Make&& MakeImage)
    {
        std::lock_guard guard(FLock);
        for (size_t i = 0; i < FEntries.size(); ++i)
            if (FEntries[i].first == K) {
                std::rotate(FEntries.begin(), FEntries.begin() + long(i), FEntries.begin() + long(i) + 1);
                return FEntries.front().second;
            }
        QImage img = MakeImage();
        FEntries.insert(FEntries.begin(), { K, img });
        if (FEntries.size() > 8)
            FEntries.pop_back();
        return img;
    }

private:
    std::mutex FLock;
    std::vector<std::pair<Key, QImage>> FEntries;
};

TrpDevicePictures& DevicePictures()
{
    static TrpDevicePictures cache;
    return cache;
}

// ------------------------------------------------------------ frame lines

enum LineSide { lsLeft, lsRight, lsTop, lsBottom };

// A solid band Pw wide centred on the line from A to B (horizontal or
// vertical), lengthened at the ends by ExtA and ExtB.
void SolidLine(QPainter* C, const QColor& Color, int Pw, QPoint A, QPoint B, int ExtA, int ExtB)
{
    Pw = std::max(1, Pw);
    const int half = Pw / 2;
    if (A.x() == B.x()) {
        const int y0 = std::min(A.y(), B.y()) - ExtA, y1 = std::max(A.y(), B.y()) + ExtB;
        C->fillRect(QRect(A.x() - half, y0, Pw, std::max(1, y1 - y0)), Color);
    } else {
        const int x0 = std::min(A.x(), B.x()) - ExtA, x1 = std::max(A.x(), B.x()) + ExtB;
        C->fillRect(QRect(x0, A.y() - half, std::max(1, x1 - x0), Pw), Color);
    }
}

// One frame line in its style. HasA and HasB tell whether the adjoining
// lines at its two ends exist.
void FrameLine(QPainter* C, const TrpFrameLine& Line, Extended Scale, QPoint A, QPoint B, LineSide Side,
    bool HasA, bool HasB)
{
    if (Line.Color() == clNone)
        return;
    const QColor color = ColorOf(Line.Color());
    const int pw = int(rpRound(Line.Width() * Scale));
    const bool vertical = Side == lsLeft || Side == lsRight;
    switch (Line.Style()) {
    case fsSolid: {
        // Lengthened by half a pen width where the adjoining line exists, so
        // corners close; the far end takes the larger half.
        const int p = std::max(1, pw);
        SolidLine(C, color, p, A, B, HasA ? p / 2 : 0, HasB ? p - p / 2 : 0);
        return;
    }
    case fsDouble: {
        const int p = std::max(1, pw);
        const int ext = p + p / 2;
        const QPoint d = vertical ? QPoint(p, 0) : QPoint(0, p);
        SolidLine(C, color, p, A - d, B - d, HasA ? ext : 0, HasB ? ext : 0);
        SolidLine(C, color, p, A + d, B + d, HasA ? ext : 0, HasB ? ext : 0);
        return;
    }
    case fsDash:
    case fsDot:
    case fsDashDot:
    case fsDashDotDot: {
        // Cosmetic dashes, one one-pixel line per pen pixel, centred.
        QList<qreal> pattern;
        switch (Line.Style()) {
        case fsDash:
            pattern = { 18, 6 };
            break;
        case fsDot:
            pattern = { 3, 3 };
            break;
        case fsDashDot:
            pattern = { 9, 6, 3, 6 };
            break;
        default:
            pattern = { 9, 3, 3, 3, 3, 3 };
            break;
        }
        QPen pen(color, 1, Qt::CustomDashLine, Qt::FlatCap);
        pen.setDashPattern(pattern);
        C->setPen(pen);
        const int n = std::max(1, pw);
        for (int i = 0; i < n; ++i) {
            const int o = i - n / 2;
            const QPoint d = vertical ? QPoint(o, 0) : QPoint(0, o);
            C->drawLine(QPointF(A + d) + QPointF(0.5, 0.5), QPointF(B + d) + QPointF(0.5, 0.5));
        }
        return;
    }
    case fsSquare:
    case fsAltDot: {
        QPen pen(color, std::max(1, pw), Qt::CustomDashLine, Qt::FlatCap);
        if (pw <= 1)
            pen.setDashPattern({ 1, 1 });
        else if (Line.Style() == fsSquare)
            pen.setDashPattern({ 1, 1 });
        else {
            pen.setCapStyle(Qt::RoundCap);
            pen.setDashPattern({ 0.001, 2 });
        }
        C->setPen(pen);
        const QPointF off = (pw % 2) ? QPointF(0.5, 0.5) : QPointF(0, 0);
        C->drawLine(QPointF(A) + off, QPointF(B) + off);
        return;
    }
    }
}

void FillRamp(QPainter* C, const QRect& R, const QGradient& G)
{
    C->fillRect(R, QBrush(G));
}

QColor Mix(const QColor& A, const QColor& B, qreal K)
{
    return QColor(int(A.red() + (B.red() - A.red()) * K), int(A.green() + (B.green() - A.green()) * K),
        int(A.blue() + (B.blue() - A.blue()) * K));
}

} // namespace

// ------------------------------------------------------------ fills

void TrpBrushFill::Draw(QPainter* Canvas, int X, int Y, int X1, int Y1, Extended, Extended) const
{
    if (!Canvas)
        return;
    if (BackColor() != clNone && X1 > X && Y1 > Y)
        Canvas->fillRect(QRect(X, Y, X1 - X, Y1 - Y), ColorOf(BackColor()));
    Qt::BrushStyle hatch = Qt::NoBrush;
    switch (Style()) {
    case bsHorizontal:
        hatch = Qt::HorPattern;
        break;
    case bsVertical:
        hatch = Qt::VerPattern;
        break;
    case bsFDiagonal:
        hatch = Qt::FDiagPattern;
        break;
    case bsBDiagonal:
        hatch = Qt::BDiagPattern;
        break;
    case bsCross:
        hatch = Qt::CrossPattern;
        break;
    case bsDiagCross:
        hatch = Qt::DiagCrossPattern;
        break;
    default:
        break;
    }
    if (hatch != Qt::NoBrush && ForeColor() != clNone && X1 >= X && Y1 >= Y)
        Canvas->fillRect(QRect(X, Y, X1 - X + 1, Y1 - Y + 1), QBrush(ColorOf(ForeColor()), hatch));
}

// Ramps: horizontal and vertical run from StartColor to EndColor; the
// centre styles run from StartColor at the edges to EndColor in the middle;
// elliptic and rectangle run from EndColor in the centre out to StartColor.
void TrpGradientFill::Draw(QPainter* Canvas, int X, int Y, int X1, int Y1, Extended, Extended) const
{
    if (!Canvas || X1 <= X || Y1 <= Y)
        return;
    const QRect r(X, Y, X1 - X, Y1 - Y);
    const QColor a = ColorOf(StartColor()), b = ColorOf(EndColor());
    switch (GradientStyle()) {
    case gsHorizontal:
    case gsVertical: {
        QLinearGradient g(r.topLeft(), GradientStyle() == gsHorizontal ? QPointF(X1, Y) : QPointF(X, Y1));
        g.setColorAt(0, a);
        g.setColorAt(1, b);
        FillRamp(Canvas, r, g);
        break;
    }
    case gsVertCenter:
    case gsHorizCenter: {
        QLinearGradient g(r.topLeft(), GradientStyle() == gsHorizCenter ? QPointF(X1, Y) : QPointF(X, Y1));
        g.setColorAt(0, a);
        g.setColorAt(0.5, b);
        g.setColorAt(1, a);
        FillRamp(Canvas, r, g);
        break;
    }
    case gsElliptic: {
        QRadialGradient g(QRectF(r).center(), std::max(r.width(), r.height()) / 2.0);
        g.setColorAt(0, b);
        g.setColorAt(1, a);
        // Stretch the circle to the rectangle's proportions.
        Canvas->save();
        Canvas->translate(QRectF(r).center());
        const qreal k = r.width() >= r.height() ? 1 : qreal(r.width()) / r.height();
        const qreal l = r.width() >= r.height() ? qreal(r.height()) / r.width() : 1;
        Canvas->scale(k, l);
        Canvas->translate(-QRectF(r).center());
        Canvas->fillRect(QRectF(r.center().x() - r.width() / (2 * k), r.center().y() - r.height() / (2 * l),
                             r.width() / k, r.height() / l),
            QBrush(g));
        Canvas->restore();
        break;
    }
    case gsRectangle: {
        // Four triangles meeting in the centre, each a linear ramp outwards.
        const QPointF c = QRectF(r).center();
        const QPointF corners[4] = { QPointF(X, Y), QPointF(X1, Y), QPointF(X1, Y1), QPointF(X, Y1) };
        const QPointF edges[4]
            = { QPointF(c.x(), Y), QPointF(X1, c.y()), QPointF(c.x(), Y1), QPointF(X, c.y()) };
        Canvas->save();
        Canvas->setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i) {
            QLinearGradient g(c, edges[i]);
            g.setColorAt(0, b);
            g.setColorAt(1, a);
            Canvas->setBrush(g);
            const QPointF tri[3] = { c, corners[i], corners[(i + 1) % 4] };
            Canvas->drawPolygon(tri, 3);
        }
        Canvas->restore();
        break;
    }
    }
}

// Glass: the colour, with one half (the top for horizontal orientation, the
// left for vertical; the other half when mirrored) lightened towards white
// by Blend; Hatch lays a fine diagonal hatch of the darker colour over it.
void TrpGlassFill::Draw(QPainter* Canvas, int X, int Y, int X1, int Y1, Extended, Extended) const
{
    if (!Canvas || X1 <= X || Y1 <= Y || Color() == clNone)
        return;
    const QRect r(X, Y, X1 - X, Y1 - Y);
    const QColor base = ColorOf(Color());
    const QColor light = Mix(base, QColor(Qt::white), qreal(std::clamp<Extended>(Blend(), 0, 1)));
    Canvas->fillRect(r, base);
    QRect half;
    switch (Orientation()) {
    case foHorizontal:
        half = QRect(X, Y, r.width(), r.height() / 2);
        break;
    case foHorizontalMirror:
        half = QRect(X, Y + r.height() / 2, r.width(), r.height() - r.height() / 2);
        break;
    case foVertical:
        half = QRect(X, Y, r.width() / 2, r.height());
        break;
    case foVerticalMirror:
        half = QRect(X + r.width() / 2, Y, r.width() - r.width() / 2, r.height());
        break;
    }
    Canvas->fillRect(half, light);
    if (Hatch())
        Canvas->fillRect(r, QBrush(base.darker(115), Qt::BDiagPattern));
}

// ------------------------------------------------------------ frame

void TrpFrame::Draw(
    QPainter* Canvas, int FX, int FY, int FX1, int FY1, Extended ScaleX, Extended ScaleY) const
{
    if (!Canvas)
        return;
    if (DropShadow() && ShadowColor() != clNone) {
        const int s = int(rpRound(ShadowWidth() * ScaleX));
        const int sy = int(rpRound(ShadowWidth() * ScaleY));
        const QColor c = ColorOf(ShadowColor());
        if (s > 0 && FY1 > FY + sy)
            Canvas->fillRect(QRect(FX1, FY + sy, s, FY1 - FY - sy), c);
        if (sy > 0 && FX1 + s > FX + s)
            Canvas->fillRect(QRect(FX + s, FY1, FX1 - FX, sy), c);
    }
    if (!Typ() || Color() == clNone || Width() == 0)
        return;
    const TrpFrameTypes t = Typ();
    Canvas->save();
    Canvas->setBrush(Qt::NoBrush);
    if (t.testFlag(ftLeft))
        FrameLine(Canvas, *LeftLine(), ScaleX, QPoint(FX, FY), QPoint(FX, FY1), lsLeft, t.testFlag(ftTop),
            t.testFlag(ftBottom));
    if (t.testFlag(ftRight))
        FrameLine(Canvas, *RightLine(), ScaleX, QPoint(FX1, FY), QPoint(FX1, FY1), lsRight, t.testFlag(ftTop),
            t.testFlag(ftBottom));
    if (t.testFlag(ftTop))
        FrameLine(Canvas, *TopLine(), ScaleY, QPoint(FX, FY), QPoint(FX1, FY), lsTop, t.testFlag(ftLeft),
            t.testFlag(ftRight));
    if (t.testFlag(ftBottom))
        FrameLine(Canvas, *BottomLine(), ScaleY, QPoint(FX, FY1), QPoint(FX1, FY1), lsBottom,
            t.testFlag(ftLeft), t.testFlag(ftRight));
    Canvas->restore();
}

// ------------------------------------------------------------ views

void TrpView::PrepareDeviceRect(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    Canvas = ACanvas;
    ScaleX = AScaleX;
    ScaleY = AScaleY;
    OffsetX = AOffsetX;
    OffsetY = AOffsetY;
    const TrpDeviceRect d = rpDeviceRect(*this, AScaleX, AScaleY, AOffsetX, AOffsetY);
    X = d.X;
    Y = d.Y;
    X1 = d.X1;
    Y1 = d.Y1;
    DX = X1 - X;
    DY = Y1 - Y;
    FrameWidth = d.FrameWidth;
}

void TrpView::PaintFill()
{
    if (!Canvas || !Fill() || !Fill()->Paints())
        return;
    const TrpFrameTypes t = Frame()->Typ();
    const Extended w = Frame()->Width();
    const int hx = int(rpRound(w * ScaleX / 2)), hy = int(rpRound(w * ScaleY / 2));
    const int ox = int(rpRound(w * ScaleX)) % 2, oy = int(rpRound(w * ScaleY)) % 2;
    int l = X, tp = Y, r = X1, b = Y1;
    if (t.testFlag(ftLeft))
        l -= hx;
    if (t.testFlag(ftTop))
        tp -= hy;
    if (t.testFlag(ftRight))
        r += hx + ox;
    if (t.testFlag(ftBottom))
        b += hy + oy;
    Fill()->Draw(Canvas, l, tp, r, b, ScaleX, ScaleY);
}

void TrpView::PaintFrame()
{
    if (Canvas)
        Frame()->Draw(Canvas, X, Y, X1, Y1, ScaleX, ScaleY);
}

void TrpView::Draw(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    PrepareDeviceRect(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    PaintFill();
    PaintFrame();
}

// ------------------------------------------------------------ memo

void TrpCustomMemoView::PrepareDeviceRect(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    TrpView::PrepareDeviceRect(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    TrpDeviceRect d;
    d.X = X;
    d.Y = Y;
    d.X1 = X1;
    d.Y1 = Y1;
    d.FrameWidth = FrameWidth;
    TextRect = rpMemoTextRect(*this, d, AScaleX, AScaleY);
}

void TrpCustomMemoView::Draw(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    TrpDrawTextLocker lock;
    TrpDrawText& t = rpDrawTextOf(*this);
    QStringList text;
    if (!IsDesigning()) {
        ExtractMacros();
        text = Memo();
    } else if (IsDataField()) {
        text = QStringList { QStringLiteral("[%1.\"%2\"]").arg(DataSetName(), DataField()) };
    } else {
        text = Memo();
    }
    if (AutoWidth() && !IsDesigning()) {
        const Extended w = CalcWidth();
        const Extended right = Left() + Width(), centre = Left() + Width() / 2;
        SetWidth(w);
        if (HAlign() == haRight)
            SetLeft(right - w);
        else if (HAlign() == haCenter)
            SetLeft(centre - w / 2);
        if (Parent())
            Parent()->AlignChildren();
    }
    rpSetupDrawText(*this, t);
    PrepareDeviceRect(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    const QRect original = rpMemoTextRect(*this, rpDeviceRect(*this, 1, 1, 0, 0), 1, 1);
    t.SetDimensions(AScaleX, AScaleY, IsPrinting() ? PrintScale : 1, original, TextRect);
    t.SetText(text, FirstParaBreak());
    t.SetParaBreaks(FirstParaBreak(), LastParaBreak());
    PaintFill();
    PaintFrame();
    if (!ACanvas)
        return;
    if (Underlines() && Rotation() == 0 && Frame()->Color() != clNone) {
        const int pw = std::max(1, FrameWidth);
        const QColor c = rpQColor(Frame()->Color());
        for (int k = 1;; ++k) {
            const int y = int(
                rpRound(Y + (GapY() - LineSpacing() + 1) * AScaleY + Extended(k) * t.LineHeight() * AScaleY));
            if (y >= Y1 || t.LineHeight() <= 0)
                break;
            ACanvas->fillRect(QRect(X, y - pw / 2, std::max(1, X1 - X), pw), c);
        }
    }
    t.DrawText(ACanvas, HAlign(), VAlign());
}

// ------------------------------------------------------------ picture

void TrpPictureView::Draw(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    PrepareDeviceRect(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    if (!DrawAsMask())
        PaintFill();
    const QImage img = DecodePicture(PictureBytes());
    if (ACanvas && !img.isNull()) {
        const QRect target = TargetRect(img.width(), img.height());
        const bool printing = IsPrinting() || rpIsPrinterCanvas(ACanvas);
        const bool plainBitmap = PictureClass() == QStringLiteral("TBitmap");
        const bool needClip = !Stretched() && (target.width() > DX || target.height() > DY);
        if (needClip) {
            ACanvas->save();
            ACanvas->setClipRect(QRect(X, Y, DX, DY), Qt::IntersectClip);
        }
        if (printing || HightQuality() || (Transparent() && !plainBitmap)) {
            // Through a bitmap of the picture's own size: 32-bit for the
            // printer, 24-bit otherwise, filled with the transparent colour.
            // Rebuilt pages bring the picture in fresh buffers, so its bytes
            // identify it, not the decoded image.
            const TrpDevicePictures::Key key { PictureBytes(), target.size(), printing, Transparent(),
                TransparentColor() };
            const QImage scaled = DevicePictures().Get(key, [&] {
                QImage bmp(img.size(), printing ? QImage::Format_ARGB32 : QImage::Format_RGB888);
                bmp.fill(TransparentColor() != clNone ? rpQColor(TransparentColor()) : QColor(Qt::white));
                {
                    QPainter p(&bmp);
                    p.drawImage(0, 0, img);
                }
                if (Transparent() && TransparentColor() != clNone) {
                    QImage a = bmp.convertToFormat(QImage::Format_ARGB32);
                    const QRgb key = rpQColor(TransparentColor()).rgb() & 0xFFFFFF;
                    for (int yy = 0; yy < a.height(); ++yy) {
                        auto* line = reinterpret_cast<QRgb*>(a.scanLine(yy));
                        for (int xx = 0; xx < a.width(); ++xx)
                            if ((line[xx] & 0xFFFFFF) == key)
                                line[xx] = 0;
                    }
                    bmp = a;
                }
                return bmp.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            });
            ACanvas->drawImage(target.topLeft(), scaled);
        } else {
            ACanvas->drawImage(target, img);
        }
        if (needClip)
            ACanvas->restore();
    }
    PaintFrame();
}

QRect TrpPictureView::TargetRect(int PictureWidth, int PictureHeight) const
{
    int w = DX, h = DY;
    if (Stretched()) {
        if (KeepAspectRatio()) {
            const Extended kx = PictureWidth > 0 ? Extended(DX) / PictureWidth : 0;
            const Extended ky = PictureHeight > 0 ? Extended(DY) / PictureHeight : 0;
            if (kx < ky)
                h = int(rpRound(PictureHeight * kx));
            else
                w = int(rpRound(PictureWidth * ky));
        }
    } else {
        w = int(rpRound(PictureWidth * ScaleX));
        h = int(rpRound(PictureHeight * ScaleY));
    }
    QRect r(X, Y, w, h);
    if (Center())
        r.moveTo(X + (DX - w) / 2, Y + (DY - h) / 2);
    return r;
}

// ------------------------------------------------------------ shape

void TrpShapeView::Draw(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    PrepareDeviceRect(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    if (!ACanvas)
        return;
    const QRectF r(X, Y, DX, DY);
    QPainterPath path;
    switch (Shape()) {
    case skRectangle:
        path.addRect(r);
        break;
    case skRoundRectangle: {
        const qreal c = Curve() > 0 ? qreal(Curve() * AScaleX * 10) : std::min(DX, DY) / 4.0;
        path.addRoundedRect(r, c / 2, c / 2);
        break;
    }
    case skEllipse:
        path.addEllipse(r);
        break;
    case skTriangle:
        path.moveTo(r.center().x(), r.top());
        path.lineTo(r.right(), r.bottom());
        path.lineTo(r.left(), r.bottom());
        path.closeSubpath();
        break;
    case skDiamond:
        path.moveTo(r.center().x(), r.top());
        path.lineTo(r.right(), r.center().y());
        path.lineTo(r.center().x(), r.bottom());
        path.lineTo(r.left(), r.center().y());
        path.closeSubpath();
        break;
    case skDiagonal1:
        path.moveTo(r.bottomLeft());
        path.lineTo(r.topRight());
        break;
    case skDiagonal2:
        path.moveTo(r.topLeft());
        path.lineTo(r.bottomRight());
        break;
    }
    ACanvas->save();
    if (Shape() != skDiagonal1 && Shape() != skDiagonal2 && Fill() && Fill()->Paints()) {
        ACanvas->setClipPath(path, Qt::IntersectClip);
        Fill()->Draw(ACanvas, X, Y, X1 + 1, Y1 + 1, AScaleX, AScaleY);
        ACanvas->setClipping(false);
    }
    ACanvas->restore();
    ACanvas->save();
    if (Frame()->Color() != clNone && Frame()->Width() > 0) {
        QPen pen(rpQColor(Frame()->Color()), std::max(1, FrameWidth));
        pen.setJoinStyle(Qt::MiterJoin);
        ACanvas->setPen(pen);
        ACanvas->setBrush(Qt::NoBrush);
        ACanvas->drawPath(path);
    }
    ACanvas->restore();
}

// ------------------------------------------------------------ line

void TrpCustomLineView::Draw(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    PrepareDeviceRect(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    if (!ACanvas)
        return;
    const TrpFrame* f = Frame();
    if (f->Color() == clNone || f->Width() == 0)
        return;
    if (Diagonal()) {
        ACanvas->save();
        QPen pen(rpQColor(f->Color()), std::max(1, FrameWidth));
        ACanvas->setPen(pen);
        ACanvas->drawLine(QPoint(X, Y), QPoint(X1, Y1));
        ACanvas->restore();
        return;
    }
    // A vertical line is the left frame line of a zero-width object, a
    // horizontal one the top line of a zero-height object.
    TrpFrame line(*f);
    line.SetDropShadow(false);
    line.SetTyp(DX == 0 ? TrpFrameTypes(ftLeft) : TrpFrameTypes(ftTop));
    line.Draw(ACanvas, X, Y, X1, Y1, AScaleX, AScaleY);
}

void TrpLineView::Draw(
    QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY)
{
    TrpCustomLineView::Draw(ACanvas, AScaleX, AScaleY, AOffsetX, AOffsetY);
    const TrpFrame* f = Frame();
    if (!ACanvas || f->Color() == clNone || f->Width() == 0 || !(ArrowStart() || ArrowEnd()))
        return;
    // The line's own ends: corner to corner for a diagonal, otherwise along
    // the left or top edge.
    const QPointF a(X, Y);
    const QPointF b = Diagonal() ? QPointF(X1, Y1) : DX == 0 ? QPointF(X, Y1) : QPointF(X1, Y);
    if (a == b)
        return;
    if (ArrowEnd())
        DrawArrow(ACanvas, a, b);
    if (ArrowStart())
        DrawArrow(ACanvas, b, a);
}

void TrpLineView::DrawArrow(QPainter* ACanvas, QPointF From, QPointF Tip) const
{
    const QPointF along = Tip - From;
    const qreal length = std::hypot(along.x(), along.y());
    const QPointF unit = along / length;
    const QPointF normal(-unit.y(), unit.x());
    const qreal back = qreal(ArrowLength()) * qreal(ScaleX);
    const qreal side = qreal(ArrowWidth()) * qreal(ScaleY);
    const QPointF base = Tip - unit * back;
    const QPointF wings[] = { base + normal * side, Tip, base - normal * side };
    ACanvas->save();
    ACanvas->setRenderHint(QPainter::Antialiasing);
    const QColor color = rpQColor(Frame()->Color());
    ACanvas->setPen(QPen(color, std::max(1, FrameWidth)));
    if (ArrowSolid()) {
        ACanvas->setBrush(color);
        ACanvas->drawPolygon(wings, 3);
    } else {
        ACanvas->drawPolyline(wings, 3);
    }
    ACanvas->restore();
}

// ------------------------------------------------------------ page

void TrpReportPage::Draw(
    QPainter* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY)
{
    if (!Canvas || BackPicture().isEmpty() || !BackPictureVisible())
        return;
    if ((IsPrinting() || rpIsPrinterCanvas(Canvas)) && !BackPicturePrintable())
        return;
    const QImage img = DecodePicture(BackPicture());
    if (img.isNull())
        return;
    const int x = int(rpRound(OffsetX + ScaleX * LeftMargin() * rp01cm));
    const int y = int(rpRound(OffsetY + ScaleY * TopMargin() * rp01cm));
    QSize size = img.size();
    if (BackPictureStretched())
        size = QSize(int(rpRound(ScaleX * PrintableWidth())), int(rpRound(ScaleY * PrintableHeight())));
    Canvas->drawImage(QRect(QPoint(x, y), size), img);
}
