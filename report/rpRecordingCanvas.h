// A canvas that keeps, for a page drawn on it, every text output with its
// string and bounding rectangle in drawing order, and draws nothing. The
// text search looks at these outputs instead of the report objects, so it
// finds text in the form in which it is drawn.
#pragma once

#include <QPaintDevice>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class QPainter;

struct TrpTextOutput {
    QString Text;
    // Device pixels of the canvas (at scale 1: report pixels from the
    // paper's top-left corner), with the painter's transform applied.
    QRect Bounds;
    // Name of the report object that drew it.
    QString ObjectName;
};

class TrpRecordingCanvas : public QPaintDevice {
public:
    // Width and Height bound the canvas in pixels at 96 per inch.
    TrpRecordingCanvas(int Width = 32767, int Height = 32767);
    ~TrpRecordingCanvas() override;

    // Counts as a recording (metafile) canvas: the page is drawn whole,
    // nothing is skipped for lying outside a visible area.
    int devType() const override;
    QPaintEngine* paintEngine() const override;

    const std::vector<TrpTextOutput>& Outputs() const { return FOutputs; }
    void Clear() { FOutputs.clear(); }
    // Set by the page drawing before each object draws.
    void SetCurrentObject(const QString& Name) { FCurrentObject = Name; }
    void AddTextOutput(const QString& Text, const QRect& Bounds);

protected:
    int metric(PaintDeviceMetric Metric) const override;

private:
    class TEngine;
    std::unique_ptr<TEngine> FEngine;
    int FWidth;
    int FHeight;
    QString FCurrentObject;
    std::vector<TrpTextOutput> FOutputs;
};

// The recording canvas a painter draws on, or nullptr.
TrpRecordingCanvas* rpRecordingCanvas(const QPainter* Canvas);
