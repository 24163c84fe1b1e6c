// Picture cache and the recognition of image kinds: pictures come back
// byte for byte by their number, from memory or from temporary files,
// through the cache's XML form, and bytes of no known kind give no picture.
#include "qt_print.h"
#include "rpClass.h"
#include "rpXML.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

QByteArray ImageBytes(const char* Format, QColor Color, int Width = 5)
{
    QImage image(Width, 4, QImage::Format_RGB32);
    image.fill(Color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, Format)) << Format;
    return bytes;
}

// A picture view holding Bytes as its image.
std::unique_ptr<TrpPictureView> ViewWith(const QByteArray& Bytes)
{
    auto view = std::make_unique<TrpPictureView>();
    view->SetPicture(QStringLiteral("TPNGObject"), Bytes);
    return view;
}

// The picture that the cache gives back for Index.
std::unique_ptr<TrpPictureView> Fetch(TrpPictureCache& Cache, int Index)
{
    auto view = ViewWith(QByteArray("stale"));
    view->SetImageIndex(Index);
    Cache.GetPicture(view.get());
    return view;
}

QByteArray Repeat(const QByteArray& Head, int Size)
{
    QByteArray b = Head;
    b.append(QByteArray(Size - Head.size(), '\x07'));
    return b;
}

QByteArray Le32(uint32_t V)
{
    const char bytes[] = { char(V & 0xFF), char(V >> 8 & 0xFF), char(V >> 16 & 0xFF), char(V >> 24 & 0xFF) };
    return QByteArray(bytes, 4);
}

} // namespace

TEST(PictureKind, LeadingBytesDecideTheKind)
{
    QByteArray emf = Repeat(QByteArray(1, '\x07'), 108);
    emf.replace(40, 4, " EMF");
    const QByteArray png = ImageBytes("PNG", Qt::red);
    struct Case {
        const char* name;
        QByteArray bytes;
        QString kind; // empty: no picture
    } cases[] = {
        { "bitmap", ImageBytes("BMP", Qt::red), QStringLiteral("TBitmap") },
        { "bitmap signature in 13 bytes is too short", Repeat("BM", 13), QString() },
        { "JPEG", ImageBytes("JPG", Qt::red), QStringLiteral("TJPEGImage") },
        { "JPEG start alone", QByteArray("\xFF\xD8", 2), QStringLiteral("TJPEGImage") },
        { "PNG", png, QStringLiteral("TPNGObject") },
        { "PNG signature cut to 7 bytes", png.left(7), QString() },
        { "placeable metafile", Repeat(Le32(0x9AC6CDD7), 22), QStringLiteral("TMetafile") },
        { "placeable metafile key in 21 bytes", Repeat(Le32(0x9AC6CDD7), 21), QString() },
        { "enhanced metafile", emf, QStringLiteral("TMetafile") },
        { "enhanced metafile in 107 bytes", emf.left(107), QString() },
        { "icon", Repeat(QByteArray("\0\0\1\0", 4), 6), QStringLiteral("TIcon") },
        { "icon type 0", Repeat(QByteArray("\0\0\0\0", 4), 6), QStringLiteral("TIcon") },
        { "icon type 2 is not a picture", Repeat(QByteArray("\0\0\2\0", 4), 6), QString() },
        { "text", QByteArray("plain text, no picture"), QString() },
        { "nothing", QByteArray(), QString() },
        // The 8-byte header of data fields: 1, 256 and the length of the rest.
        { "PNG after a header", QByteArray("\1\0\0\1", 4) + Le32(uint32_t(png.size())) + png,
            QStringLiteral("TPNGObject") },
        { "header with a wrong length stays part of the bytes",
            QByteArray("\1\0\0\1", 4) + Le32(uint32_t(png.size() + 1)) + png, QString() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QBuffer stream;
        stream.setData(c.bytes);
        stream.open(QIODevice::ReadOnly);
        stream.seek(stream.size()); // ResetStreamPos starts from 0 wherever the stream stands
        auto view = ViewWith(QByteArray("old"));
        const int result = view->LoadPictureFromStream(stream, true);
        EXPECT_EQ(view->PictureClass(), c.kind);
        if (c.kind.isEmpty()) {
            EXPECT_EQ(result, EINVAL);
            EXPECT_FALSE(view->HasImage());
        } else {
            EXPECT_EQ(result, 0);
            const QByteArray expected = c.bytes.endsWith(png) ? png : c.bytes;
            EXPECT_EQ(view->PictureBytes(), expected);
        }
    }
}

TEST(PictureCache, PicturesComeBackByNumberFromMemoryAndFromFiles)
{
    for (const bool inFiles : { false, true }) {
        SCOPED_TRACE(inFiles ? "file cache" : "memory");
        QTemporaryDir dir;
        TrpPictureCache cache;
        cache.SetUseFileCache(inFiles);
        cache.SetTempDir(dir.path());
        const QByteArray first = ImageBytes("PNG", Qt::red), second = ImageBytes("JPG", Qt::blue, 9);
        auto a = ViewWith(first), b = ViewWith(second), empty = ViewWith(QByteArray());
        cache.AddPicture(a.get());
        cache.AddPicture(empty.get());
        cache.AddPicture(b.get());
        cache.AddPicture(a.get()); // added again: stored again
        EXPECT_EQ(a->ImageIndex(), 3);
        EXPECT_EQ(b->ImageIndex(), 2);
        EXPECT_EQ(empty->ImageIndex(), 0);
        EXPECT_EQ(cache.Count(), 3);

        EXPECT_EQ(Fetch(cache, 1)->PictureBytes(), first);
        EXPECT_EQ(Fetch(cache, 2)->PictureBytes(), second);
        EXPECT_EQ(Fetch(cache, 2)->PictureClass(), QStringLiteral("TJPEGImage"));
        EXPECT_EQ(Fetch(cache, 3)->PictureBytes(), first);
        for (int outside : { 0, -1, 4 })
            EXPECT_FALSE(Fetch(cache, outside)->HasImage()) << outside;

        ASSERT_EQ(cache.TempFileNames().size(), inFiles ? 1 : 0);
        if (inFiles) {
            const QFileInfo file(cache.TempFileNames().front());
            EXPECT_TRUE(file.exists());
            EXPECT_EQ(file.absolutePath(), QDir(dir.path()).absolutePath());
            EXPECT_TRUE(file.fileName().startsWith(QStringLiteral("rpPic")));
        }
        const QStringList files = cache.TempFileNames();
        cache.Clear();
        EXPECT_EQ(cache.Count(), 0);
        for (const QString& f : files)
            EXPECT_FALSE(QFileInfo::exists(f)) << "Clear deletes the temporary files";
        EXPECT_FALSE(Fetch(cache, 1)->HasImage());
    }
}

TEST(PictureCache, FullSegmentsStartNewOnesAndTheXMLFormKeepsEveryPicture)
{
    // A small segment limit: a segment larger than it takes no more pictures.
    const QByteArray p1 = ImageBytes("PNG", Qt::red), p2 = ImageBytes("BMP", Qt::green),
                     p3 = ImageBytes("PNG", Qt::blue, 30);
    TrpPictureCache cache(p1.size() + p2.size() - 1);
    for (const QByteArray& bytes : { p1, p2, p3 }) {
        auto view = ViewWith(bytes);
        cache.AddPicture(view.get());
    }
    ASSERT_EQ(cache.SegmentCount(), 2);
    EXPECT_EQ(cache.Items()[1].Offset, p1.size()) << "the first segment was not yet full";
    EXPECT_EQ(cache.Items()[2].Segment, 1);
    EXPECT_EQ(cache.Items()[2].Offset, 0);
    EXPECT_EQ(Fetch(cache, 2)->PictureBytes(), p2) << "ends at the end of its segment";

    TrpXMLItem item(QStringLiteral("picturecache"));
    item.Add(QStringLiteral("old"));
    cache.SaveToXML(&item);
    cache.SaveToXML(&item); // replaces, does not add
    ASSERT_EQ(item.Count(), 3);
    EXPECT_EQ(item[0]->Name(), QStringLiteral("item"));
    EXPECT_EQ(
        item[0]->Text(), QStringLiteral("stream=\"") + QString::fromLatin1(p1.toHex().toUpper()) + u'"');

    TrpPictureCache loaded;
    loaded.LoadFromXML(&item);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(Fetch(loaded, 1)->PictureBytes(), p1);
    EXPECT_EQ(Fetch(loaded, 2)->PictureBytes(), p2);
    EXPECT_EQ(Fetch(loaded, 3)->PictureBytes(), p3);
}

TEST(PictureCache, UnreadableItemsGiveEmptyPicturesAndKeepTheNumbering)
{
    const QByteArray png = ImageBytes("PNG", Qt::red);
    TrpXMLItem item(QStringLiteral("picturecache"));
    // An empty first picture must not read on into the pictures after it.
    for (const QString& stream :
        { QString(), QStringLiteral("ABC"), QStringLiteral("zz00"), QString::fromLatin1(png.toHex()) })
        item.Add(QStringLiteral("item"))->SetProp(QStringLiteral("stream"), stream);
    TrpPictureCache cache;
    cache.LoadFromXML(&item);
    ASSERT_EQ(cache.Count(), 4);
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(Fetch(cache, i)->HasImage()) << i;
    EXPECT_EQ(Fetch(cache, 4)->PictureBytes(), png) << "lower-case digits read too";
}

TEST(PictureCache, SettingsWaitUntilTheCacheIsEmpty)
{
    QTemporaryDir dir;
    TrpPictureCache cache;
    auto view = ViewWith(ImageBytes("PNG", Qt::red));
    cache.AddPicture(view.get());
    cache.SetUseFileCache(true);
    cache.SetTempDir(dir.path());
    EXPECT_FALSE(cache.UseFileCache());
    EXPECT_TRUE(cache.TempDir().isEmpty());

    cache.Clear();
    cache.SetUseFileCache(true);
    cache.SetTempDir(dir.path() + QStringLiteral("/missing"));
    cache.AddPicture(view.get());
    ASSERT_EQ(cache.TempFileNames().size(), 1);
    EXPECT_EQ(QFileInfo(cache.TempFileNames().front()).absolutePath(), QDir(QDir::tempPath()).absolutePath())
        << "a folder that does not exist gives way to the system's";
}
