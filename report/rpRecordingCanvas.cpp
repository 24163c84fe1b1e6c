// The recording canvas: a paint device whose engine ignores every drawing
// call (so recording a page costs no pixels), and a list the text drawing
// appends its outputs to.
#include "rpRecordingCanvas.h"

#include <QPaintEngine>
#include <QPainter>

class TrpRecordingCanvas::TEngine : public QPaintEngine {
public:
    TEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override { }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { }
    void drawTextItem(const QPointF&, const QTextItem&) override { }
    void drawPath(const QPainterPath&) override { }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { }
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override { }
    void drawLines(const QLineF*, int) override { }
    void drawLines(const QLine*, int) override { }
    void drawRects(const QRectF*, int) override { }
    void drawRects(const QRect*, int) override { }
    void drawEllipse(const QRectF&) override { }
    void drawPoints(const QPointF*, int) override { }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override { }
    Type type() const override { return QPaintEngine::User; }
};

TrpRecordingCanvas::TrpRecordingCanvas(int Width, int Height)
    : FEngine(std::make_unique<TEngine>())
    , FWidth(Width)
    , FHeight(Height)
{
}

TrpRecordingCanvas::~TrpRecordingCanvas() = default;

int TrpRecordingCanvas::devType() const
{
    return QInternal::Picture;
}

QPaintEngine* TrpRecordingCanvas::paintEngine() const
{
    return FEngine.get();
}

void TrpRecordingCanvas::AddTextOutput(const QString& Text, const QRect& Bounds)
{
    FOutputs.push_back({ Text, Bounds, FCurrentObject });
}

int TrpRecordingCanvas::metric(PaintDeviceMetric Metric) const
{
    switch (Metric) {
    case PdmWidth:
        return FWidth;
    case PdmHeight:
        return FHeight;
    case PdmWidthMM:
        return int(FWidth * 25.4 / 96);
    case PdmHeightMM:
        return int(FHeight * 25.4 / 96);
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return 0;
    }
}

TrpRecordingCanvas* rpRecordingCanvas(const QPainter* Canvas)
{
    if (!Canvas || !Canvas->device() || Canvas->device()->devType() != QInternal::Picture)
        return nullptr;
    return dynamic_cast<TrpRecordingCanvas*>(Canvas->device());
}
