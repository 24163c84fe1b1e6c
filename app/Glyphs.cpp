// Button pictures of the main window. Each is drawn on a transparent pixmap
// in a 16-unit design grid scaled to the requested size, so one picture
// serves every size the layout uses.
#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// A transparent pixmap with a painter scaled so that 16 units fill it.
struct Canvas {
    explicit Canvas(int size)
        : pixmap(size, size)
    {
        pixmap.fill(Qt::transparent);
        painter.begin(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
    }
    QPixmap Take()
    {
        painter.end();
        return pixmap;
    }
    QPixmap pixmap;
    QPainter painter;
};

QPen Outline(const QColor& colour, qreal width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawFunnel(QPainter& p)
{
    QPainterPath funnel;
    funnel.moveTo(1.5, 2);
    funnel.lineTo(14.5, 2);
    funnel.lineTo(9.5, 8);
    funnel.lineTo(9.5, 14);
    funnel.lineTo(6.5, 12.5);
    funnel.lineTo(6.5, 8);
    funnel.closeSubpath();
    p.setPen(Outline(QColor(40, 60, 110)));
    p.setBrush(QColor(90, 140, 220));
    p.drawPath(funnel);
}

} // namespace

namespace Glyphs {

QPixmap OpenDatabase(int size)
{
    Canvas c(size);
    QPainter& p = c.painter;
    // Folder.
    QPainterPath folder;
    folder.moveTo(1, 4);
    folder.lineTo(5.5, 4);
    folder.lineTo(7, 5.5);
    folder.lineTo(13, 5.5);
    folder.lineTo(13, 13.5);
    folder.lineTo(1, 13.5);
    folder.closeSubpath();
    p.setPen(Outline(QColor(150, 110, 20)));
    p.setBrush(QColor(245, 200, 80));
    p.drawPath(folder);
    // Database drum in front of it.
    p.setPen(Outline(QColor(30, 70, 40)));
    p.setBrush(QColor(90, 180, 110));
    p.drawRect(QRectF(9, 8.5, 6, 6));
    p.drawEllipse(QRectF(9, 7, 6, 3));
    p.drawEllipse(QRectF(9, 13, 6, 2.5));
    return c.Take();
}

QPixmap Printer(int size)
{
    Canvas c(size);
    QPainter& p = c.painter;
    p.setPen(Outline(QColor(60, 60, 60)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5)); // paper going in
    p.setBrush(QColor(170, 175, 185));
    p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1.5, 1.5); // body
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10, 7, 4.5)); // printed sheet
    p.setPen(Outline(QColor(120, 120, 120), 0.6));
    p.drawLine(QPointF(5.5, 11.5), QPointF(10.5, 11.5));
    p.drawLine(QPointF(5.5, 13), QPointF(9.5, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 60));
    p.drawEllipse(QPointF(12.5, 8), 0.8, 0.8); // power lamp
    return c.Take();
}

QPixmap Sheet(int size)
{
    Canvas c(size);
    QPainter& p = c.painter;
    p.setPen(Outline(QColor(20, 100, 50)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(QColor(30, 130, 70));
    p.drawRect(QRectF(1.5, 1.5, 13, 3.5)); // header row
    p.setPen(Outline(QColor(20, 100, 50), 0.7));
    for (qreal y : { 8.0, 11.0 })
        p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
    for (qreal x : { 6.0, 10.5 })
        p.drawLine(QPointF(x, 5), QPointF(x, 14.5));
    return c.Take();
}

QPixmap Funnel(int size)
{
    Canvas c(size);
    DrawFunnel(c.painter);
    return c.Take();
}

QPixmap FunnelOff(int size)
{
    Canvas c(size);
    QPainter& p = c.painter;
    DrawFunnel(p);
    p.setPen(Outline(QColor(210, 30, 30), 2.0));
    p.drawLine(QPointF(10, 9.5), QPointF(14.5, 14));
    p.drawLine(QPointF(14.5, 9.5), QPointF(10, 14));
    return c.Take();
}

QPixmap Pencil(int size)
{
    Canvas c(size);
    QPainter& p = c.painter;
    QPainterPath body;
    body.moveTo(11, 1.5);
    body.lineTo(14.5, 5);
    body.lineTo(5, 14.5);
    body.lineTo(1.5, 14.5);
    body.lineTo(1.5, 11);
    body.closeSubpath();
    p.setPen(Outline(QColor(90, 60, 10), size < 14 ? 1.6 : 1.0));
    p.setBrush(QColor(240, 180, 40));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    QPainterPath tip;
    tip.moveTo(1.5, 11);
    tip.lineTo(5, 14.5);
    tip.lineTo(1.5, 14.5);
    tip.closeSubpath();
    p.drawPath(tip);
    return c.Take();
}

QPixmap ListLines(int size)
{
    Canvas c(size);
    QPainter& p = c.painter;
    // Drawn without antialiasing: at 11 pixels the lines must stay crisp.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        const qreal y = 1 + row * 4;
        p.setBrush(QColor(40, 80, 160));
        p.drawRect(QRectF(1, y, 3, 2.5));
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(5.5, y, 9.5, 2.5));
    }
    return c.Take();
}

QPixmap Cross(int size)
{
    Canvas c(size);
    QPainter& p = c.painter;
    p.setPen(Outline(QColor(200, 20, 20), 3.0));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    return c.Take();
}

} // namespace Glyphs
