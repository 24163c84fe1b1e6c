// Draws the expense report's footer picture (resources/images/footer.png):
// a 256 x 256 PNG with an alpha channel, a small car on a round badge. The
// file is written by hand so that it holds only the chunks IHDR, one IDAT
// and IEND (8 bits per channel, colour type 6, not interlaced).
// Run once by hand when the picture should change:
//   cmake --build build --target make_footer_picture
//   build/resources/tools/make_footer_picture resources/images/footer.png
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <cstdio>
#include <zlib.h>

namespace {

void Chunk(QByteArray& Png, const char* Type, const QByteArray& Data)
{
    char length[4];
    qToBigEndian<quint32>(quint32(Data.size()), length);
    Png.append(length, 4);
    QByteArray body = QByteArray(Type, 4) + Data;
    Png.append(body);
    char crc[4];
    qToBigEndian<quint32>(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))), crc);
    Png.append(crc, 4);
}

QByteArray EncodePng(const QImage& Image)
{
    const QImage rgba = Image.convertToFormat(QImage::Format_RGBA8888);
    QByteArray raw;
    for (int y = 0; y < rgba.height(); ++y) {
        raw.append(char(0)); // filter: none
        raw.append(reinterpret_cast<const char*>(rgba.constScanLine(y)), rgba.width() * 4);
    }
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray packed(int(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
        uLong(raw.size()), 9);
    packed.resize(int(size));

    QByteArray header(13, 0);
    qToBigEndian<quint32>(quint32(rgba.width()), header.data());
    qToBigEndian<quint32>(quint32(rgba.height()), header.data() + 4);
    header[8] = 8; // bits per channel
    header[9] = 6; // RGBA
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", QByteArray());
    return png;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: make_footer_picture OUTPUT.png\n", stderr);
        return 1;
    }
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The badge.
    QRadialGradient badge(QPointF(110, 100), 150);
    badge.setColorAt(0, QColor(120, 180, 235));
    badge.setColorAt(1, QColor(25, 70, 140));
    p.setPen(QPen(QColor(15, 40, 90), 6));
    p.setBrush(badge);
    p.drawEllipse(QRectF(8, 8, 240, 240));

    // The car body: a low box with a cabin on top.
    QPainterPath body;
    body.moveTo(40, 160);
    body.lineTo(40, 130);
    body.cubicTo(45, 118, 60, 116, 78, 114);
    body.lineTo(98, 84);
    body.cubicTo(104, 77, 112, 74, 124, 74);
    body.lineTo(160, 74);
    body.cubicTo(172, 74, 180, 80, 188, 90);
    body.lineTo(204, 114);
    body.cubicTo(214, 116, 218, 122, 218, 132);
    body.lineTo(218, 160);
    body.closeSubpath();
    p.setPen(QPen(QColor(90, 10, 10), 4));
    p.setBrush(QColor(215, 45, 40));
    p.drawPath(body);

    // Windows.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 240, 255));
    QPainterPath windows;
    windows.moveTo(88, 113);
    windows.lineTo(104, 88);
    windows.cubicTo(108, 84, 114, 82, 122, 82);
    windows.lineTo(126, 82);
    windows.lineTo(126, 113);
    windows.closeSubpath();
    windows.moveTo(134, 82);
    windows.lineTo(158, 82);
    windows.cubicTo(168, 82, 174, 86, 180, 94);
    windows.lineTo(192, 113);
    windows.lineTo(134, 113);
    windows.closeSubpath();
    p.drawPath(windows);

    // Wheels.
    for (const qreal x : { 80.0, 178.0 }) {
        p.setPen(QPen(QColor(20, 20, 20), 3));
        p.setBrush(QColor(40, 40, 40));
        p.drawEllipse(QPointF(x, 162), 22, 22);
        p.setBrush(QColor(190, 190, 190));
        p.drawEllipse(QPointF(x, 162), 9, 9);
    }

    // The road.
    p.setPen(QPen(QColor(240, 240, 240), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(36, 192), QPointF(220, 192));
    p.end();

    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(EncodePng(image)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
