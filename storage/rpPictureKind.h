// Recognising the kind of image held in a run of bytes, as a picture view
// does when it loads its image from a stream.
#pragma once

#include <QString>

class QIODevice;

enum class TrpPictureKind { None, Bitmap, JPEG, PNG, Metafile, Icon };

// Skips the 8-byte header that pictures kept in data fields may carry (the
// 16-bit values 1 and 256, then the 32-bit length of the bytes after it).
// Leaves the position unchanged when there is no such header.
void rpSkipPictureHeader(QIODevice& Stream);

// The kind of image that starts at the stream's position, judged from the
// bytes up to the stream's end; the position is left where it was.
TrpPictureKind rpPictureKindAt(QIODevice& Stream);

// The class name a picture of that kind is stored under ("TBitmap",
// "TJPEGImage", "TPNGObject", "TMetafile", "TIcon"); empty for None.
QString rpPictureClassName(TrpPictureKind Kind);
