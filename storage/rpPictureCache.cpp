// Picture cache: append-only segments of picture bytes and one entry per
// added picture.
//
// Segments are memory buffers, or temporary files ("rpPic...") when file
// caching is on; a segment takes new pictures until it is larger than the
// segment limit, then a new one is started.
//
// Invariants (CheckInvariants):
//   1. Entries are in order of addition; their segments never go down, and
//      within one segment their offsets never go down and lie inside it.
//   2. A picture's bytes run from its offset to the next entry's offset in
//      the same segment, else to the end of its segment: entries lie back to
//      back from offset 0 in each segment.
//   3. TempFileNames names every segment when file caching is on and is
//      empty otherwise; all segments are of one kind, since the kind cannot
//      change while a segment exists.
//   4. A segment reports a limited size only while one picture is read.
#include "rpPictureCache.h"

#include "rpTempFile.h"
#include "rpXML.h"

#include <QBuffer>
#include <QFileDevice>
#include <cctype>
#include <optional>

// A segment as a stream. While a picture is read the segment reports the
// end of that picture as its size, so the loader reads straight from the
// segment and cannot run into the next picture.
class TrpPictureCache::TSegment : public QIODevice {
public:
    explicit TSegment(std::unique_ptr<QIODevice> Store)
        : FStore(std::move(Store))
    {
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return FLimit ? *FLimit : FStore->size(); }
    bool seek(qint64 Pos) override { return FStore->seek(Pos) && QIODevice::seek(Pos); }

    // The real size, whatever the limit.
    qint64 StoreSize() const { return FStore->size(); }
    void SetLimit(std::optional<qint64> End) { FLimit = End; }
    // Drops the bytes from Size on (a picture that failed to write).
    void Truncate(qint64 Size)
    {
        if (auto* file = qobject_cast<QFileDevice*>(FStore.get()))
            file->resize(Size);
        else if (auto* buffer = qobject_cast<QBuffer*>(FStore.get()))
            buffer->buffer().truncate(Size);
        seek(Size);
    }

protected:
    qint64 readData(char* Data, qint64 MaxSize) override
    {
        const qint64 n = std::min(MaxSize, size() - pos());
        return n <= 0 ? 0 : FStore->read(Data, n);
    }
    qint64 writeData(const char* Data, qint64 Size) override
    {
        // A memory segment grows by doubling (by 256 MB at most once large),
        // so appending stays linear instead of copying the segment each time.
        if (auto* buffer = qobject_cast<QBuffer*>(FStore.get())) {
            QByteArray& bytes = buffer->buffer();
            const qint64 capacity = bytes.capacity();
            if (pos() + Size > capacity)
                bytes.reserve(
                    std::max(pos() + Size, capacity + std::min<qint64>(capacity, qint64(256) << 20)));
        }
        return FStore->write(Data, Size);
    }

private:
    std::unique_ptr<QIODevice> FStore;
    // Not a size of 0: an empty picture at offset 0 must still read as empty.
    std::optional<qint64> FLimit;
};

namespace {

// Hexadecimal digit pairs, either case. Text that is not such pairs is never
// written; it gives no bytes, so the picture reads back empty while the
// numbers of the pictures after it stay right.
QByteArray HexToBytes(const QString& Text)
{
    if (Text.size() % 2 != 0)
        return QByteArray();
    for (QChar c : Text)
        if (!isxdigit(c.unicode() < 128 ? c.unicode() : 'x'))
            return QByteArray();
    return QByteArray::fromHex(Text.toLatin1());
}

} // namespace

TrpPictureCache::TrpPictureCache(int64_t SegmentLimit)
    : FSegmentLimit(SegmentLimit)
{
}

TrpPictureCache::~TrpPictureCache()
{
    Clear();
}

void TrpPictureCache::SetTempDir(const QString& Value)
{
    if (FSegments.empty())
        FTempDir = Value;
}

void TrpPictureCache::SetUseFileCache(bool Value)
{
    if (FSegments.empty())
        FUseFileCache = Value;
}

void TrpPictureCache::AddSegment()
{
    std::unique_ptr<QIODevice> store;
    QString fileName;
    if (FUseFileCache) {
        auto file = rpCreateTempFile(FTempDir, QStringLiteral("rpPic"));
        fileName = file->fileName();
        store = std::move(file);
    } else {
        auto buffer = std::make_unique<QBuffer>();
        buffer->open(QIODevice::ReadWrite);
        store = std::move(buffer);
    }
    FSegments.push_back(std::make_unique<TSegment>(std::move(store)));
    if (FUseFileCache)
        FTempFileNames.append(fileName);
}

TrpPictureCache::TSegment& TrpPictureCache::NewItem()
{
    if (FSegments.empty() || FSegments.back()->StoreSize() > FSegmentLimit)
        AddSegment();
    TSegment& segment = *FSegments.back();
    const qint64 end = segment.StoreSize();
    segment.seek(end);
    FItems.push_back({ int32_t(FSegments.size() - 1), int32_t(end) });
    return segment;
}

int64_t TrpPictureCache::ItemSize(int Index) const
{
    const TrpCacheItem& item = FItems[size_t(Index)];
    if (Index + 1 < Count() && FItems[size_t(Index) + 1].Segment == item.Segment)
        return int64_t(FItems[size_t(Index) + 1].Offset) - item.Offset;
    return FSegments[size_t(item.Segment)]->StoreSize() - item.Offset;
}

void TrpPictureCache::AddPicture(TrpCachedPicture* Picture)
{
    if (!Picture)
        return;
    if (!Picture->HasImage()) {
        Picture->SetImageIndex(0);
        return;
    }
    TSegment& segment = NewItem();
    try {
        Picture->SaveImageToStream(segment);
    } catch (...) {
        // Leave no entry and no stray bytes behind.
        segment.Truncate(FItems.back().Offset);
        FItems.pop_back();
        throw;
    }
    Picture->SetCachedIndex(Count(), FLife);
    CheckInvariants();
}

void TrpPictureCache::GetPicture(TrpCachedPicture* Picture)
{
    if (!Picture)
        return;
    const int index = Picture->ImageIndex();
    if (index <= 0 || index > Count()) {
        Picture->ClearPicture();
        return;
    }
    const TrpCacheItem& item = FItems[size_t(index) - 1];
    TSegment& segment = *FSegments[size_t(item.Segment)];
    segment.seek(item.Offset);
    segment.SetLimit(item.Offset + ItemSize(index - 1));
    struct Unlimit {
        TSegment& Segment;
        ~Unlimit() { Segment.SetLimit(std::nullopt); }
    } unlimit { segment };
    Picture->LoadPictureFromStream(segment, false);
}

void TrpPictureCache::SaveToXML(TrpXMLItem* Item)
{
    if (!Item)
        return;
    Item->Clear();
    for (int i = 0; i < Count(); ++i) {
        TSegment& segment = *FSegments[size_t(FItems[size_t(i)].Segment)];
        segment.seek(FItems[size_t(i)].Offset);
        const QByteArray bytes = segment.read(ItemSize(i));
        Item->Add(QStringLiteral("item"))
            ->SetText(QStringLiteral("stream=\"") + QString::fromLatin1(bytes.toHex().toUpper()) + u'"');
    }
}

void TrpPictureCache::LoadFromXML(const TrpXMLItem* Item)
{
    Clear();
    if (!Item)
        return;
    for (int i = 0; i < Item->Count(); ++i) {
        const QByteArray bytes = HexToBytes(Item->Items(i)->Prop(QStringLiteral("stream")));
        TSegment& segment = NewItem();
        if (segment.write(bytes) != bytes.size()) {
            segment.Truncate(FItems.back().Offset);
            throw TrpStorageError(QStringLiteral("Cannot write the temporary file"));
        }
    }
    CheckInvariants();
}

void TrpPictureCache::Clear()
{
    // First to last; a file segment deletes its file as it goes.
    for (auto& segment : FSegments)
        segment.reset();
    FSegments.clear();
    FTempFileNames.clear();
    FItems.clear();
    FLife = std::make_shared<const char>('\0');
}

void TrpPictureCache::CheckInvariants() const
{
#ifndef QT_NO_DEBUG
    for (size_t i = 0; i < FItems.size(); ++i) {
        const TrpCacheItem& item = FItems[i];
        Q_ASSERT(item.Segment >= 0 && size_t(item.Segment) < FSegments.size());
        Q_ASSERT(item.Offset >= 0 && item.Offset <= FSegments[size_t(item.Segment)]->StoreSize());
        if (i > 0) {
            const TrpCacheItem& prev = FItems[i - 1];
            Q_ASSERT(item.Segment >= prev.Segment);
            Q_ASSERT(item.Segment != prev.Segment || item.Offset >= prev.Offset);
            Q_ASSERT(item.Segment == prev.Segment || item.Offset == 0);
        }
    }
    Q_ASSERT(FTempFileNames.size() == (FUseFileCache ? qsizetype(FSegments.size()) : 0));
#endif
}
