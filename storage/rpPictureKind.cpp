// Image kinds by their leading bytes. The tests run in a fixed order and
// the first that matches wins; each needs a minimum number of bytes left
// before the stream's end (which a cache segment may report as smaller
// than its real size), so a short run never matches a longer signature.
//
//   kind       bytes  test
//   bitmap        14  "BM"
//   JPEG           2  FF D8
//   PNG            8  89 50 4E 47 0D 0A 1A 0A
//   metafile      22  32-bit little-endian 9AC6CDD7 (placeable metafile key)
//   metafile     108  " EMF" at offset 40
//   icon           6  16-bit little-endian value at offset 2 is 0 or 1
#include "rpPictureKind.h"

#include <QIODevice>
#include <cstdint>

namespace {

uint32_t Le16(const QByteArray& B, int At)
{
    return uchar(B[At]) | uint32_t(uchar(B[At + 1])) << 8;
}

uint32_t Le32(const QByteArray& B, int At)
{
    return Le16(B, At) | Le16(B, At + 2) << 16;
}

qint64 Remaining(const QIODevice& Stream)
{
    return Stream.size() - Stream.pos();
}

// Up to Count bytes from the position, which is then restored.
QByteArray Peek(QIODevice& Stream, qint64 Count)
{
    const qint64 start = Stream.pos();
    QByteArray bytes = Stream.read(Count);
    Stream.seek(start);
    return bytes;
}

} // namespace

void rpSkipPictureHeader(QIODevice& Stream)
{
    // The length is compared with what follows the header at this position,
    // so a header is found wherever the picture starts in a longer stream.
    const qint64 remaining = Remaining(Stream);
    if (remaining < 8)
        return;
    const QByteArray head = Peek(Stream, 8);
    if (head.size() == 8 && Le16(head, 0) == 1 && Le16(head, 2) == 256
        && Le32(head, 4) == uint64_t(remaining - 8))
        Stream.seek(Stream.pos() + 8);
}

TrpPictureKind rpPictureKindAt(QIODevice& Stream)
{
    const qint64 remaining = Remaining(Stream);
    const QByteArray b = Peek(Stream, std::min<qint64>(remaining, 108));
    const qint64 n = b.size();
    if (n >= 14 && b.startsWith("BM"))
        return TrpPictureKind::Bitmap;
    if (n >= 2 && uchar(b[0]) == 0xFF && uchar(b[1]) == 0xD8)
        return TrpPictureKind::JPEG;
    if (n >= 8 && b.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8)))
        return TrpPictureKind::PNG;
    if (n >= 22 && Le32(b, 0) == 0x9AC6CDD7u)
        return TrpPictureKind::Metafile;
    if (n >= 108 && b.mid(40, 4) == " EMF")
        return TrpPictureKind::Metafile;
    if (n >= 6 && Le16(b, 2) <= 1)
        return TrpPictureKind::Icon;
    return TrpPictureKind::None;
}

QString rpPictureClassName(TrpPictureKind Kind)
{
    switch (Kind) {
    case TrpPictureKind::Bitmap:
        return QStringLiteral("TBitmap");
    case TrpPictureKind::JPEG:
        return QStringLiteral("TJPEGImage");
    case TrpPictureKind::PNG:
        return QStringLiteral("TPNGObject");
    case TrpPictureKind::Metafile:
        return QStringLiteral("TMetafile");
    case TrpPictureKind::Icon:
        return QStringLiteral("TIcon");
    case TrpPictureKind::None:
        break;
    }
    return QString();
}
