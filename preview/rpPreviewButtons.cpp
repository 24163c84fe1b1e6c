// Reading the preview's button strip. The resource "PreviewButtons.bmp.gz" is
// a gzip member (RFC 1952) holding one Windows bitmap file: 400 x 16 pixels,
// 24 bits per pixel, bottom-up rows. zlib checks the gzip CRC-32 and length.
#include "rpPreviewButtons.h"

#include "PelmoraError.h"

#include <QBitmap>
#include <QFile>
#include <QImage>

#include <zlib.h>

QByteArray rpGunzip(const QByteArray& Packed)
{
    z_stream stream {};
    // 16 + MAX_WBITS: a gzip header and trailer around the deflate data.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        throw EPelmoraError(QStringLiteral("Cannot start decompression"));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Packed.constData()));
    stream.avail_in = uInt(Packed.size());
    QByteArray out;
    char buffer[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        rc = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        if (rc == Z_BUF_ERROR && stream.avail_in == 0)
            break;
    }
    inflateEnd(&stream);
    if (rc != Z_STREAM_END)
        throw EPelmoraError(QStringLiteral("Damaged compressed data"));
    return out;
}

QList<QPixmap> rpCutImageStrip(const QImage& Strip)
{
    QList<QPixmap> images;
    if (Strip.height() < 16)
        return images;
    for (int x = 0; x + 16 <= Strip.width(); x += 16) {
        QImage image = Strip.copy(x, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
        const QRgb transparent = image.pixel(0, 15);
        for (int y = 0; y < 16; ++y)
            for (int i = 0; i < 16; ++i)
                if (image.pixel(i, y) == transparent)
                    image.setPixel(i, y, qRgba(0, 0, 0, 0));
        images << QPixmap::fromImage(image);
    }
    return images;
}

const QList<QPixmap>& rpPreviewButtonImages()
{
    static const QList<QPixmap> images = [] {
        QFile file(QStringLiteral(":/PreviewButtons.bmp.gz"));
        if (!file.open(QIODevice::ReadOnly))
            return QList<QPixmap>();
        try {
            return rpCutImageStrip(QImage::fromData(rpGunzip(file.readAll()), "BMP"));
        } catch (const EPelmoraError&) {
            // A damaged strip leaves the buttons with their captions only.
            return QList<QPixmap>();
        }
    }();
    return images;
}

QPixmap rpPreviewButtonImage(int Index)
{
    const QList<QPixmap>& images = rpPreviewButtonImages();
    return Index >= 0 && Index < images.size() ? images[Index] : QPixmap();
}
